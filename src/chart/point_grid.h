#pragma once
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace tc {

// A coarse uniform grid over a set of points, for finding the points inside a small box of a
// large series quickly (the hit test under the mouse on a million-point curve).
//
// The grid keeps its own copy of the coordinates, bucketed by cell. A point that moves after
// the build (a point being dragged) is taken out of its cell and kept in a short side list with
// its new coordinates, so a drag step costs O(1); once many points have moved the grid reports
// itself stale and should be rebuilt. Points with a non-finite coordinate are never found.
class PointGrid {
public:
    // Indexes n points; point i is at (x[i*stride], y[i*stride]), stride counted in doubles.
    void build(const double* x, const double* y, size_t n, size_t stride = 1);
    void clear();

    size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    // Cells along each axis (for tests and diagnostics).
    int cellsX() const { return nx_; }
    int cellsY() const { return ny_; }

    // Point i is now at (x, y). i must be below size().
    void move(size_t i, double x, double y);
    // True once so many points moved that a rebuild pays.
    bool stale() const { return moved_.size() > kMaxMoved; }

    // Calls visit(i, x, y) once for every point inside [xlo, xhi] x [ylo, yhi] (edges included),
    // in no particular order.
    template <class Visit>
    void forEachInBox(double xlo, double xhi, double ylo, double yhi, Visit&& visit) const;

private:
    static constexpr size_t kMaxMoved = 4096;
    struct Entry {
        double x, y;
        uint32_t index;
    };
    int cellX(double x) const;
    int cellY(double y) const;

    size_t count_ = 0;
    int nx_ = 0, ny_ = 0;
    double x0_ = 0, y0_ = 0, sx_ = 0, sy_ = 0; // cell = (v - v0) * s
    std::vector<uint32_t> cellStart_;          // nx*ny + 1 offsets into entries_
    std::vector<Entry> entries_;
    std::vector<uint8_t> gone_;                 // point left its cell (moved)
    std::unordered_map<uint32_t, Entry> moved_; // current place of moved points
};

template <class Visit>
void PointGrid::forEachInBox(double xlo, double xhi, double ylo, double yhi, Visit&& visit) const {
    if (!(xlo <= xhi) || !(ylo <= yhi)) return;
    if (nx_ > 0 && !entries_.empty()) {
        const int cx0 = cellX(xlo), cx1 = cellX(xhi);
        const int cy0 = cellY(ylo), cy1 = cellY(yhi);
        const bool anyGone = !moved_.empty();
        for (int cy = cy0; cy <= cy1; ++cy) {
            for (int cx = cx0; cx <= cx1; ++cx) {
                const size_t c =
                    static_cast<size_t>(cy) * static_cast<size_t>(nx_) + static_cast<size_t>(cx);
                for (uint32_t k = cellStart_[c], e = cellStart_[c + 1]; k < e; ++k) {
                    const Entry& p = entries_[k];
                    if (!(p.x >= xlo && p.x <= xhi && p.y >= ylo && p.y <= yhi)) continue;
                    if (anyGone && gone_[p.index]) continue;
                    visit(static_cast<size_t>(p.index), p.x, p.y);
                }
            }
        }
    }
    for (const auto& [i, p] : moved_) {
        if (!(p.x >= xlo && p.x <= xhi && p.y >= ylo && p.y <= yhi)) continue;
        visit(static_cast<size_t>(i), p.x, p.y);
    }
}

} // namespace tc
