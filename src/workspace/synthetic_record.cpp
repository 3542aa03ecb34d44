#include "workspace/synthetic_record.h"

#include <cmath>
#include <cstdio>
#include <numbers>
#include <random>

namespace tc {

SyntheticRecord makeCyclicRecord(std::size_t n, unsigned seed) {
    SyntheticRecord r;
    r.disp.reserve(n);
    r.force.reserve(n);
    std::mt19937 rng(seed);
    std::normal_distribution<double> noise(0.0, 0.02);
    const double k = 10.0, fy = 20.0, alpha = 0.05;
    double plastic = 0;
    const std::size_t cycles = 40;
    for (std::size_t i = 0; i < n; ++i) {
        const double t =
            static_cast<double>(i) / static_cast<double>(n) * static_cast<double>(cycles);
        const double amp = 0.5 + 0.25 * std::floor(t / 2.0);
        const double d = amp * std::sin(2.0 * std::numbers::pi * t);
        double f = k * (d - plastic);
        const double fLimit = fy + alpha * k * std::fabs(d);
        if (f > fLimit) {
            plastic = d - fLimit / k;
            f = fLimit;
        } else if (f < -fLimit) {
            plastic = d + fLimit / k;
            f = -fLimit;
        }
        r.disp.push_back(std::round((d + noise(rng) * 0.01) * 1e6) / 1e6);
        r.force.push_back(std::round((f + noise(rng)) * 1e4) / 1e4);
    }
    if (n) r.disp[0] = 0.0;
    return r;
}

SyntheticRecord makeSampleRecord(int pointsPerCycle) {
    // The displacement protocol: each amplitude twice, sine cycles starting at zero.
    constexpr double kAmplitudes[] = {1, 2, 4, 6, 8, 10};
    SyntheticRecord r;
    for (double a : kAmplitudes)
        for (int rep = 0; rep < 2; ++rep)
            for (int i = 0; i < pointsPerCycle; ++i)
                r.disp.push_back(a * std::sin(2 * std::numbers::pi * i / pointsPerCycle));
    r.disp.push_back(0.0);

    const double k = 10.0, alpha = 0.1, a = 1.0, beta = 0.5, gamma = 0.5, n = 1.5, dy = 2.5;
    double z = 0, prev = 0, energy = 0;
    r.force.reserve(r.disp.size());
    for (double d : r.disp) {
        const int steps = 10;
        const double dd = (d - prev) / steps;
        for (int s = 0; s < steps; ++s) {
            const double sign = dd * z >= 0 ? 1.0 : -1.0;
            z += dd / dy * (a - std::pow(std::abs(z), n) * (beta + gamma * sign));
            energy += std::abs(z * dd);
        }
        prev = d;
        const double degradation = 1.0 / (1.0 + 0.004 * energy);
        r.force.push_back(k * (alpha * d + (1 - alpha) * dy * z * degradation));
    }
    return r;
}

std::string recordText(const SyntheticRecord& r) {
    std::string out;
    out.reserve(r.disp.size() * 24);
    char buf[64];
    for (std::size_t i = 0; i < r.disp.size(); ++i) {
        const int len = std::snprintf(buf, sizeof buf, "%.8f,%.5f\r\n", r.disp[i], r.force[i]);
        out.append(buf, static_cast<std::size_t>(len));
    }
    return out;
}

} // namespace tc
