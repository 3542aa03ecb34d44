// Fuzzes the analysis on arbitrary points: loop analysis (with and without a dead band), the
// five skeleton rules, and the engineering results with every yield method. Input: 2 bytes of
// settings, then the points as pairs of doubles (any bit pattern, infinities and NaN included,
// which the import never hands over: those are made finite first, as an import would refuse
// them).
#include "fuzz_input.h"
#include "results/engineering_results.h"
#include "skeleton/skeleton_extraction.h"
#include "workspace/loop_analysis.h"

#include <cmath>
#include <cstdlib>
#include <optional>
#include <vector>

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}
void checkFinite(double v) {
    check(std::isfinite(v));
}
void checkFinite(const std::optional<double>& v) {
    if (v) check(std::isfinite(*v));
}
void checkFinite(const tc::PointList& curve) {
    for (const tc::CurvePoint& p : curve) {
        checkFinite(p.x);
        checkFinite(p.y);
    }
}
void checkFinite(const tc::SkeletonResult& r) {
    if (!r.valid) return;
    checkFinite(r.peak.x);
    checkFinite(r.peak.y);
    checkFinite(r.ultimate.x);
    checkFinite(r.ultimate.y);
    if (r.yield) {
        checkFinite(r.yield->x);
        checkFinite(r.yield->y);
    }
    checkFinite(r.ductility);
    checkFinite(r.initialStiffness);
}

// What the analysis promises: indices inside the analysed curve, ascending crossings from 0,
// one peak per loop half.
void checkAnalysis(const tc::LoopAnalysis& a) {
    check(a.loopDisp.size() == a.loopForce.size());
    const int n = static_cast<int>(a.loopDisp.size());
    if (a.empty()) return;
    check(a.crossIndex.front() == 0);
    for (size_t i = 0; i < a.crossIndex.size(); ++i) {
        check(a.crossIndex[i] >= 0 && a.crossIndex[i] < n);
        if (i > 0) check(a.crossIndex[i] > a.crossIndex[i - 1]);
    }
    check(a.peakIndex2.size() <= a.peakIndex1.size());
    check(a.maxDisp1.size() == a.peakIndex1.size() && a.maxDisp2.size() == a.peakIndex2.size());
    for (int i : a.peakIndex1)
        check(i >= 0 && i < n);
    for (int i : a.peakIndex2)
        check(i >= 0 && i < n);
    checkFinite(tc::PointList{});
    for (size_t i = 0; i < a.loopDisp.size(); ++i) {
        checkFinite(a.loopDisp[i]);
        checkFinite(a.loopForce[i]);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tc::fuzz::Input in(data, size);
    const std::uint8_t a = in.byte(), b = in.byte();
    std::vector<double> disp, force;
    while (in.left() >= 16 && disp.size() < 4096) {
        double d = in.number(), f = in.number();
        // An import only ever hands over finite numbers.
        if (!std::isfinite(d)) d = 0;
        if (!std::isfinite(f)) f = 0;
        disp.push_back(d);
        force.push_back(f);
    }

    const tc::LoopAnalysis plain = tc::analyzeLoops(disp, force);
    checkAnalysis(plain);
    const tc::DeadBandSuggestion band = tc::suggestDeadBand(disp, force);
    checkFinite(band.band);
    const tc::LoopAnalysis banded = tc::analyzeLoops(disp, force, band.band);
    checkAnalysis(banded);
    const tc::LoopAnalysis& analysis = (a & 0x80) ? banded : plain;

    tc::SkeletonSettings settings;
    settings.rule = static_cast<tc::SkeletonRule>(a % 6);
    settings.keepIncreasing = a & 8;
    settings.direction = (a & 16) ? tc::LoopDirection::Negative : tc::LoopDirection::Positive;
    // The loop list may be shorter than the analysis (an edited list is not possible, but a
    // stale count must never read outside the arrays).
    const int loopCount = (a & 32) ? analysis.loopCount : analysis.loopCount / 2;
    const tc::SkeletonCurves curves = tc::extractSkeleton(analysis, loopCount, settings);
    checkFinite(curves.positive);
    checkFinite(curves.negative);

    tc::ResultSettings rs;
    rs.direction = settings.direction;
    rs.curve = static_cast<tc::EvaluationCurve>(b & 1);
    rs.method = static_cast<tc::YieldMethod>((b >> 1) % 6);
    static const double kTolerances[] = {0.05, 0.0, 0.5, 1e-12};
    rs.levelTolerance = kTolerances[(b >> 4) % 4];
    const tc::EngineeringResults r = tc::engineeringResults(analysis, loopCount, curves, rs);
    check(r.loops.size() == static_cast<size_t>(std::max(loopCount, 0)));
    for (const tc::LoopResult& l : r.loops) {
        checkFinite(l.energy);
        checkFinite(l.cumulativeEnergy);
        checkFinite(l.damping);
        checkFinite(l.secantStiffness);
        checkFinite(l.degradation);
        checkFinite(l.residual1);
        checkFinite(l.residual2);
    }
    for (const tc::LevelResult& l : r.levels) {
        checkFinite(l.secantStiffness);
        checkFinite(l.stiffnessDegradation);
    }
    checkFinite(r.positive);
    checkFinite(r.negative);
    checkFinite(r.evaluated.positive);
    checkFinite(r.evaluated.negative);
    checkFinite(r.closedLoopEnergy);
    checkFinite(r.recordEnergy);
    // The other yield methods on the same curves.
    for (int m = 0; m < 6; ++m) {
        checkFinite(tc::skeletonResult(r.evaluated.positive, 1, static_cast<tc::YieldMethod>(m)));
        checkFinite(tc::skeletonResult(r.evaluated.negative, -1, static_cast<tc::YieldMethod>(m)));
    }
    return 0;
}
