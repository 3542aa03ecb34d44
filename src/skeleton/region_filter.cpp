#include "skeleton/region_filter.h"

#include "common/text_number.h"

#include <cmath>
#include <cstddef>
#include <utility>

namespace tc {

RegionFilterValues readRegionFilterFields(std::string_view end1Text, std::string_view end2Text,
                                          std::string_view toleranceText, char decimalSeparator) {
    RegionFilterValues v;
    v.end1 = textToDouble(end1Text, decimalSeparator);
    v.end2 = textToDouble(end2Text, decimalSeparator);
    v.tolerance = textToDouble(toleranceText, decimalSeparator);
    return v;
}

namespace {

PointList thin(const PointList& curve, double lo, double hi, double tol) {
    PointList kept;
    kept.reserve(curve.size());
    kept.push_back(curve.front());
    double lastX = curve.front().x;
    for (std::size_t i = 1; i < curve.size(); ++i) {
        const CurvePoint& p = curve[i];
        const bool inside = lo < p.x && p.x < hi;
        if (inside && !(std::fabs(lastX - p.x) > tol)) continue;
        kept.push_back(p);
        lastX = p.x;
    }
    return kept;
}

} // namespace

SkeletonCurves filterSkeletonRegion(double end1, double end2, double tolerance,
                                    const PointList& positive, const PointList& negative) {
    if (end2 < end1) std::swap(end1, end2);
    const double tol = std::fabs(tolerance);
    SkeletonCurves out;
    if (positive.empty()) {
        out.negative = negative;
        return out;
    }
    out.positive = thin(positive, end1, end2, tol);
    if (!negative.empty()) out.negative = thin(negative, end1, end2, tol);
    return out;
}

} // namespace tc
