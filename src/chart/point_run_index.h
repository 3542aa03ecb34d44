#pragma once
#include "chart/pixel_types.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tc {

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

} // namespace tc
