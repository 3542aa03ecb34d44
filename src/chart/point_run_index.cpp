#include "chart/point_run_index.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tc {

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

} // namespace

size_t PointRunIndex::runLength(size_t level) const {
    size_t n = kBase;
    for (size_t l = 0; l < level; ++l)
        n *= kFactor;
    return n;
}

void PointRunIndex::clear() {
    count_ = 0;
    levels_.clear();
}

void PointRunIndex::fill(const StridedPoints& points, size_t run) {
    const size_t from = run * kBase, to = std::min(points.count, from + kBase);
    Run r{kInf, -kInf, kInf, -kInf, 0, 0, 0, 0, true};
    for (size_t i = from; i < to; ++i) {
        const double x = points.x[i * points.stride], y = points.y[i * points.stride];
        if (!std::isfinite(x) || !std::isfinite(y)) r.finite = false;
        const auto k = static_cast<uint32_t>(i);
        if (x < r.minX) r.minX = x, r.iMinX = k;
        if (x > r.maxX) r.maxX = x, r.iMaxX = k;
        if (y < r.minY) r.minY = y, r.iMinY = k;
        if (y > r.maxY) r.maxY = y, r.iMaxY = k;
    }
    levels_[0][run] = r;
}

void PointRunIndex::combine(size_t level, size_t run) {
    const std::vector<Run>& below = levels_[level - 1];
    const size_t from = run * kFactor, to = std::min(below.size(), from + kFactor);
    Run r = below[from];
    for (size_t k = from + 1; k < to; ++k) {
        const Run& b = below[k];
        r.finite = r.finite && b.finite;
        if (b.minX < r.minX) r.minX = b.minX, r.iMinX = b.iMinX;
        if (b.maxX > r.maxX) r.maxX = b.maxX, r.iMaxX = b.iMaxX;
        if (b.minY < r.minY) r.minY = b.minY, r.iMinY = b.iMinY;
        if (b.maxY > r.maxY) r.maxY = b.maxY, r.iMaxY = b.iMaxY;
    }
    levels_[level][run] = r;
}

void PointRunIndex::build(const StridedPoints& points) {
    clear();
    count_ = points.count;
    if (count_ == 0) return;
    size_t runs = (count_ + kBase - 1) / kBase;
    levels_.emplace_back(runs);
    for (size_t r = 0; r < runs; ++r)
        fill(points, r);
    while (runs > 1) {
        runs = (runs + kFactor - 1) / kFactor;
        levels_.emplace_back(runs);
        for (size_t r = 0; r < runs; ++r)
            combine(levels_.size() - 1, r);
    }
}

void PointRunIndex::update(const StridedPoints& points, size_t i) {
    if (i >= count_ || points.count != count_) return;
    size_t run = i / kBase;
    fill(points, run);
    for (size_t l = 1; l < levels_.size(); ++l) {
        run /= kFactor;
        combine(l, run);
    }
}

} // namespace tc
