#pragma once
// The small numeric rules the engineering results share: finite values, and where a segment
// reaches a value.
#include "results/engineering_results.h"

#include <cmath>
#include <optional>

namespace tc::result_math {

// The value, or nothing when it is not finite.
inline std::optional<double> finite(double x) {
    if (!std::isfinite(x)) return std::nullopt;
    return x;
}

// Whether both coordinates are finite.
inline bool finite(const CurvePoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// Where target lies between a and b (a != b, target between them), as a fraction from 0 at a to
// 1 at b. The quotient comes first, so values near the largest double do not overflow.
inline double fractionBetween(double a, double target, double b) {
    double num = target - a, den = b - a;
    if (!std::isfinite(num) || !std::isfinite(den)) {
        num = target / 2 - a / 2;
        den = b / 2 - a / 2;
    }
    const double t = num / den;
    return t > 0 ? (t < 1 ? t : 1.0) : 0.0; // NaN (never expected) as 0
}

// The x at which the segment (xa, ya)-(xb, yb) reaches y (ya != yb, y between them); finite for
// finite ends (std::lerp neither overflows nor leaves the segment).
inline double interpolate(double xa, double ya, double xb, double yb, double y) {
    if (y == ya) return xa;
    if (y == yb) return xb;
    return std::lerp(xa, xb, fractionBetween(ya, y, yb));
}

} // namespace tc::result_math
