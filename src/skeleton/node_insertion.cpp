#include "skeleton/node_insertion.h"

#include <cstddef>

namespace tc {

// One pass over the old points. The new node itself never qualifies (its x is not beyond x), so
// each old point is judged against its old successor, exactly as a scan that inserts in place and
// carries on past the inserted node would judge it.
PointList addNode(const PointList& curve, CurveSide side, double x, double y) {
    const bool positive = side == CurveSide::Positive;
    const auto before = [&](double v) { return positive ? v < x : v > x; };
    const auto reached = [&](double v) { return positive ? v >= x : v <= x; };
    PointList out;
    out.reserve(curve.size() + 1);
    const std::size_t n = curve.size();
    for (std::size_t i = 0; i < n; ++i) {
        out.push_back(curve[i]);
        if (!before(curve[i].x)) continue;
        if (i + 1 == n || reached(curve[i + 1].x)) out.push_back({x, y});
    }
    return out;
}

} // namespace tc
