#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz harnesses into corpus/ from the tiny test files of
tests/data and a few synthetic records. Each seed starts with the harness's knob bytes."""
import math
import struct
from pathlib import Path

here = Path(__file__).resolve().parent
data = here.parent / "data"
corpus = here / "corpus"


def write(kind, name, knobs, payload):
    folder = corpus / kind
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(bytes(knobs) + payload)


# Import: begin line, step, columns/signs/scale and user separator, decimal mode.
for f, knobs in [
    ("ten_lines.txt", [0, 0, 0, 0]),
    ("ten_lines.txt", [1, 1, 0, 0]),
    ("quoted.csv", [0, 0, 0, 0]),
    ("header_line.csv", [1, 0, 0, 0]),
    ("extra_columns.csv", [0, 0, 0x0A, 0]),
    ("bad_force.txt", [0, 0, 0, 0]),
    ("blank_line.txt", [0, 0, 0, 0]),
    ("cr_only.txt", [0, 0, 0, 0]),
    ("utf16le.csv", [0, 0, 0, 0]),
    ("utf16be.csv", [0, 0, 0, 0]),
    ("utf8_bom.csv", [0, 0, 0, 0]),
    ("utf8_bom_latin1.csv", [0, 0, 0, 0]),
    ("latin1_header.csv", [0, 0, 0, 0]),
    ("nul_in_quotes.csv", [0, 0, 0, 0]),
    ("overflow_exponent.csv", [0, 0, 0, 0]),
    ("underflow_no_exponent.csv", [0, 0, 0, 0]),
    ("inf.csv", [0, 0, 0, 0]),
    ("nan.csv", [0, 0, 0, 0]),
    ("preview/comma_semicolon.csv", [1, 0, 0, 2]),
    ("preview/comma_tab.txt", [0, 0, 0, 6]),
    ("preview/scientific.csv", [1, 0, 1, 1]),
    ("preview/three_columns.csv", [1, 0, 0x12, 0]),
    ("preview/header_names.csv", [1, 0, 0x40, 0]),
    ("preview/trailing_blanks.txt", [0, 0, 0, 0]),
]:
    write("import", f.replace("/", "_"), knobs, (data / f).read_bytes())


# Analysis: rule/direction/count knobs, result knobs, then (disp, force) pairs.
def points(pairs):
    return b"".join(struct.pack("<dd", d, f) for d, f in pairs)


def cyclic(levels, per_loop, repeats=1, jitter=0.0):
    out = []
    for level in range(1, levels + 1):
        for _ in range(repeats):
            for i in range(per_loop):
                t = 2 * math.pi * i / per_loop
                d = level * math.sin(t) + jitter * math.sin(37 * t)
                f = 100 * math.tanh(d) + 10 * math.cos(t)
                out.append((d, f))
    out.append((0.0, 0.0))
    return out


write("analysis", "three_levels", [0x21, 0x00], points(cyclic(3, 24)))
write("analysis", "repeated_cycles", [0x24, 0x02], points(cyclic(3, 16, repeats=3)))
write("analysis", "envelope_negative", [0x35, 0x14], points(cyclic(4, 20)))
write("analysis", "jitter_dead_band", [0xA3, 0x08], points(cyclic(2, 40, jitter=0.02)))
write("analysis", "three_points", [0x21, 0x0A], points([(0, 0), (1, 5), (0, 0)]))
write("analysis", "flat", [0x21, 0x00], points([(0, 0)] * 8))
write("analysis", "huge_forces", [0x21, 0x00],
      points([(0, 0), (1, 1.7e308), (2, 1.79e308), (3, 1.0e308), (0, 0), (-1, -1.7e308), (0, 0)]))

# Workbooks: format (0 .xlsx, 1 .ods) and sheet, then the file.
for f, knob in [("record.xlsx", 0), ("record.ods", 1), ("damaged.xlsx", 0),
                ("encrypted.ods", 1), ("encrypted.xlsx", 0), ("no_numbers.xlsx", 0x10)]:
    write("workbook", f, [knob], (data / "workbooks" / f).read_bytes())
