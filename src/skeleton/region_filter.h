#pragma once
#include "skeleton/skeleton_curve.h"

#include <string_view>

namespace tc {

// The three values of the region filter as typed: the two ends of the displacement range (in
// either order) and the tolerance (either sign).
struct RegionFilterValues {
    double end1 = 0;
    double end2 = 0;
    double tolerance = 0;
};

// Converts the texts of the range fields and the tolerance field, in that order, with
// textToDouble; the first text that is not a number throws tc::Error with the conversion message.
// Call it before touching either curve, so that a bad field leaves both curves as they are.
RegionFilterValues readRegionFilterFields(std::string_view end1Text, std::string_view end2Text,
                                          std::string_view toleranceText,
                                          char decimalSeparator = '.');

// Thins both curves inside the open displacement range between end1 and end2: a point strictly
// inside it survives only when its x lies more than |tolerance| from the x of the last point
// kept before it; points at or beyond either end, and the first point of each curve, always
// survive. Forces travel with their points; nothing is added, moved or reordered.
// The positive curve is processed first: when it is empty the operation ends there and the
// negative curve comes back unfiltered.
SkeletonCurves filterSkeletonRegion(double end1, double end2, double tolerance,
                                    const PointList& positive, const PointList& negative);

} // namespace tc
