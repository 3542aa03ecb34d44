#pragma once
#include "chart/pixel_types.h"

#include <vector>

namespace tc {

// The pieces of a line (as reduceToPixels gives it) that may show in `box`, appended to `out`:
// a segment wholly beyond one edge of the box is dropped, and the line breaks there. A line that
// starts where `out` ends (the next stretch of reduceLineStretch) goes on from there unbroken.
void keepInBox(const std::vector<PixelPoint>& line, const PixelBox& box,
               std::vector<PixelPoint>& out);

// A line (as reduceToPixels gives it) with the vertices left out that a drawing does not need:
// every vertex of `line` lies within `tolerance` pixels of the result (tolerance / sqrt(2) across
// its segments and as much along them), whose vertices are vertices of `line` in their order,
// each piece keeping its ends. Appended to `out`.
void simplifyLine(const std::vector<PixelPoint>& line, double tolerance,
                  std::vector<PixelPoint>& out);

} // namespace tc
