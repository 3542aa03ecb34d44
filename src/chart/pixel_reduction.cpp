#include "chart/pixel_reduction.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tc {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

unsigned outcode(double x, double y, const PixelBox& b) {
    return (x < b.left ? 1u : 0u) | (x > b.right ? 2u : 0u) | (y < b.top ? 4u : 0u) |
           (y > b.bottom ? 8u : 0u);
}

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

// The line part of reduceToPixels: fed every point in order, it writes the kept points.
class LineReducer {
public:
    LineReducer(std::vector<PixelPoint>& out, const PixelBox& box) : out_(out), box_(box) {}

    // A point inside the box.
    void inside(double x, double y) {
        const int cx = column(x), cy = row(y);
        if (open_) {
            if (cx == col_) {
                if (cy != row_ && mode_ == Mode::Row) {
                    restart(x, y, cx, cy);
                    return;
                }
                if (cy != row_) mode_ = Mode::Column;
                extend(x, y);
                return;
            }
            if (cy == row_ && mode_ != Mode::Column) {
                mode_ = Mode::Row;
                extend(x, y);
                return;
            }
            restart(x, y, cx, cy);
            return;
        }
        PixelPoint entry = prev_, p{x, y};
        newPiece();
        if (prevOutside_ && clipToBox(entry, p, box_)) out_.push_back(entry);
        start(x, y, cx, cy);
    }

    // A finite point outside the box.
    void outside(double x, double y) {
        const unsigned code = outcode(x, y, box_);
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

    void start(double x, double y, int cx, int cy) {
        open_ = true;
        prevOutside_ = false;
        mode_ = Mode::Pixel;
        col_ = cx;
        row_ = cy;
        first_ = last_ = minX_ = maxX_ = minY_ = maxY_ = Kept{x, y, ++seq_};
    }

    void restart(double x, double y, int cx, int cy) {
        flush();
        start(x, y, cx, cy);
    }

    void extend(double x, double y) {
        last_ = Kept{x, y, ++seq_};
        if (x < minX_.x) minX_ = last_;
        if (x > maxX_.x) maxX_ = last_;
        if (y < minY_.y) minY_ = last_;
        if (y > maxY_.y) maxY_ = last_;
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
    size_t seq_ = 0;
    Kept first_{}, last_{}, minX_{}, maxX_{}, minY_{}, maxY_{};

    bool prevOutside_ = false; // the previous point was a finite point outside the box
    PixelPoint prev_{};
    unsigned prevCode_ = 0;
};

} // namespace

void PixelMask::reset(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    words_ = (static_cast<size_t>(width_) + 63) / 64;
    bits_.assign(words_ * static_cast<size_t>(height_), 0);
}

bool PixelMask::test(int x, int y) const {
    x -= left_;
    y -= top_;
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return false;
    const auto ix = static_cast<size_t>(x);
    return (bits_[static_cast<size_t>(y) * words_ + ix / 64] >> (ix % 64)) & 1;
}

size_t PixelMask::count() const {
    size_t n = 0;
    for (uint64_t w : bits_)
        n += static_cast<size_t>(std::popcount(w));
    return n;
}

void reduceToPixels(const StridedPoints& points, const PixelAxis& ax, const PixelAxis& ay,
                    const PixelBox& box, std::vector<PixelPoint>* line, PixelMask* occupied) {
    const double* xs = points.x;
    const double* ys = points.y;
    const size_t n = points.count, stride = points.stride;
    if (line) {
        line->clear();
        LineReducer reducer(*line, box);
        for (size_t i = 0; i < n; ++i) {
            const double px = ax(xs[i * stride]), py = ay(ys[i * stride]);
            if (occupied) occupied->set(px, py);
            if (px >= box.left && px <= box.right && py >= box.top && py <= box.bottom)
                reducer.inside(px, py);
            else if (std::isfinite(px) && std::isfinite(py))
                reducer.outside(px, py);
            else
                reducer.gap();
        }
        reducer.finish();
    } else if (occupied) {
        for (size_t i = 0; i < n; ++i)
            occupied->set(ax(xs[i * stride]), ay(ys[i * stride]));
    }
}

} // namespace tc
