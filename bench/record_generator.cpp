#include "record_generator.h"

#include <cmath>
#include <cstdio>
#include <numbers>
#include <random>

namespace tc::bench {

Record makeCyclicRecord(size_t n, unsigned seed) {
    Record r;
    r.disp.reserve(n);
    r.force.reserve(n);
    std::mt19937 rng(seed);
    std::normal_distribution<double> noise(0.0, 0.02);
    const double k = 10.0, fy = 20.0, alpha = 0.05;
    double plastic = 0;
    const size_t cycles = 40;
    for (size_t i = 0; i < n; ++i) {
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

std::string recordText(const Record& r) {
    std::string out;
    out.reserve(r.disp.size() * 24);
    char buf[64];
    for (size_t i = 0; i < r.disp.size(); ++i) {
        const int len = std::snprintf(buf, sizeof buf, "%.8f,%.5f\r\n", r.disp[i], r.force[i]);
        out.append(buf, static_cast<size_t>(len));
    }
    return out;
}

} // namespace tc::bench
