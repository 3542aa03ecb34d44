// The warnings of the engineering results and the dead band suggestion: what a wrong setting
// looks like in a record.
#include "results/engineering_results.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace tc {
int firstHalfSide(const LoopAnalysis& analysis, int loopCount) {
    const auto& d = analysis.loopDisp;
    const std::size_t n = std::min(d.size(), analysis.loopForce.size());
    if (analysis.crossIndex.empty() || n == 0) return 0;
    const int size = static_cast<int>(std::min(n, static_cast<std::size_t>(INT_MAX)));
    const double d0 = d[0];
    long long above = 0, below = 0;
    for (int k = 0; k < loopCount; ++k) {
        const std::size_t kk = static_cast<std::size_t>(k);
        if (2 * kk + 1 >= analysis.crossIndex.size()) break; // no middle crossing
        const LoopBounds b = loopBounds(analysis.crossIndex, size, k);
        if (b.start < 0 || b.middle < b.start || b.middle >= size) break;
        // The point of the half farthest from the reference tells its side.
        double far = 0;
        for (auto j = static_cast<std::size_t>(b.start); j <= static_cast<std::size_t>(b.middle);
             ++j)
            if (std::fabs(d[j] - d0) > std::fabs(far)) far = d[j] - d0;
        if (far > 0) ++above;
        if (far < 0) ++below;
    }
    const long long total = above + below;
    if (2 * above > total) return 1;
    if (2 * below > total) return -1;
    return 0;
}

namespace {

std::string pointCount(std::size_t n) {
    return std::to_string(n) + (n == 1 ? " point" : " points");
}

} // namespace

std::vector<std::string> resultWarnings(const LoopAnalysis& analysis,
                                        const std::vector<LoopResult>& loops,
                                        LoopDirection direction, const SkeletonCurves& extracted,
                                        EvaluationCurve curve, const SkeletonCurves& evaluated) {
    std::vector<std::string> out;
    const auto& d = analysis.loopDisp;
    const std::size_t n = std::min(d.size(), analysis.loopForce.size());
    if (analysis.crossIndex.empty() || n == 0) return out;
    const int loopCount = static_cast<int>(loops.size());

    const int side = firstHalfSide(analysis, loopCount);
    if (direction == LoopDirection::Positive && side < 0)
        out.emplace_back("The first half-cycles go negative: set Loop Direction to Negative");
    if (direction == LoopDirection::Negative && side > 0)
        out.emplace_back("The first half-cycles go positive: set Loop Direction to Positive");

    // Both curves of an extraction hold at least the origin; fewer than 3 points give no results
    // worth the name.
    auto shortCurve = [&](const PointList& c, const char* which, const char* what) {
        if (!c.empty() && c.size() < 3)
            out.push_back(std::string("The ") + which + " " + what + " has only " +
                          pointCount(c.size()) + ": check Loop Direction and the dead band");
    };
    shortCurve(extracted.positive, "positive", "skeleton curve");
    shortCurve(extracted.negative, "negative", "skeleton curve");
    if (curve == EvaluationCurve::FirstCycleEnvelope) {
        shortCurve(evaluated.positive, "positive", "first-cycle envelope");
        shortCurve(evaluated.negative, "negative", "first-cycle envelope");
    }

    // Jitter around the reference: many loops that hardly move.
    const int size = static_cast<int>(std::min(n, static_cast<std::size_t>(INT_MAX)));
    const auto [lo, hi] = std::minmax_element(d.begin(), d.begin() + static_cast<long>(size));
    const double range = *hi - *lo;
    long long tiny = 0;
    for (int k = 0; k < loopCount; ++k) {
        const LoopBounds b = loopBounds(analysis.crossIndex, size, k);
        if (b.start < 0 || b.start >= size) break;
        const auto first = d.begin() + b.start;
        const auto last = d.begin() + std::clamp(b.end, b.start, size - 1) + 1;
        const auto [a, z] = std::minmax_element(first, last);
        if (*z - *a < 0.01 * range) ++tiny;
    }
    int levels = 0;
    for (const LoopResult& l : loops)
        levels = std::max(levels, l.level);
    const char* advice = ". Set a dead band in Options \u2192 Analysis Options";
    // Many loops per level alone is a protocol of many equal cycles (10 per level in some
    // tests), not jitter, unless short loops show it; a quarter of short loops is jitter too.
    if (tiny >= 100 || (tiny >= 5 && 4 * tiny >= loopCount))
        out.push_back(std::to_string(tiny) + (tiny == 1 ? " loop is" : " loops are") +
                      " shorter than 1 % of the displacement range" + advice);
    else if (tiny > 0 && levels > 0 && loopCount > 5 * levels)
        out.push_back(std::to_string(loopCount) + " loops for " + std::to_string(levels) +
                      (levels == 1 ? " amplitude level" : " amplitude levels") + advice);
    return out;
}

DeadBandSuggestion suggestDeadBand(const std::vector<double>& disp,
                                   const std::vector<double>& force) {
    DeadBandSuggestion s;
    const std::size_t n = disp.size();
    if (n < 3 || force.size() != n) return s;
    const double d0 = disp[0];
    // The depth of every excursion between two passages through the reference.
    std::vector<double> depths;
    int side = 0;
    double depth = 0, lo = d0, hi = d0;
    for (std::size_t i = 0; i < n; ++i) {
        const double x = disp[i];
        if (!std::isfinite(x)) continue;
        lo = std::min(lo, x);
        hi = std::max(hi, x);
        const int now = x > d0 ? 1 : (x < d0 ? -1 : 0);
        if (now == 0) continue;
        if (now != side) {
            if (side != 0) depths.push_back(depth);
            side = now;
            depth = 0;
        }
        depth = std::max(depth, std::fabs(x - d0));
    }
    if (side != 0) depths.push_back(depth);
    const double range = hi - lo;
    std::sort(depths.begin(), depths.end());
    // The largest jump between neighbouring depths, where the lower one is small.
    double bestRatio = 4;
    std::size_t cut = 0;
    for (std::size_t i = 1; i < depths.size(); ++i) {
        if (!(depths[i - 1] > 0) || depths[i - 1] > 0.05 * range) break;
        const double ratio = depths[i] / depths[i - 1];
        if (ratio >= bestRatio) {
            bestRatio = ratio;
            cut = i;
        }
    }
    s.loopsWithout = analyzeLoops(disp, force).loopCount;
    s.loops = s.loopsWithout;
    if (cut == 0) return s;
    s.jitter = depths[cut - 1];
    s.jitterCount = static_cast<int>(cut);
    // A jump of 4 or more keeps twice the jitter at most half the shallowest real excursion.
    s.band = 2 * s.jitter;
    s.loops = analyzeLoops(disp, force, s.band).loopCount;
    return s;
}

} // namespace tc
