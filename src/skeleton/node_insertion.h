#pragma once
#include "skeleton/skeleton_curve.h"

namespace tc {

// Which skeleton curve is edited: the positive one runs towards rising x, the negative one
// towards falling x.
enum class CurveSide { Positive, Negative };

// Adds the node (x, y) to a skeleton curve by its x alone and returns the new point list.
// Positive curve: after every point i with X(i) < x whose successor has X(i+1) >= x, and after
// the last point when it is below x (negative curve: the same with the comparisons mirrored).
// So a strictly rising positive curve gets exactly one copy, in front of any point with the same
// x, unless x is at or left of its first point; a curve that runs back and forth gets a copy at
// every place where it passes x outwards. An empty curve stays empty.
PointList addNode(const PointList& curve, CurveSide side, double x, double y);

} // namespace tc
