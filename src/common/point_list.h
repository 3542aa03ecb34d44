#pragma once
#include <vector>

namespace tc {

// One point of a curve: displacement x, force y.
struct CurvePoint {
    double x = 0;
    double y = 0;

    bool operator==(const CurvePoint&) const = default;
};

// The points of one curve in the order they were appended; never sorted by x, since an edited or
// non-monotonic curve may run back and forth.
using PointList = std::vector<CurvePoint>;

} // namespace tc
