#!/usr/bin/env python3
"""Writes the sample records in examples/ from simple hysteretic models.

bilinear_clean.txt        a bilinear (kinematic hardening) spring, two columns, no header
noisy_with_header.txt     the same spring with measurement noise, repeated points, a header line
bouc_wen_extra_columns.csv a Bouc-Wen spring with softening, CSV with time and cycle columns

Run from the project root: python3 scripts/make_examples.py
"""
import math
import random
from pathlib import Path

OUT = Path(__file__).resolve().parent.parent / "examples"


def protocol(amplitudes, per_cycle):
    """Displacement history: each amplitude twice, sine cycles starting at zero."""
    d = []
    cycle = []
    for n, a in enumerate(amplitudes):
        for rep in range(2):
            for i in range(per_cycle):
                d.append(a * math.sin(2 * math.pi * i / per_cycle))
                cycle.append(2 * n + rep + 1)
    d.append(0.0)
    cycle.append(cycle[-1])
    return d, cycle


def bilinear(disp, k=12.0, fy=30.0, alpha=0.06):
    """Bilinear spring with kinematic hardening (return mapping)."""
    f, out = 0.0, []
    prev = 0.0
    kh = alpha * k / (1 - alpha)
    back = 0.0
    for d in disp:
        trial = f + k * (d - prev)
        xi = trial - back
        if abs(xi) > fy:
            dgamma = (abs(xi) - fy) / (k + kh)
            sign = 1 if xi > 0 else -1
            trial -= k * dgamma * sign
            back += kh * dgamma * sign
        f = trial
        prev = d
        out.append(f)
    return out


def bouc_wen(disp, k=10.0, alpha=0.1, a=1.0, beta=0.5, gamma=0.5, n=1.5, dy=2.5):
    """Bouc-Wen spring with a little strength degradation, integrated by small sub-steps."""
    z, prev, out, energy = 0.0, 0.0, [], 0.0
    for d in disp:
        steps = 10
        dd = (d - prev) / steps
        for _ in range(steps):
            dz = dd / dy * (a - abs(z) ** n * (beta + gamma * math.copysign(1, dd * z)))
            z += dz
            energy += abs(z * dd)
        prev = d
        degr = 1.0 / (1.0 + 0.004 * energy)
        out.append(k * (alpha * d + (1 - alpha) * dy * z * degr))
    return out


def fmt(v):
    s = f"{v:.6f}".rstrip("0").rstrip(".")
    return "0" if s in ("-0", "") else s


def main():
    OUT.mkdir(exist_ok=True)
    random.seed(20190816)
    amps = [1, 2, 3, 4, 6, 8, 10, 12]

    d, _ = protocol(amps, 80)
    f = bilinear(d)
    with open(OUT / "bilinear_clean.txt", "w", newline="\r\n") as fh:
        for x, y in zip(d, f):
            fh.write(f"{fmt(x)}\t{fmt(y)}\n")

    with open(OUT / "noisy_with_header.txt", "w", newline="\r\n") as fh:
        fh.write("Disp(mm)  Force(kN)\n")
        for x, y in zip(d, f):
            xn = round(x + random.gauss(0, 0.01), 3)
            yn = round(y + random.gauss(0, 0.15), 2)
            fh.write(f"{fmt(xn)}  {fmt(yn)}\n")
            if random.random() < 0.05:  # the logger wrote the same sample twice
                fh.write(f"{fmt(xn)}  {fmt(yn)}\n")

    d2, cyc = protocol([1, 2, 4, 6, 8, 10], 120)
    f2 = bouc_wen(d2)
    with open(OUT / "bouc_wen_extra_columns.csv", "w", newline="\r\n") as fh:
        fh.write("disp_mm,force_kN,time_s,cycle\n")
        for i, (x, y, c) in enumerate(zip(d2, f2, cyc)):
            fh.write(f"{fmt(x)},{fmt(y)},{i * 0.05:.2f},{c}\n")


if __name__ == "__main__":
    main()
