// Fuzzes the analysis on arbitrary points: loop analysis (with and without a dead band), the
// five skeleton rules, and the engineering results with every yield method. Input: 2 bytes of
// settings, then the points as pairs of doubles (any bit pattern, infinities and NaN included,
// which the import never hands over: those are made finite first, as an import would refuse
// them).
#include "fuzz_input.h"
#include "results/engineering_results.h"
#include "results/results_tables.h"
#include "skeleton/skeleton_extraction.h"
#include "workspace/loop_analysis.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

// A number that must be finite (an optional one when it is set), named in the report.
void checkFinite(double v, const char* what) {
    if (std::isfinite(v)) return;
    std::fprintf(stderr, "not finite: %s = %g\n", what, v);
    std::abort();
}
void checkFinite(const std::optional<double>& v, const char* what) {
    if (v) checkFinite(*v, what);
}
void checkFinite(const tc::PointList& curve, const char* what) {
    for (const tc::CurvePoint& p : curve) {
        checkFinite(p.x, what);
        checkFinite(p.y, what);
    }
}
void checkFinite(const tc::SkeletonResult& r, const char* what) {
    if (!r.valid) return;
    const std::string w = what;
    checkFinite(r.peak.x, (w + ".peak.x").c_str());
    checkFinite(r.peak.y, (w + ".peak.y").c_str());
    checkFinite(r.ultimate.x, (w + ".ultimate.x").c_str());
    checkFinite(r.ultimate.y, (w + ".ultimate.y").c_str());
    if (r.yield) {
        checkFinite(r.yield->x, (w + ".yield.x").c_str());
        checkFinite(r.yield->y, (w + ".yield.y").c_str());
    }
    checkFinite(r.ductility, (w + ".ductility").c_str());
    checkFinite(r.initialStiffness, (w + ".initialStiffness").c_str());
}
#define TC_FUZZ_FINITE(x) checkFinite((x), #x)

// What the analysis promises: indices inside the analysed curve, ascending crossings from 0,
// one peak per loop half.
void checkAnalysis(const tc::LoopAnalysis& a) {
    TC_FUZZ_CHECK(a.loopDisp.size() == a.loopForce.size());
    const int n = static_cast<int>(a.loopDisp.size());
    if (a.empty()) return;
    TC_FUZZ_CHECK(a.crossIndex.front() == 0);
    for (size_t i = 0; i < a.crossIndex.size(); ++i) {
        TC_FUZZ_CHECK(a.crossIndex[i] >= 0 && a.crossIndex[i] < n);
        if (i > 0) TC_FUZZ_CHECK(a.crossIndex[i] > a.crossIndex[i - 1]);
    }
    TC_FUZZ_CHECK(a.peakIndex2.size() <= a.peakIndex1.size());
    TC_FUZZ_CHECK(a.maxDisp1.size() == a.peakIndex1.size() &&
                  a.maxDisp2.size() == a.peakIndex2.size());
    for (int i : a.peakIndex1)
        TC_FUZZ_CHECK(i >= 0 && i < n);
    for (int i : a.peakIndex2)
        TC_FUZZ_CHECK(i >= 0 && i < n);
    for (size_t i = 0; i < a.loopDisp.size(); ++i) {
        TC_FUZZ_FINITE(a.loopDisp[i]);
        TC_FUZZ_FINITE(a.loopForce[i]);
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
    TC_FUZZ_FINITE(band.band);
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
    TC_FUZZ_FINITE(curves.positive);
    TC_FUZZ_FINITE(curves.negative);

    tc::ResultSettings rs;
    rs.direction = settings.direction;
    rs.curve = static_cast<tc::EvaluationCurve>(b & 1);
    rs.method = static_cast<tc::YieldMethod>((b >> 1) % 6);
    static const double kTolerances[] = {0.05, 0.0, 0.5, 1e-12};
    rs.levelTolerance = kTolerances[(b >> 4) % 4];
    const tc::EngineeringResults r = tc::engineeringResults(analysis, loopCount, curves, rs);
    TC_FUZZ_CHECK(r.loops.size() == static_cast<size_t>(std::max(loopCount, 0)));
    for (const tc::LoopResult& l : r.loops) {
        TC_FUZZ_FINITE(l.energy);
        TC_FUZZ_FINITE(l.damping);
        TC_FUZZ_FINITE(l.secantStiffness);
        TC_FUZZ_FINITE(l.degradation);
        TC_FUZZ_FINITE(l.residual1);
        TC_FUZZ_FINITE(l.residual2);
    }
    for (const tc::LevelResult& l : r.levels) {
        TC_FUZZ_FINITE(l.secantStiffness);
        TC_FUZZ_FINITE(l.stiffnessDegradation);
    }
    TC_FUZZ_FINITE(r.positive);
    TC_FUZZ_FINITE(r.negative);
    TC_FUZZ_FINITE(r.evaluated.positive);
    TC_FUZZ_FINITE(r.evaluated.negative);
    // Sums of energies may run beyond the range of numbers; the tables show "--" for them, and
    // no table cell ever shows a number that is not finite.
    for (const tc::ResultTable& t : tc::resultTables(r))
        for (const auto& row : t.rows)
            for (const tc::ResultCell& cell : row)
                if (cell.number) TC_FUZZ_FINITE(*cell.number);
    // The other yield methods on the same curves.
    for (int m = 0; m < 6; ++m) {
        TC_FUZZ_FINITE(
            tc::skeletonResult(r.evaluated.positive, 1, static_cast<tc::YieldMethod>(m)));
        TC_FUZZ_FINITE(
            tc::skeletonResult(r.evaluated.negative, -1, static_cast<tc::YieldMethod>(m)));
    }
    return 0;
}
