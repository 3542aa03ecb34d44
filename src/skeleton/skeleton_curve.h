#pragma once
#include "common/point_list.h"

namespace tc {

// The two skeleton curves, as handed to the series "Tarvel_Positive" and "Tarvel_Negative".
struct SkeletonCurves {
    PointList positive;
    PointList negative;
};

} // namespace tc
