#include "chart/point_grid.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tc {

namespace {

// About eight points per cell on average, at most 1024 cells along an axis.
int cellsFor(size_t n) {
    const double side = std::sqrt(static_cast<double>(n) / 8.0);
    return static_cast<int>(std::clamp(side, 1.0, 1024.0));
}

} // namespace

void PointGrid::clear() {
    count_ = 0;
    nx_ = ny_ = 0;
    cellStart_.clear();
    entries_.clear();
    gone_.clear();
    moved_.clear();
}

int PointGrid::cellX(double x) const {
    const double c = (x - x0_) * sx_;
    if (!(c > 0)) return 0; // also NaN
    return c >= nx_ - 1 ? nx_ - 1 : static_cast<int>(c);
}

int PointGrid::cellY(double y) const {
    const double c = (y - y0_) * sy_;
    if (!(c > 0)) return 0;
    return c >= ny_ - 1 ? ny_ - 1 : static_cast<int>(c);
}

void PointGrid::build(const double* x, const double* y, size_t n, size_t stride) {
    clear();
    count_ = n;
    gone_.assign(n, 0);
    double xmin = std::numeric_limits<double>::infinity(), xmax = -xmin;
    double ymin = xmin, ymax = -xmin;
    size_t finite = 0;
    for (size_t i = 0; i < n; ++i) {
        const double px = x[i * stride], py = y[i * stride];
        if (!std::isfinite(px) || !std::isfinite(py)) continue;
        ++finite;
        xmin = std::min(xmin, px);
        xmax = std::max(xmax, px);
        ymin = std::min(ymin, py);
        ymax = std::max(ymax, py);
    }
    if (finite == 0) return;

    nx_ = ny_ = cellsFor(finite);
    // A flat extent gets one cell; so does an extent too wide for double arithmetic.
    const double w = xmax - xmin, h = ymax - ymin;
    if (!(w > 0) || !std::isfinite(w)) nx_ = 1;
    if (!(h > 0) || !std::isfinite(h)) ny_ = 1;
    x0_ = xmin;
    y0_ = ymin;
    sx_ = nx_ > 1 ? nx_ / w : 0.0;
    sy_ = ny_ > 1 ? ny_ / h : 0.0;

    // Counting sort of the points by cell.
    const size_t cells = static_cast<size_t>(nx_) * static_cast<size_t>(ny_);
    std::vector<uint32_t> cellOf(n, std::numeric_limits<uint32_t>::max());
    cellStart_.assign(cells + 1, 0);
    for (size_t i = 0; i < n; ++i) {
        const double px = x[i * stride], py = y[i * stride];
        if (!std::isfinite(px) || !std::isfinite(py)) continue;
        const auto c =
            static_cast<uint32_t>(static_cast<size_t>(cellY(py)) * static_cast<size_t>(nx_) +
                                  static_cast<size_t>(cellX(px)));
        cellOf[i] = c;
        ++cellStart_[c + 1];
    }
    for (size_t c = 0; c < cells; ++c)
        cellStart_[c + 1] += cellStart_[c];
    entries_.resize(finite);
    std::vector<uint32_t> fill(cellStart_.begin(), cellStart_.end() - 1);
    for (size_t i = 0; i < n; ++i) {
        const uint32_t c = cellOf[i];
        if (c == std::numeric_limits<uint32_t>::max()) continue;
        entries_[fill[c]++] = Entry{x[i * stride], y[i * stride], static_cast<uint32_t>(i)};
    }
}

void PointGrid::move(size_t i, double x, double y) {
    if (i >= count_) return;
    gone_[i] = 1;
    moved_[static_cast<uint32_t>(i)] = Entry{x, y, static_cast<uint32_t>(i)};
}

} // namespace tc
