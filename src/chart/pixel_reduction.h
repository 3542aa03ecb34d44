#pragma once
#include "chart/pixel_mask.h"
#include "chart/pixel_types.h"
#include "chart/point_run_index.h"

#include <cstddef>
#include <vector>

namespace tc {

// Reduces a polyline to what a drawing of it at device-pixel resolution needs, in one pass.
//
// Line (when `line` is given): consecutive points inside `box` that fall into one pixel column
// (or one pixel row) form a run, which keeps its first and last point and, when they reach
// beyond the pixel rows (columns) those two span, its extreme points, all in the original order;
// a drawing of the kept points lights the same pixels as a drawing of every point. Outside the
// box, segments that cannot cross it are dropped and the others are cut at its edges, so no
// far-away coordinate reaches the painter. The result is a list of polylines separated by a
// point with NaN coordinates. A point with a non-finite coordinate breaks the line, as a gap.
//
// Markers (when `occupied` is given): every pixel of its rectangle that holds a point is marked.
//
// `box` should reach a little beyond the visible area (by the pen's width), so that the cuts
// and the line ends there stay out of sight.
//
// With `index` (built from the same points) runs of points that change nothing but the bounds of
// the current pixel's run, or that stay beyond one edge, are taken whole: the result is the same.
void reduceToPixels(const StridedPoints& points, const PixelAxis& ax, const PixelAxis& ay,
                    const PixelBox& box, std::vector<PixelPoint>* line, PixelMask* occupied,
                    const PointRunIndex* index = nullptr);

// The line of reduceToPixels for the points [from, to) alone, appended to `line`. Two stretches
// that share a point, [a, b) and [b - 1, c), drawn one after the other light the pixels of the
// line over [a, c), broken at the shared point.
//
// With `occupied`, the markers of those points too, in the same pass: a mask of cells
// `cellsPerPixel` (a power of two) to a device pixel along each axis, as reduceToPixels marks it
// for the axes scaled by that many.
void reduceLineStretch(const StridedPoints& points, const PixelAxis& ax, const PixelAxis& ay,
                       const PixelBox& box, std::vector<PixelPoint>& line,
                       const PointRunIndex* index, size_t from, size_t to,
                       PixelMask* occupied = nullptr, int cellsPerPixel = 1);

// From this many points on, a series is reduced by two threads.
inline constexpr size_t kTwoThreadPoints = size_t(1) << 16;

} // namespace tc
