#include "results/result_plots.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace tc {

void PlotPoints::reserve(std::size_t n) {
    x.reserve(n);
    y.reserve(n);
}

void PlotPoints::addOptional(double px, const std::optional<double>& py) {
    if (py)
        add(px, *py);
    else
        ++missing;
}

namespace {

// The crossing that closes loop number `loop` (from 1), or -1 when the analysis has none.
int closingCrossing(const LoopAnalysis& a, int loop) {
    const auto i = 2 * static_cast<std::size_t>(loop);
    return i < a.crossIndex.size() ? a.crossIndex[i] : -1;
}

int startCrossing(const LoopAnalysis& a, int loop) {
    const auto i = 2 * static_cast<std::size_t>(loop - 1);
    return i < a.crossIndex.size() ? a.crossIndex[i] : -1;
}

} // namespace

ProtocolPlot protocolPlot(const LoopAnalysis& analysis, const std::vector<LoopResult>& loops,
                          const std::vector<LevelResult>& levels) {
    ProtocolPlot p;
    const auto& d = analysis.loopDisp;
    const std::size_t n = std::min(d.size(), analysis.loopForce.size());
    p.curve.reserve(n);
    p.boundaries.reserve(loops.size() + 1);
    for (std::size_t i = 0; i < n; ++i)
        p.curve.add(static_cast<double>(i), d[i]);

    auto boundary = [&](int index) {
        if (index >= 0 && static_cast<std::size_t>(index) < n)
            p.boundaries.add(index, d[static_cast<std::size_t>(index)]);
    };
    for (const LoopResult& l : loops)
        boundary(startCrossing(analysis, l.loop));
    if (!loops.empty() && !loops.back().open)
        boundary(closingCrossing(analysis, loops.back().loop));

    // The last loop of every level; levels are numbered from 1 in order of their first loop.
    std::vector<int> lastLoop(levels.size(), 0);
    for (const LoopResult& l : loops)
        if (l.level > 0 && static_cast<std::size_t>(l.level) <= lastLoop.size())
            lastLoop[static_cast<std::size_t>(l.level) - 1] = l.loop;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const LevelResult& l = levels[i];
        const int first = startCrossing(analysis, l.firstLoop);
        const int last = closingCrossing(analysis, lastLoop[i]);
        if (first < 0 || last < first || !std::isfinite(l.d1) || !std::isfinite(l.d2)) continue;
        p.levels.push_back(
            {l.level, static_cast<double>(first), static_cast<double>(last), l.d1, l.d2});
    }
    return p;
}

EnergyPlot energyPlot(const LoopAnalysis& analysis, const std::vector<LoopResult>& loops) {
    EnergyPlot p;
    const auto& d = analysis.loopDisp;
    const std::size_t n = std::min(d.size(), analysis.loopForce.size());
    // The path length is summed once along the curve, read at the loop ends in order.
    long double travel = 0;
    std::size_t at = 0; // travel holds the path length up to point `at`
    for (PlotPoints* q : {&p.perLoop, &p.cumulative, &p.versusTravel})
        q->reserve(loops.size());
    for (const LoopResult& l : loops) {
        p.perLoop.addOptional(l.loop, l.energy);
        p.cumulative.add(l.loop, l.cumulativeEnergy);
        int end = l.open ? static_cast<int>(n) - 1 : closingCrossing(analysis, l.loop);
        if (end < 0 || n == 0) {
            ++p.versusTravel.missing;
            continue;
        }
        const auto e = std::min(static_cast<std::size_t>(end), n - 1);
        for (; at < e; ++at)
            travel += std::fabs(static_cast<long double>(d[at + 1]) - d[at]);
        p.versusTravel.add(static_cast<double>(travel), l.cumulativeEnergy);
    }
    return p;
}

std::optional<double> loopAmplitude(const LoopResult& loop, double d0) {
    if (!loop.hasFirstHalf || !loop.hasSecondHalf) return std::nullopt;
    const double a = std::fabs(loop.d1 - d0) / 2 + std::fabs(loop.d2 - d0) / 2;
    if (!std::isfinite(a)) return std::nullopt;
    return a;
}

PlotPoints dampingPlot(const std::vector<LoopResult>& loops, double d0) {
    PlotPoints p;
    p.reserve(loops.size());
    for (const LoopResult& l : loops) {
        const auto a = loopAmplitude(l, d0);
        if (a && l.damping)
            p.add(*a, *l.damping);
        else
            ++p.missing;
    }
    return p;
}

StiffnessPlot stiffnessPlot(const std::vector<LevelResult>& levels) {
    StiffnessPlot p;
    for (const LevelResult& l : levels) {
        const double up = std::max(l.d1, l.d2), down = std::min(l.d1, l.d2);
        p.positive.addOptional(up, l.secantStiffness);
        p.negative.addOptional(down, l.secantStiffness);
        p.positiveDegradation.addOptional(up, l.stiffnessDegradation);
        p.negativeDegradation.addOptional(down, l.stiffnessDegradation);
    }
    return p;
}

std::vector<StrengthLevel> strengthPlot(const std::vector<LoopResult>& loops) {
    std::vector<StrengthLevel> out;
    std::vector<std::size_t> count; // loops per level, to reserve for
    for (const LoopResult& l : loops) {
        if (l.level <= 0) continue;
        const auto i = static_cast<std::size_t>(l.level) - 1;
        if (count.size() <= i) count.resize(i + 1, 0);
        ++count[i];
    }
    out.resize(count.size());
    for (std::size_t i = 0; i < count.size(); ++i) {
        out[i].level = static_cast<int>(i) + 1;
        out[i].points.reserve(count[i]);
    }
    for (const LoopResult& l : loops)
        if (l.level > 0)
            out[static_cast<std::size_t>(l.level) - 1].points.addOptional(l.loop, l.degradation);
    return out;
}

PointList bilinearIdealisation(const SkeletonResult& r, YieldMethod method) {
    if (!r.valid || !r.yield) return {};
    const CurvePoint o = r.origin;
    // The curve's direction: its peak lies beyond the origin's force in it.
    const double s = r.peak.y - o.y >= 0 ? 1.0 : -1.0;
    auto rel = [&](const CurvePoint& p) { return CurvePoint{s * (p.x - o.x), s * (p.y - o.y)}; };
    const CurvePoint y = rel(*r.yield), peak = rel(r.peak), u = rel(r.ultimate);
    CurvePoint knee = y, end = u;
    switch (method) {
    case YieldMethod::GeneralYieldMoment:
    case YieldMethod::Park:
        knee = {y.x, peak.y};
        end = {u.x, peak.y};
        break;
    case YieldMethod::Eeep:
        end = {u.x, y.y};
        break;
    case YieldMethod::FarthestPoint:
        end = peak;
        break;
    case YieldMethod::Asce41:
        end = u;
        break;
    case YieldMethod::Eccs:
        end = {u.x, r.initialStiffness ? y.y + *r.initialStiffness / 10 * (u.x - y.x) : y.y};
        break;
    }
    PointList out;
    for (const CurvePoint& p : {CurvePoint{0, 0}, knee, end}) {
        const CurvePoint c{o.x + s * p.x, o.y + s * p.y};
        if (!std::isfinite(c.x) || !std::isfinite(c.y)) return {};
        out.push_back(c);
    }
    return out;
}

ResultPlots resultPlots(const LoopAnalysis& analysis, const EngineeringResults& results) {
    ResultPlots p;
    const double d0 = analysis.loopDisp.empty() ? 0.0 : analysis.loopDisp.front();
    p.protocol = protocolPlot(analysis, results.loops, results.levels);
    p.energy = energyPlot(analysis, results.loops);
    p.damping = dampingPlot(results.loops, d0);
    p.stiffness = stiffnessPlot(results.levels);
    p.strength = strengthPlot(results.loops);
    auto evaluation = [&](const PointList& curve, const SkeletonResult& r) {
        EvaluationPlot e;
        for (const CurvePoint& q : curve)
            e.curve.add(q.x, q.y);
        e.bilinear = bilinearIdealisation(r, results.method);
        e.result = r;
        return e;
    };
    p.positive = evaluation(results.evaluated.positive, results.positive);
    p.negative = evaluation(results.evaluated.negative, results.negative);
    return p;
}

} // namespace tc
