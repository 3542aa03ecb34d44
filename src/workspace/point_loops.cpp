#include "workspace/point_loops.h"

#include <algorithm>
#include <cstddef>

namespace tc {

std::vector<int> analysedIndexOfPoints(const std::vector<double>& disp,
                                       const std::vector<double>& force,
                                       const LoopAnalysis& analysis) {
    const auto& ld = analysis.loopDisp;
    const auto& lf = analysis.loopForce;
    const size_t n = std::min(disp.size(), force.size());
    const size_t L = std::min(ld.size(), lf.size());
    std::vector<int> out;
    if (analysis.empty() || n == 0 || L == 0) return out;
    out.resize(n);
    auto same = [&](size_t i, size_t j) { return j < L && disp[i] == ld[j] && force[i] == lf[j]; };
    size_t j = 0; // the first imported point is the first analysed point
    for (size_t i = 1; i < n; ++i) {
        if (same(i, j)) {
            // repeated point: dropped by the analysis
        } else if (same(i, j + 1)) {
            j += 1;
        } else if (same(i, j + 2)) {
            j += 2; // a crossing was inserted before it
        } else if (j + 1 < L) {
            j += 1;
        }
        out[i] = static_cast<int>(j);
    }
    return out;
}

int loopOfAnalysedPoint(const LoopAnalysis& analysis, int index) {
    const auto& c = analysis.crossIndex;
    if (c.empty() || analysis.loopCount <= 0 || index < 0 ||
        static_cast<size_t>(index) >= analysis.loopDisp.size())
        return -1;
    // Crossings at or before the point; the first crossing is point 0.
    const auto atOrBefore = std::upper_bound(c.begin(), c.end(), index) - c.begin();
    const auto k = (atOrBefore - 1) / 2;
    if (k < analysis.loopCount) return static_cast<int>(k);
    // The crossing that closes the last loop is still that loop's; the half loop after it is not
    // counted as a loop.
    const auto closing = 2 * static_cast<ptrdiff_t>(analysis.loopCount);
    if (atOrBefore - 1 == closing && c[static_cast<size_t>(closing)] == index)
        return analysis.loopCount - 1;
    return -1;
}

} // namespace tc
