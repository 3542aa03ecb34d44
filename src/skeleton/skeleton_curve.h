#pragma once
#include <vector>

namespace tc {

// One point of a skeleton curve: displacement x, force y.
struct CurvePoint {
    double x = 0;
    double y = 0;

    bool operator==(const CurvePoint&) const = default;
};

// The points of one curve in the order they were appended; never sorted by x, since an edited or
// non-monotonic curve may run back and forth.
using PointList = std::vector<CurvePoint>;

// The two skeleton curves, as handed to the series "Tarvel_Positive" and "Tarvel_Negative".
struct SkeletonCurves {
    PointList positive;
    PointList negative;
};

} // namespace tc
