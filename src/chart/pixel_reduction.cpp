#include "chart/pixel_reduction.h"

#include "common/two_threads.h"

#include <algorithm>
#include <cmath>
#include <future>
#include <limits>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace tc {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Cuts the segment a-b to the box (Liang-Barsky); false when none of it lies inside.
bool clipToBox(PixelPoint& a, PixelPoint& b, const PixelBox& box) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - box.left, box.right - a.x, a.y - box.top, box.bottom - a.y};
    double t0 = 0, t1 = 1;
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            if (t > t1) return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0) return false;
            t1 = std::min(t1, t);
        }
    }
    const PixelPoint from = a;
    if (t0 > 0) a = {from.x + t0 * dx, from.y + t0 * dy};
    if (t1 < 1) b = {from.x + t1 * dx, from.y + t1 * dy};
    return true;
}

// A chunk of consecutive points in device pixels, with the pixel column and row of each point
// inside the box (-1 for a point outside it).
struct ChunkPixels {
    static constexpr size_t kSize = 256;
    double x[kSize], y[kSize];
    int column[kSize + 1], row[kSize + 1]; // and after the last point, a cell no point has
};

// The line part of reduceToPixels: fed every point in order, it writes the kept points.
class LineReducer {
public:
    LineReducer(std::vector<PixelPoint>& out, const PixelBox& box) : out_(out), box_(box) {}

    // Point i, inside the box.
    void inside(double x, double y, size_t i) {
        const int cx = column(x), cy = row(y);
        if (open_) {
            if (cx == col_) {
                if (cy != row_ && mode_ == Mode::Row) {
                    restart(x, y, cx, cy, i);
                    return;
                }
                if (cy != row_) mode_ = Mode::Column;
                extend(x, y, i);
                return;
            }
            if (cy == row_ && mode_ != Mode::Column) {
                mode_ = Mode::Row;
                extend(x, y, i);
                return;
            }
            restart(x, y, cx, cy, i);
            return;
        }
        PixelPoint entry = prev_, p{x, y};
        newPiece();
        if (prevOutside_ && clipToBox(entry, p, box_)) out_.push_back(entry);
        start(x, y, cx, cy, i);
    }

    // A run of points taken whole when feeding its points one by one would change nothing but
    // the bounds and the last point of the current pixel's run, or would draw nothing (all of
    // it beyond an edge that the previous point is beyond too); false when neither holds.
    // (x0, x1) and (y0, y1) bound the run in pixels; at(i) gives point i in pixels.
    template <class At>
    bool take(double x0, double x1, double y0, double y1, const PointRunIndex::Run& run,
              size_t last, At&& at) {
        if (open_) {
            if (!(x0 >= box_.left && x1 <= box_.right && y0 >= box_.top && y1 <= box_.bottom))
                return false;
            const int c0 = column(x0), c1 = column(x1), r0 = row(y0), r1 = row(y1);
            const bool sameColumn = c0 == col_ && c1 == col_;
            const bool sameRow = r0 == row_ && r1 == row_;
            if (sameColumn) {
                if (!sameRow) {
                    if (mode_ == Mode::Row) return false;
                    mode_ = Mode::Column;
                }
            } else if (sameRow) {
                if (mode_ == Mode::Column) return false;
                mode_ = Mode::Row;
            } else {
                return false;
            }
            merge(run, x0, x1, y0, y1, at);
            const PixelPoint p = at(last);
            last_ = Kept{p.x, p.y, last};
            return true;
        }
        const unsigned code = (x1 < box_.left ? 1u : 0u) | (x0 > box_.right ? 2u : 0u) |
                              (y1 < box_.top ? 4u : 0u) | (y0 > box_.bottom ? 8u : 0u);
        if (code == 0 || (prevOutside_ && (prevCode_ & code) == 0)) return false;
        prev_ = at(last);
        prevCode_ = boxOutcode(prev_.x, prev_.y, box_);
        prevOutside_ = true;
        return true;
    }

    // Feeds the points from k on of a chunk whose first point is point `base`, while they stay in
    // the current run's pixel column (column run) or pixel row (row run); returns the first point
    // not fed. The same as feeding them one by one to inside(), in a tighter loop: a dense curve
    // spends most of its points here. The chunk holds the points in pixels, and their columns and
    // rows, -1 for a point outside the box; its end holds a cell no point has, where every run
    // stops.
    size_t follow(size_t k, size_t base, const ChunkPixels& c) {
        if (!open_) return k;
        if (mode_ == Mode::Pixel) {
            // Points in the run's pixel: the run stays a one-pixel run.
            size_t j = k;
            while ((c.column[j] == col_) & (c.row[j] == row_)) {
                extend(c.x[j], c.y[j], base + j);
                ++j;
            }
            if (j == k) return k;
            k = j;
            // The next point decides whether the run goes on as a column run or a row run.
            if (c.column[k] == col_) {
                mode_ = Mode::Column;
            } else if (c.row[k] == row_) {
                mode_ = Mode::Row;
            } else {
                return k;
            }
        }
        const bool onColumn = mode_ == Mode::Column;
        const int* cells = onColumn ? c.column : c.row;
        const double* across = onColumn ? c.y : c.x;
        const int cell = onColumn ? col_ : row_;
        Kept& low = onColumn ? minY_ : minX_;
        Kept& high = onColumn ? maxY_ : maxX_;
        double lowV = onColumn ? low.y : low.x, highV = onColumn ? high.y : high.x;
        constexpr size_t kNone = ~size_t(0);
        size_t lowK = kNone, highK = kNone, j = k;
        // The chunk ends in a cell no point has.
        for (; cells[j] == cell; ++j) {
            const double v = across[j];
            if (v < lowV) lowV = v, lowK = j;
            if (v > highV) highV = v, highK = j;
        }
        if (j == k) return k;
        const auto keptAt = [&](size_t m) { return Kept{c.x[m], c.y[m], base + m}; };
        if (lowK != kNone) low = keptAt(lowK);
        if (highK != kNone) high = keptAt(highK);
        last_ = keptAt(j - 1);
        return j;
    }

    // A finite point outside the box.
    void outside(double x, double y) {
        const unsigned code = boxOutcode(x, y, box_);
        if (open_) {
            flush();
            open_ = false;
            PixelPoint from{last_.x, last_.y}, to{x, y};
            if (clipToBox(from, to, box_)) out_.push_back(to);
        } else if (prevOutside_ && (prevCode_ & code) == 0) {
            // Both ends outside, but not beyond the same edge: the segment may cross the box.
            PixelPoint from = prev_, to{x, y};
            if (clipToBox(from, to, box_)) {
                newPiece();
                out_.push_back(from);
                out_.push_back(to);
            }
        }
        prev_ = {x, y};
        prevCode_ = code;
        prevOutside_ = true;
    }

    // A point with a non-finite coordinate: the line breaks.
    void gap() {
        if (open_) flush();
        open_ = false;
        prevOutside_ = false;
        newPiece();
    }

    void finish() {
        if (open_) flush();
        open_ = false;
        if (!out_.empty() && std::isnan(out_.back().x)) out_.pop_back();
    }

private:
    enum class Mode { Pixel, Column, Row };
    struct Kept {
        double x, y;
        size_t seq;
    };

    int column(double x) const { return static_cast<int>(x - box_.left); }
    int row(double y) const { return static_cast<int>(y - box_.top); }

    void newPiece() {
        if (!out_.empty() && !std::isnan(out_.back().x)) out_.push_back({kNaN, kNaN});
    }

    void start(double x, double y, int cx, int cy, size_t i) {
        open_ = true;
        prevOutside_ = false;
        mode_ = Mode::Pixel;
        col_ = cx;
        row_ = cy;
        first_ = last_ = minX_ = maxX_ = minY_ = maxY_ = Kept{x, y, i};
    }

    void restart(double x, double y, int cx, int cy, size_t i) {
        flush();
        start(x, y, cx, cy, i);
    }

    void extend(double x, double y, size_t i) {
        last_ = Kept{x, y, i};
        if (x < minX_.x) minX_ = last_;
        if (x > maxX_.x) maxX_ = last_;
        if (y < minY_.y) minY_ = last_;
        if (y > maxY_.y) maxY_ = last_;
    }

    // The bounds of a run of later points joined to those of the current pixel's run; on equal
    // values the earlier point stays, as when the points come one by one. A flipped axis maps
    // the largest value to the smallest pixel. Only the bounds a flush can write are kept: those
    // across a column run's column or a row run's row. (Every point of a one-pixel run lies in
    // its first point's row and column, so none of its points could be written as an extreme.)
    // A point is read only when it becomes a bound: (x0, x1) and (y0, y1) are its pixels.
    template <class At>
    void merge(const PointRunIndex::Run& run, double x0, double x1, double y0, double y1, At&& at) {
        const auto keep = [&](Kept& k, uint32_t i) {
            const PixelPoint p = at(i);
            k = Kept{p.x, p.y, i};
        };
        if (mode_ == Mode::Column) {
            if (y0 < minY_.y) keep(minY_, at.flipY ? run.iMaxY : run.iMinY);
            if (y1 > maxY_.y) keep(maxY_, at.flipY ? run.iMinY : run.iMaxY);
        } else if (mode_ == Mode::Row) {
            if (x0 < minX_.x) keep(minX_, at.flipX ? run.iMaxX : run.iMinX);
            if (x1 > maxX_.x) keep(maxX_, at.flipX ? run.iMinX : run.iMaxX);
        }
    }

    // Writes the run: its first point, the extremes that reach beyond the pixels between its
    // first and last point (in their order), its last point.
    void flush() {
        out_.push_back({first_.x, first_.y});
        Kept extra[2];
        int n = 0;
        if (mode_ == Mode::Column) {
            const int a = row(first_.y), b = row(last_.y);
            if (row(minY_.y) < std::min(a, b)) extra[n++] = minY_;
            if (row(maxY_.y) > std::max(a, b)) extra[n++] = maxY_;
        } else if (mode_ == Mode::Row) {
            const int a = column(first_.x), b = column(last_.x);
            if (column(minX_.x) < std::min(a, b)) extra[n++] = minX_;
            if (column(maxX_.x) > std::max(a, b)) extra[n++] = maxX_;
        }
        if (n == 2 && extra[1].seq < extra[0].seq) std::swap(extra[0], extra[1]);
        for (int i = 0; i < n; ++i)
            out_.push_back({extra[i].x, extra[i].y});
        if (last_.seq != first_.seq) out_.push_back({last_.x, last_.y});
    }

    std::vector<PixelPoint>& out_;
    const PixelBox box_;

    bool open_ = false; // a run inside the box is going on; its last point is the previous one
    Mode mode_ = Mode::Pixel;
    int col_ = 0, row_ = 0; // pixel of the run's first point
    Kept first_{}, last_{}, minX_{}, maxX_{}, minY_{}, maxY_{};

    bool prevOutside_ = false; // the previous point was a finite point outside the box
    PixelPoint prev_{};
    unsigned prevCode_ = 0;
};

} // namespace

namespace {

// Point i in device pixels.
struct PixelsOf {
    const StridedPoints& points;
    const PixelAxis& ax;
    const PixelAxis& ay;
    bool flipX = ax.scale < 0, flipY = ay.scale < 0;
    PixelPoint operator()(size_t i) const {
        return {ax(points.x[i * points.stride]), ay(points.y[i * points.stride])};
    }
};

// The pixel bounds of a run: x0 <= x1, y0 <= y1.
struct RunPixels {
    double x0, x1, y0, y1;
};
RunPixels pixelsOfRun(const PointRunIndex::Run& r, const PixelAxis& ax, const PixelAxis& ay) {
    double x0 = ax(r.minX), x1 = ax(r.maxX), y0 = ay(r.minY), y1 = ay(r.maxY);
    if (x1 < x0) std::swap(x0, x1);
    if (y1 < y0) std::swap(y0, y1);
    return {x0, x1, y0, y1};
}

// Marks the pixels of the points of one run of the index, passing over runs wholly outside the
// mask and marking a run that falls into one pixel at once.
void markRun(const StridedPoints& points, const PixelAxis& ax, const PixelAxis& ay,
             const PointRunIndex& index, size_t level, size_t run, PixelMask& mask) {
    const PointRunIndex::Run& r = index.level(level)[run];
    if (r.finite) {
        const RunPixels p = pixelsOfRun(r, ax, ay);
        const double left = mask.left(), top = mask.top();
        if (p.x1 < left || p.y1 < top || p.x0 >= left + mask.width() || p.y0 >= top + mask.height())
            return;
        if (p.x0 >= left && p.y0 >= top &&
            static_cast<int64_t>(p.x0 - left) == static_cast<int64_t>(p.x1 - left) &&
            static_cast<int64_t>(p.y0 - top) == static_cast<int64_t>(p.y1 - top)) {
            mask.set(p.x0, p.y0);
            return;
        }
        // A dense stretch: a small run whose pixels are all marked already adds nothing.
        if (mask.allSet(p.x0, p.y0, p.x1, p.y1)) return;
    }
    if (level == 0) {
        const size_t from = run * PointRunIndex::kBase,
                     to = std::min(points.count, from + PointRunIndex::kBase);
        for (size_t i = from; i < to; ++i)
            mask.set(ax(points.x[i * points.stride]), ay(points.y[i * points.stride]));
        return;
    }
    const size_t below = index.level(level - 1).size();
    for (size_t k = run * PointRunIndex::kFactor, e = std::min(below, k + PointRunIndex::kFactor);
         k < e; ++k)
        markRun(points, ax, ay, index, level - 1, k, mask);
}

// Points [0, count) of the strided arrays in pixels, with their columns and rows in the box.
void toPixels(const double* xs, const double* ys, size_t stride, size_t count, const PixelAxis& ax,
              const PixelAxis& ay, const PixelBox& box, ChunkPixels& c) {
    if (stride == 1) {
        for (size_t k = 0; k < count; ++k) {
            c.x[k] = ax(xs[k]);
            c.y[k] = ay(ys[k]);
        }
    } else {
        for (size_t k = 0; k < count; ++k) {
            c.x[k] = ax(xs[k * stride]);
            c.y[k] = ay(ys[k * stride]);
        }
    }
    // The columns and rows: a point outside the box (or not finite) gets -1.
    size_t k = 0;
#if defined(__SSE2__) || defined(_M_X64)
    // Two points at a time, without branches. The conversion of a far-away offset gives some
    // int, which the mask then replaces.
    const __m128d left = _mm_set1_pd(box.left), right = _mm_set1_pd(box.right);
    const __m128d top = _mm_set1_pd(box.top), bottom = _mm_set1_pd(box.bottom);
    for (; k + 2 <= count; k += 2) {
        const __m128d x = _mm_loadu_pd(c.x + k), y = _mm_loadu_pd(c.y + k);
        const __m128d in = _mm_and_pd(_mm_and_pd(_mm_cmpge_pd(x, left), _mm_cmple_pd(x, right)),
                                      _mm_and_pd(_mm_cmpge_pd(y, top), _mm_cmple_pd(y, bottom)));
        // The two lanes' masks as two ints, all bits set for a point outside.
        const __m128i out = _mm_shuffle_epi32(
            _mm_xor_si128(_mm_castpd_si128(in), _mm_set1_epi32(-1)), _MM_SHUFFLE(3, 1, 2, 0));
        const __m128i column = _mm_or_si128(_mm_cvttpd_epi32(_mm_sub_pd(x, left)), out);
        const __m128i row = _mm_or_si128(_mm_cvttpd_epi32(_mm_sub_pd(y, top)), out);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(c.column + k), column);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(c.row + k), row);
    }
#endif
    for (; k < count; ++k) {
        const double x = c.x[k], y = c.y[k];
        const bool in = x >= box.left && x <= box.right && y >= box.top && y <= box.bottom;
        c.column[k] = in ? static_cast<int>(x - box.left) : -1;
        c.row[k] = in ? static_cast<int>(y - box.top) : -1;
    }
    c.column[count] = c.row[count] = -2;
}

// Where a mask of cells `scale` to a pixel marks the points a line reduction meets.
struct CellsToMark {
    PixelMask& mask;
    double scale;
    PixelAxis ax, ay; // the axes in cells
    // As mask.set(x * scale, y * scale) for each point of the chunk.
    void mark(const ChunkPixels& c, size_t count) const {
        size_t k = 0;
#if defined(__SSE2__) || defined(_M_X64)
        // Two points at a time; the cells' columns and rows as ints only for points inside.
        const __m128d s = _mm_set1_pd(scale), zero = _mm_setzero_pd();
        const __m128d left = _mm_set1_pd(mask.left()), top = _mm_set1_pd(mask.top());
        const __m128d width = _mm_set1_pd(mask.width()), height = _mm_set1_pd(mask.height());
        for (; k + 2 <= count; k += 2) {
            const __m128d x = _mm_sub_pd(_mm_mul_pd(_mm_loadu_pd(c.x + k), s), left);
            const __m128d y = _mm_sub_pd(_mm_mul_pd(_mm_loadu_pd(c.y + k), s), top);
            const __m128d in =
                _mm_and_pd(_mm_and_pd(_mm_cmpge_pd(x, zero), _mm_cmplt_pd(x, width)),
                           _mm_and_pd(_mm_cmpge_pd(y, zero), _mm_cmplt_pd(y, height)));
            const int inside = _mm_movemask_pd(in);
            if (inside == 0) continue;
            const __m128i ix = _mm_cvttpd_epi32(x), iy = _mm_cvttpd_epi32(y);
            if (inside & 1) mask.setWithin(_mm_cvtsi128_si32(ix), _mm_cvtsi128_si32(iy));
            if (inside & 2)
                mask.setWithin(_mm_cvtsi128_si32(_mm_shuffle_epi32(ix, 1)),
                               _mm_cvtsi128_si32(_mm_shuffle_epi32(iy, 1)));
        }
#endif
        for (; k < count; ++k)
            mask.set(c.x[k] * scale, c.y[k] * scale);
    }
};

// Failures in a row after which the tries of runs are put off the most (2^4 - 1 runs).
constexpr unsigned kMostPutOff = 4;

// The line of points [from, to) as reduceToPixels reduces it, appended to line; with `cells`,
// every point it meets marked there too (a point beyond the box may be passed over).
void reduceLine(const StridedPoints& points, const PixelAxis& ax, const PixelAxis& ay,
                const PixelBox& box, std::vector<PixelPoint>& line, const PointRunIndex* index,
                size_t from, size_t to, const CellsToMark* cells = nullptr) {
    const double* xs = points.x;
    const double* ys = points.y;
    const size_t n = points.count, stride = points.stride;
    LineReducer reducer(line, box);
    ChunkPixels chunk;
    const PixelsOf at{points, ax, ay};
    const size_t levels = index ? index->levels() : 0;
    std::vector<size_t> lengths(levels); // powers of two
    for (size_t l = 0; l < levels; ++l)
        lengths[l] = index->runLength(l);
    // Where runs keep failing to be taken whole (a dense curve seen whole, its runs spanning
    // several pixels), trying each one costs more than it saves: after each failure in a row
    // the next tries are put off further, up to a chunk's length.
    size_t tryFrom = from;
    unsigned failures = 0;
    for (size_t i = from; i < to;) {
        if (levels && i % PointRunIndex::kBase == 0 && i >= tryFrom) {
            size_t taken = 0;
            for (size_t l = levels; l-- > 0;) {
                const size_t len = lengths[l];
                if ((i & (len - 1)) != 0) continue;
                // A run must lie within the stretch (the last run of the points may be short).
                if (i + len > to && to != n) continue;
                const PointRunIndex::Run& run = index->level(l)[i / len];
                if (!run.finite) continue;
                const RunPixels p = pixelsOfRun(run, ax, ay);
                const size_t last = std::min(to, i + len) - 1;
                if (reducer.take(p.x0, p.x1, p.y0, p.y1, run, last, at)) {
                    taken = last + 1 - i;
                    if (cells)
                        markRun(points, cells->ax, cells->ay, *index, l, i / len, cells->mask);
                    break;
                }
            }
            if (taken) {
                i += taken;
                failures = 0;
                continue;
            }
            failures = std::min(failures + 1, kMostPutOff);
            tryFrom = i + (PointRunIndex::kBase << failures) - PointRunIndex::kBase;
        }
        // Up to the next run of the index to be tried.
        const size_t next = std::max(i + 1, tryFrom) + PointRunIndex::kBase - 1;
        const size_t end = levels
                               ? std::min({to, next / PointRunIndex::kBase * PointRunIndex::kBase,
                                           i + ChunkPixels::kSize})
                               : std::min(to, i + ChunkPixels::kSize);
        const size_t count = end - i;
        toPixels(xs + i * stride, ys + i * stride, stride, count, ax, ay, box, chunk);
        if (cells) cells->mark(chunk, count);
        for (size_t k = 0; k < count;) {
            const double px = chunk.x[k], py = chunk.y[k];
            if (chunk.column[k] >= 0)
                reducer.inside(px, py, i + k);
            else if (std::isfinite(px) && std::isfinite(py))
                reducer.outside(px, py);
            else
                reducer.gap();
            k = reducer.follow(k + 1, i, chunk);
        }
        i = end;
    }
    reducer.finish();
}

void markAll(const StridedPoints& points, const PixelAxis& ax, const PixelAxis& ay,
             const PointRunIndex& index, PixelMask& mask) {
    // The highest level with runs enough to share.
    size_t level = index.levels() - 1;
    while (level > 0 && index.level(level).size() < 2)
        --level;
    const size_t runs = index.level(level).size();
    auto mark = [&](size_t from, size_t to, PixelMask& into) {
        for (size_t r = from; r < to; ++r)
            markRun(points, ax, ay, index, level, r, into);
    };
    if (!worthTwoThreads(points.count, kTwoThreadPoints) || runs < 2) {
        mark(0, runs, mask);
        return;
    }
    PixelMask second = mask;
    auto other = std::async(std::launch::async, [&] { mark(runs / 2, runs, second); });
    mark(0, runs / 2, mask);
    other.get();
    mask.add(second);
}

} // namespace

void reduceLineStretch(const StridedPoints& points, const PixelAxis& ax, const PixelAxis& ay,
                       const PixelBox& box, std::vector<PixelPoint>& line,
                       const PointRunIndex* index, size_t from, size_t to, PixelMask* occupied,
                       int cellsPerPixel) {
    if (index && (index->count() != points.count || index->empty())) index = nullptr;
    from = std::min(from, to);
    to = std::min(to, points.count);
    if (!occupied) {
        reduceLine(points, ax, ay, box, line, index, from, to);
        return;
    }
    const double k = cellsPerPixel;
    const CellsToMark cells{
        *occupied, k, {ax.v0, ax.p0 * k, ax.scale * k}, {ay.v0, ay.p0 * k, ay.scale * k}};
    // The line passes over points beyond the box only: a mask within it is marked on the way.
    const bool within = occupied->left() >= box.left * k && occupied->top() >= box.top * k &&
                        occupied->left() + occupied->width() <= box.right * k &&
                        occupied->top() + occupied->height() <= box.bottom * k;
    reduceLine(points, ax, ay, box, line, index, from, to, within ? &cells : nullptr);
    if (within) return;
    for (size_t i = from; i < to; ++i)
        occupied->set(cells.ax(points.x[i * points.stride]), cells.ay(points.y[i * points.stride]));
}

void reduceToPixels(const StridedPoints& points, const PixelAxis& ax, const PixelAxis& ay,
                    const PixelBox& box, std::vector<PixelPoint>* line, PixelMask* occupied,
                    const PointRunIndex* index) {
    const size_t n = points.count;
    if (index && (index->count() != n || index->empty())) index = nullptr;
    if (occupied) {
        if (index) {
            markAll(points, ax, ay, *index, *occupied);
        } else {
            for (size_t i = 0; i < n; ++i)
                occupied->set(ax(points.x[i * points.stride]), ay(points.y[i * points.stride]));
        }
    }
    if (!line) return;
    line->clear();
    if (!worthTwoThreads(n, kTwoThreadPoints)) {
        reduceLine(points, ax, ay, box, *line, index, 0, n);
        return;
    }
    // Two stretches reduced at once, the second from the last point of the first, which so
    // joins them; the line breaks there, between two drawings of the same point. The middle
    // falls on a run of the index.
    const size_t middle = n / 2 / 1024 * 1024;
    std::vector<PixelPoint> second;
    auto other = std::async(std::launch::async,
                            [&] { reduceLine(points, ax, ay, box, second, index, middle - 1, n); });
    reduceLine(points, ax, ay, box, *line, index, 0, middle);
    other.get();
    if (!line->empty() && !second.empty()) line->push_back({kNaN, kNaN});
    line->insert(line->end(), second.begin(), second.end());
}

} // namespace tc
