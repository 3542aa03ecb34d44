#include "results/result_plots.h"
#include "results/results_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using D = std::vector<double>;
using tc::CurvePoint;
using tc::PointList;
const auto name = [](const auto& info) { return std::string(info.param.name); };

// Three amplitude levels, two cycles each; the repeats carry 0.8 of the first cycle's force.
tc::LoopAnalysis levelsRecord() {
    const D d{0, 1, 0, -1, 0, 1, 0, -1, 0, 2, 0, -2, 0, 2, 0, -2, 0, 3, 0, -3, 0, 3, 0, -3, 0};
    const D f{0,    10, 0,     -10, 0,  8, 0,   -8, 0,  18, 0,   -18, 0,
              14.4, 0,  -14.4, 0,   20, 0, -20, 0,  16, 0,  -16, 0};
    return tc::analyzeLoops(d, f);
}

tc::EngineeringResults resultsOf(const tc::LoopAnalysis& a,
                                 tc::YieldMethod method = tc::YieldMethod::GeneralYieldMoment) {
    tc::ResultSettings s;
    s.method = method;
    return tc::engineeringResults(a, a.loopCount, {}, s);
}

TEST(ProtocolPlot, CurveBoundariesAndLevels) {
    const auto a = levelsRecord();
    const auto r = resultsOf(a);
    const auto p = tc::protocolPlot(a, r.loops, r.levels);
    ASSERT_EQ(p.curve.size(), a.loopDisp.size());
    EXPECT_EQ(p.curve.x[5], 5);
    EXPECT_EQ(p.curve.y[5], a.loopDisp[5]);
    // Six loops: their six start crossings and the end of the last.
    ASSERT_EQ(p.boundaries.size(), 7u);
    for (std::size_t k = 0; k < 7; ++k) {
        EXPECT_EQ(p.boundaries.x[k], a.crossIndex[2 * k]);
        EXPECT_EQ(p.boundaries.y[k], 0);
    }
    ASSERT_EQ(p.levels.size(), 3u);
    EXPECT_EQ(p.levels[1].level, 2);
    EXPECT_EQ(p.levels[1].firstPoint, a.crossIndex[4]); // loop 3 starts the level
    EXPECT_EQ(p.levels[1].lastPoint, a.crossIndex[8]);  // loop 4 ends it
    EXPECT_EQ(p.levels[1].d1, 2);
    EXPECT_EQ(p.levels[1].d2, -2);
}

TEST(ProtocolPlot, AnOpenLastLoopHasNoEndBoundary) {
    const auto a = tc::analyzeLoops({0, 1, 0, -1, 0, 2, 0, -2}, {0, 1, 0, -1, 0, 2, 0, -2});
    const auto r = resultsOf(a);
    ASSERT_TRUE(r.loops.back().open);
    const auto p = tc::protocolPlot(a, r.loops, r.levels);
    EXPECT_EQ(p.boundaries.x, (D{0, 4}));
    ASSERT_EQ(p.levels.size(), 1u); // the open loop has no level
}

TEST(EnergyPlot, PerLoopCumulativeAndTravel) {
    const auto a = levelsRecord();
    const auto r = resultsOf(a);
    const auto p = tc::energyPlot(a, r.loops);
    ASSERT_EQ(p.perLoop.size(), 6u);
    ASSERT_EQ(p.cumulative.size(), 6u);
    ASSERT_EQ(p.versusTravel.size(), 6u);
    double travel = 0;
    for (std::size_t k = 0; k < 6; ++k) {
        EXPECT_EQ(p.perLoop.x[k], k + 1.0);
        EXPECT_EQ(p.perLoop.y[k], *r.loops[k].energy);
        EXPECT_EQ(p.cumulative.y[k], r.loops[k].cumulativeEnergy);
        travel += 4 * std::fabs(r.loops[k].d1); // out and back on both sides
        EXPECT_DOUBLE_EQ(p.versusTravel.x[k], travel);
        EXPECT_EQ(p.versusTravel.y[k], r.loops[k].cumulativeEnergy);
    }
}

TEST(EnergyPlot, AnOpenLoopHasNoEnergyBarButItsCumulativeValue) {
    const auto a = tc::analyzeLoops({0, 1, 0, -1, 0, 2, 0, -2}, {0, 1, 0, -1, 0, 2, 0, -2});
    const auto r = resultsOf(a);
    const auto p = tc::energyPlot(a, r.loops);
    EXPECT_EQ(p.perLoop.size(), 1u);
    EXPECT_EQ(p.perLoop.missing, 1u);
    EXPECT_EQ(p.cumulative.size(), 2u);
    ASSERT_EQ(p.versusTravel.size(), 2u);
    EXPECT_EQ(p.versusTravel.x[1], 4 + 2 + 2 + 2); // to the last point
}

TEST(PlotPoints, NonFiniteValuesAreCountedNotPlotted) {
    const double inf = std::numeric_limits<double>::infinity();
    tc::PlotPoints p;
    p.add(1, 2);
    p.add(inf, 2);
    p.add(1, std::nan(""));
    p.addOptional(3, std::nullopt);
    p.addOptional(3, 4.0);
    EXPECT_EQ(p.x, (D{1, 3}));
    EXPECT_EQ(p.y, (D{2, 4}));
    EXPECT_EQ(p.missing, 3u);
}

TEST(DampingPlot, AgainstTheMeanAmplitudeFromTheReference) {
    tc::LoopResult l;
    l.hasFirstHalf = l.hasSecondHalf = true;
    l.d1 = 5;
    l.d2 = -1;
    l.damping = 0.2;
    tc::LoopResult half = l;
    half.hasSecondHalf = false;
    tc::LoopResult none = l;
    none.damping.reset();
    const auto p = tc::dampingPlot({l, half, none}, 1);
    EXPECT_EQ(p.x, (D{3})); // (|5 - 1| + |-1 - 1|) / 2
    EXPECT_EQ(p.y, (D{0.2}));
    EXPECT_EQ(p.missing, 2u);
    EXPECT_EQ(tc::loopAmplitude(half, 0), std::nullopt);
}

TEST(StiffnessPlot, PerDirectionFromTheLevelTable) {
    const auto a = levelsRecord();
    const auto r = resultsOf(a);
    const auto p = tc::stiffnessPlot(r.levels);
    ASSERT_EQ(p.positive.size(), 3u);
    EXPECT_EQ(p.positive.x, (D{1, 2, 3}));
    EXPECT_EQ(p.negative.x, (D{-1, -2, -3}));
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(p.positive.y[i], *r.levels[i].secantStiffness);
        EXPECT_EQ(p.negative.y[i], *r.levels[i].secantStiffness);
        EXPECT_EQ(p.positiveDegradation.y[i], *r.levels[i].stiffnessDegradation);
    }
    EXPECT_EQ(p.positiveDegradation.y.front(), 1);
}

TEST(StrengthPlot, OneCurvePerLevel) {
    const auto a = levelsRecord();
    const auto r = resultsOf(a);
    const auto s = tc::strengthPlot(r.loops);
    ASSERT_EQ(s.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(s[i].level, static_cast<int>(i) + 1);
        EXPECT_EQ(s[i].points.x, (D{2.0 * i + 1, 2.0 * i + 2}));
        ASSERT_EQ(s[i].points.y.size(), 2u);
        EXPECT_EQ(s[i].points.y[0], 1);
        EXPECT_NEAR(s[i].points.y[1], 0.8, 1e-12);
    }
}

// ---- the bilinear idealisation ----

tc::SkeletonResult sample(int sign) {
    const double s = sign;
    tc::SkeletonResult r;
    r.valid = true;
    r.origin = {1, 2};
    r.yield = CurvePoint{1 + s * 2, 2 + s * 8};
    r.peak = {1 + s * 5, 2 + s * 10};
    r.ultimate = {1 + s * 8, 2 + s * 8.5};
    r.initialStiffness = 5;
    return r;
}

struct BilinearCase {
    const char* name;
    tc::YieldMethod method;
    PointList relative; // from the origin, for the positive curve
};

class Bilinear : public ::testing::TestWithParam<BilinearCase> {};

TEST_P(Bilinear, KneeAndEndOfTheMethod) {
    const auto& c = GetParam();
    for (int sign : {1, -1}) {
        const PointList got = tc::bilinearIdealisation(sample(sign), c.method);
        ASSERT_EQ(got.size(), c.relative.size()) << sign;
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_DOUBLE_EQ(got[i].x, 1 + sign * c.relative[i].x) << sign << " " << i;
            EXPECT_DOUBLE_EQ(got[i].y, 2 + sign * c.relative[i].y) << sign << " " << i;
        }
    }
}

using M = tc::YieldMethod;
// clang-format off
INSTANTIATE_TEST_SUITE_P(Methods, Bilinear, ::testing::Values(
    BilinearCase{"GeneralYieldMoment", M::GeneralYieldMoment, {{0, 0}, {2, 10}, {8, 10}}},
    BilinearCase{"Park", M::Park, {{0, 0}, {2, 10}, {8, 10}}},
    BilinearCase{"Eeep", M::Eeep, {{0, 0}, {2, 8}, {8, 8}}},
    BilinearCase{"FarthestPoint", M::FarthestPoint, {{0, 0}, {2, 8}, {5, 10}}},
    BilinearCase{"Asce41", M::Asce41, {{0, 0}, {2, 8}, {8, 8.5}}},
    BilinearCase{"Eccs", M::Eccs, {{0, 0}, {2, 8}, {8, 11}}}), name);
// clang-format on

TEST(Bilinear, NoneWithoutAYieldPointOrResults) {
    auto r = sample(1);
    r.yield.reset();
    EXPECT_TRUE(tc::bilinearIdealisation(r, M::Eeep).empty());
    r = sample(1);
    r.valid = false;
    EXPECT_TRUE(tc::bilinearIdealisation(r, M::Eeep).empty());
    r = sample(1);
    r.ultimate.x = std::numeric_limits<double>::max();
    r.yield->x = -std::numeric_limits<double>::max();
    EXPECT_TRUE(tc::bilinearIdealisation(r, M::Eccs).empty()); // the end is not finite
}

TEST(ResultPlots, EvaluationCurvesCarryTheirResults) {
    const auto a = levelsRecord();
    const auto r = resultsOf(a, M::Eeep);
    const auto p = tc::resultPlots(a, r);
    ASSERT_EQ(p.positive.curve.size(), r.evaluated.positive.size());
    EXPECT_EQ(p.negative.curve.y.back(), r.evaluated.negative.back().y);
    EXPECT_EQ(p.positive.result.peak, r.positive.peak);
    EXPECT_EQ(p.positive.bilinear, tc::bilinearIdealisation(r.positive, M::Eeep));
    EXPECT_EQ(p.negative.bilinear.size(), r.negative.yield ? 3u : 0u);
}

} // namespace
