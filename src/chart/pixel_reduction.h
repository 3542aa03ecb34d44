#pragma once
#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tc {

// A linear map from values on an axis to device pixels: pixel = p0 + (v - v0) * scale.
struct PixelAxis {
    double v0 = 0, p0 = 0, scale = 1;
    double operator()(double v) const { return p0 + (v - v0) * scale; }
};

struct PixelPoint {
    double x, y;
};

// A rectangle of device pixel coordinates, edges included.
struct PixelBox {
    double left, top, right, bottom;
};

// One bit per device pixel of a rectangle; pixel (x, y) covers [x, x+1) x [y, y+1).
class PixelMask {
public:
    void reset(int left, int top, int width, int height);

    int left() const { return left_; }
    int top() const { return top_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // Marks the pixel holding the point (x, y); a point outside the rectangle is ignored.
    void set(double x, double y) {
        const double cx = x - left_, cy = y - top_;
        if (!(cx >= 0 && cy >= 0 && cx < width_ && cy < height_)) return;
        const auto ix = static_cast<size_t>(cx), iy = static_cast<size_t>(cy);
        bits_[iy * words_ + ix / 64] |= uint64_t(1) << (ix % 64);
    }
    // Marks pixel (left() + ix, top() + iy), which lies in the rectangle.
    void setWithin(int ix, int iy) {
        const auto x = static_cast<size_t>(ix);
        bits_[static_cast<size_t>(iy) * words_ + x / 64] |= uint64_t(1) << (x % 64);
    }
    // The pixel set() marks for the point (x, y), in (px, py); false when it marks none.
    bool pixelOf(double x, double y, int& px, int& py) const {
        const double cx = x - left_, cy = y - top_;
        if (!(cx >= 0 && cy >= 0 && cx < width_ && cy < height_)) return false;
        px = left_ + static_cast<int>(cx);
        py = top_ + static_cast<int>(cy);
        return true;
    }
    // Whether the pixel (x, y) is marked; false outside the rectangle.
    bool test(int x, int y) const;
    // Marks or unmarks the pixel (x, y); nothing outside the rectangle.
    void put(int x, int y, bool marked);
    // Whether every pixel of the small rectangle holding the points (x0, y0) and (x1, y1),
    // x0 <= x1, y0 <= y1, is marked; false when part of it lies outside, or it is large.
    bool allSet(double x0, double y0, double x1, double y1) const;
    size_t count() const;
    // Marks every pixel that `other`, a mask of the same rectangle, marks.
    void add(const PixelMask& other);

    // Calls visit(x, y) for every marked pixel, row by row.
    template <class Visit> void forEach(Visit&& visit) const { forEachInRows(0, height_, visit); }
    // The same for the rows [fromRow, toRow) of the rectangle (0 is its top row).
    template <class Visit> void forEachInRows(int fromRow, int toRow, Visit&& visit) const;
    // The same for the marked pixels of the rectangle [x0, x1] x [y0, y1] (edges included).
    template <class Visit> void forEachIn(int x0, int y0, int x1, int y1, Visit&& visit) const;
    // Calls visit(x, y, bits) for every block of 2 x 2 pixels holding a marked pixel, row of
    // blocks by row, over the block rows [fromRow, toRow); the blocks start at the rectangle's
    // corner, (x, y) is a block's top left pixel and bits 0 to 3 of `bits` are its pixels
    // (x, y), (x + 1, y), (x, y + 1), (x + 1, y + 1).
    template <class Visit> void forEachBlockInRows(int fromRow, int toRow, Visit&& visit) const;

private:
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    size_t words_ = 0; // per row
    std::vector<uint64_t> bits_;
};

template <class Visit> void PixelMask::forEachInRows(int fromRow, int toRow, Visit&& visit) const {
    for (int y = std::max(fromRow, 0); y < std::min(toRow, height_); ++y) {
        const uint64_t* row = bits_.data() + static_cast<size_t>(y) * words_;
        for (size_t w = 0; w < words_; ++w) {
            for (uint64_t b = row[w]; b != 0; b &= b - 1) {
                const int x = static_cast<int>(w * 64) + std::countr_zero(b);
                visit(left_ + x, top_ + y);
            }
        }
    }
}

template <class Visit>
void PixelMask::forEachBlockInRows(int fromRow, int toRow, Visit&& visit) const {
    constexpr uint64_t kEven = 0x5555555555555555;
    for (int by = std::max(fromRow, 0); by < std::min(toRow, (height_ + 1) / 2); ++by) {
        const uint64_t* upper = bits_.data() + static_cast<size_t>(2 * by) * words_;
        const uint64_t* lower = 2 * by + 1 < height_ ? upper + words_ : nullptr;
        for (size_t w = 0; w < words_; ++w) {
            const uint64_t a = upper[w], b = lower ? lower[w] : 0;
            // A word holds whole blocks: bit 2i of the pair stands for block i of the word.
            const uint64_t any = a | b;
            for (uint64_t m = (any | (any >> 1)) & kEven; m != 0; m &= m - 1) {
                const int bit = std::countr_zero(m);
                const unsigned bits =
                    static_cast<unsigned>(((a >> bit) & 3) | (((b >> bit) & 3) << 2));
                visit(left_ + static_cast<int>(w * 64) + bit, top_ + 2 * by, bits);
            }
        }
    }
}

template <class Visit>
void PixelMask::forEachIn(int x0, int y0, int x1, int y1, Visit&& visit) const {
    x0 = std::max(x0 - left_, 0);
    x1 = std::min(x1 - left_, width_ - 1);
    if (x0 > x1) return;
    const auto w0 = static_cast<size_t>(x0) / 64, w1 = static_cast<size_t>(x1) / 64;
    const uint64_t first = ~uint64_t(0) << (x0 % 64);
    const uint64_t last = ~uint64_t(0) >> (63 - x1 % 64);
    for (int y = std::max(y0 - top_, 0); y <= std::min(y1 - top_, height_ - 1); ++y) {
        const uint64_t* row = bits_.data() + static_cast<size_t>(y) * words_;
        for (size_t w = w0; w <= w1; ++w) {
            uint64_t b = row[w];
            if (w == w0) b &= first;
            if (w == w1) b &= last;
            for (; b != 0; b &= b - 1) {
                const int x = static_cast<int>(w * 64) + std::countr_zero(b);
                visit(left_ + x, top_ + y);
            }
        }
    }
}

// The points of a series as a strided array: point i is (x[i*stride], y[i*stride]).
struct StridedPoints {
    const double* x;
    const double* y;
    size_t count;
    size_t stride = 1;
};

// The bounds of runs of consecutive points at several lengths (16, 128, 1024, ... points), so
// that reduceToPixels can pass over a run that falls into one pixel column or row, or lies
// wholly beyond one edge of the view, without visiting its points. Built once per change of the
// points; a moved point updates the bounds that hold it.
class PointRunIndex {
public:
    static constexpr size_t kBase = 16;  // points in a run of the finest level
    static constexpr size_t kFactor = 8; // runs of one level in a run of the next

    struct Run {
        double minX, maxX, minY, maxY;
        uint32_t iMinX, iMaxX, iMinY, iMaxY; // first point holding each bound
        bool finite;                         // no point of the run has a non-finite coordinate
    };

    void build(const StridedPoints& points);
    void clear();
    // Point i of the indexed points has moved (they are read again from `points`).
    void update(const StridedPoints& points, size_t i);

    size_t count() const { return count_; }
    bool empty() const { return count_ == 0; }
    size_t levels() const { return levels_.size(); }
    // Points in a run of a level.
    size_t runLength(size_t level) const;
    const std::vector<Run>& level(size_t l) const { return levels_[l]; }

private:
    void fill(const StridedPoints& points, size_t run);
    void combine(size_t level, size_t run);

    size_t count_ = 0;
    std::vector<std::vector<Run>> levels_;
};

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

// From this many points on, a series is reduced by two threads.
inline constexpr size_t kTwoThreadPoints = size_t(1) << 16;

} // namespace tc
