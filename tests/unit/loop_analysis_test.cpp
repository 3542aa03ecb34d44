#include "workspace/loop_analysis.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using D = std::vector<double>;
using I = std::vector<int>;

struct Case {
    const char* name;
    D disp, force;
    D loopDisp;
    I crossIndex;
    int loopCount;
    D maxDisp1, maxDisp2;
};

class AnalyzeLoops : public ::testing::TestWithParam<Case> {};

TEST_P(AnalyzeLoops, CrossingsCountAndPeaks) {
    const auto& c = GetParam();
    D force = c.force.empty() ? D(c.disp.size(), 1.0) : c.force;
    if (c.force.empty())
        for (size_t i = 0; i < force.size(); ++i) force[i] = static_cast<double>(i); // no repeats
    const auto a = tc::analyzeLoops(c.disp, force);
    if (!c.loopDisp.empty()) {
        EXPECT_EQ(a.loopDisp, c.loopDisp);
    }
    EXPECT_EQ(a.crossIndex, c.crossIndex);
    EXPECT_EQ(a.loopCount, c.loopCount);
    EXPECT_EQ(a.maxDisp1, c.maxDisp1);
    EXPECT_EQ(a.maxDisp2, c.maxDisp2);
    EXPECT_EQ(a.loopDisp.size(), a.loopForce.size());
    EXPECT_EQ(a.peakIndex1.size(), a.maxDisp1.size());
    EXPECT_EQ(a.peakIndex2.size(), a.maxDisp2.size());
}

INSTANTIATE_TEST_SUITE_P(
    Records, AnalyzeLoops,
    ::testing::Values(
        Case{"OneFullLoop", {0, 5, 10, 5, 0, -5, -10, -5, 0}, {}, {}, {0, 4, 8}, 1, {10}, {-10}},
        Case{"InsertedCrossings", {0, 10, -10, 10}, {0, 100, -100, 100}, {0, 10, 0, -10, 0, 10},
             {0, 2, 4}, 2, {10}, {-10}},
        Case{"NeverReturns", {0, 1, 2, 3}, {}, {0, 1, 2, 3}, {0}, 1, {}, {}},
        Case{"ThreePoints", {0, 5, 0}, {}, {0, 5, 0}, {0, 2}, 1, {5}, {}},
        Case{"CrossesOnceThenGoesOn", {0, 5, 0, -3, -4}, {}, {}, {0, 2}, 1, {5}, {-3}},
        Case{"EndsOnCrossingAfterHalfLoop", {0, 5, 0, -5, 0, 6, 0}, {}, {}, {0, 2, 4, 6}, 1, {5},
             {-5}},
        Case{"TwoLoops", {0, 5, 0, -5, 0, 6, 0, -6, 0}, {}, {}, {0, 2, 4, 6, 8}, 2, {5, 6},
             {-5, -6}},
        Case{"EarliestPeakWins", {0, 8, 3, 8, 0, -2, 0}, {0, 1, 2, 3, 4, 5, 6}, {}, {0, 4, 6}, 1,
             {8}, {-2}},
        Case{"UnfinishedLastLoopEndNotExamined", {0, 5, 0, -5, 0, 3, 9}, {}, {}, {0, 2, 4}, 2,
             {5}, {-5}}));

TEST(AnalyzeLoops, InterpolatedForceAndTheEarliestOfEqualPeaks) {
    const auto a = tc::analyzeLoops({0, 10, -10, 10}, {0, 100, -100, 100});
    EXPECT_EQ(a.loopForce, (D{0, 100, 0, -100, 0, 100}));
    EXPECT_EQ(a.maxDispForce1, D{100});
    EXPECT_EQ(a.maxDispForce2, D{-100});
    const auto b = tc::analyzeLoops({0, 8, 3, 8, 0, -2, 0}, {0, 1, 2, 3, 4, 5, 6});
    EXPECT_EQ(b.peakIndex1, I{1});
}

TEST(AnalyzeLoops, RepeatedPointsAndPointsAtTheReference) {
    // A repeated point is dropped; a second point at d0 with another force is kept, not a crossing.
    const auto a = tc::analyzeLoops({0, 2, 2, 0, 0, -1, 0}, {0, 1, 1, 5, 6, 1, 0});
    EXPECT_EQ(a.loopDisp, (D{0, 2, 0, 0, -1, 0}));
    EXPECT_EQ(a.crossIndex, (I{0, 2, 5}));
    // The reference is the first displacement, not zero; magnitudes are measured from zero.
    const auto b = tc::analyzeLoops({1, 3, -1, 3}, {0, 2, -2, 2});
    EXPECT_EQ(b.loopDisp, (D{1, 3, 1, -1, 1, 3}));
    EXPECT_EQ(b.crossIndex, (I{0, 2, 4}));
    EXPECT_EQ(b.maxDisp1, D{3});
    EXPECT_EQ(b.maxDisp2, D{1}); // |-1| does not beat the crossing at 1
}

TEST(AnalyzeLoops, InterpolationUsesExtendedPrecision) {
    const double xl = 0.1, fl = 1.0 / 3.0, x = -0.7, f = 2.0 / 7.0;
    const auto a = tc::analyzeLoops({0, xl, x}, {0, fl, f});
    const long double expect = static_cast<long double>(fl) +
                               (0.0L - xl) * (static_cast<long double>(f) - fl) / (static_cast<long double>(x) - xl);
    ASSERT_EQ(a.loopForce.size(), 4u);
    EXPECT_EQ(a.loopForce[2], static_cast<double>(expect));
}

TEST(AnalyzeLoops, FewerThanThreePointsGiveNothing) {
    EXPECT_TRUE(tc::analyzeLoops({0, 1}, {0, 1}).empty());
    EXPECT_TRUE(tc::analyzeLoops({}, {}).empty());
}

// ---- dead band (Schmitt trigger) ----

D indexForces(size_t n) {
    D f(n);
    for (size_t i = 0; i < n; ++i) f[i] = static_cast<double>(i);
    return f;
}

struct BandCase {
    const char* name;
    D disp;
    double band;
    D loopDisp; // empty: the input itself
    I crossIndex;
    int loopCount;
    D maxDisp1, maxDisp2;
};

class DeadBand : public ::testing::TestWithParam<BandCase> {};

TEST_P(DeadBand, CrossingsCountAndPeaks) {
    const auto& c = GetParam();
    const auto a = tc::analyzeLoops(c.disp, indexForces(c.disp.size()), c.band);
    EXPECT_EQ(a.loopDisp, c.loopDisp.empty() ? c.disp : c.loopDisp);
    EXPECT_EQ(a.crossIndex, c.crossIndex);
    EXPECT_EQ(a.loopCount, c.loopCount);
    EXPECT_EQ(a.maxDisp1, c.maxDisp1);
    EXPECT_EQ(a.maxDisp2, c.maxDisp2);
    EXPECT_EQ(a.loopDisp.size(), a.loopForce.size());
}

INSTANTIATE_TEST_SUITE_P(
    Records, DeadBand,
    ::testing::Values(
        // Jitter at the start, at the turn to the negative side and at the turn back: only the
        // last passage before the curve gets beyond the band on the other side counts.
        BandCase{"JitterAroundTheReference",
                 {0, 0.1, -0.1, 0.2, 5, 10, 5, 0.1, -0.1, 0.1, -5, -10, -5, -0.1, 0.1, -0.1, 0.2, 5},
                 1,
                 {0, 0.1, -0.1, 0.2, 5, 10, 5, 0.1, -0.1, 0.1, 0, -5, -10, -5, -0.1, 0.1, -0.1, 0,
                  0.2, 5},
                 {0, 10, 17},
                 2,
                 {10},
                 {-10}},
        // A flat stretch on the reference: the first point of the stretch is the crossing, as
        // without a dead band.
        BandCase{"FlatAtTheReference", {0, 5, 0, 0, 0, -5, 0, 0, 5}, 1, {}, {0, 2, 6}, 2, {5},
                 {-5}},
        // Never more than the band away: no crossing but the start.
        BandCase{"InsideTheBand", {0, 1, -1, 1, -1}, 2, {}, {0}, 1, {}, {}},
        // Touching the reference from one side is no crossing.
        BandCase{"TouchAndReturn", {0, 5, 0, 4, 0.5, -5, -4}, 1, {0, 5, 0, 4, 0.5, 0, -5, -4}, {0, 5}, 1,
                 {5}, {-5}}));

TEST(DeadBand, RepeatedPointsAreDroppedBeforeTheCrossingsAreFound) {
    const auto a = tc::analyzeLoops({0, 5, 5, 0.5, -0.5, -5, -5, 0}, {0, 1, 1, 2, 3, 4, 4, 5}, 1);
    EXPECT_EQ(a.loopDisp, (D{0, 5, 0.5, 0, -0.5, -5, 0}));
    EXPECT_EQ(a.crossIndex, (I{0, 3}));
    EXPECT_DOUBLE_EQ(a.loopForce[3], 2.5); // halfway between (0.5, 2) and (-0.5, 3)
    EXPECT_EQ(a.maxDisp1, D{5});
    EXPECT_EQ(a.maxDisp2, D{-5});
}

TEST(DeadBand, ZeroAndNegativeBandsAreTheExactAnalysis) {
    const D disp{0, 0.1, -0.1, 5, -5, 0.2, -0.3, 0};
    const D force = indexForces(disp.size());
    const auto exact = tc::analyzeLoops(disp, force);
    for (double band : {0.0, -1.0}) {
        const auto a = tc::analyzeLoops(disp, force, band);
        EXPECT_EQ(a.loopDisp, exact.loopDisp);
        EXPECT_EQ(a.loopForce, exact.loopForce);
        EXPECT_EQ(a.crossIndex, exact.crossIndex);
        EXPECT_EQ(a.loopCount, exact.loopCount);
    }
}

TEST(DeadBand, NoisySineGivesOneLoopPerCycle) {
    // 24 cycles of amplitude 10, 200 samples each, with +-0.5 of alternating noise: every
    // passage through the reference jitters back and forth.
    D disp, force;
    const double pi = 3.14159265358979323846;
    for (int i = 0; i <= 24 * 200; ++i) {
        const double noise = (i % 2 == 0 ? 0.5 : -0.5);
        disp.push_back(10 * std::sin(2 * pi * i / 200.0) + noise);
        force.push_back(3 * disp.back());
    }
    EXPECT_GT(tc::analyzeLoops(disp, force).loopCount, 48);
    const auto a = tc::analyzeLoops(disp, force, 2);
    EXPECT_EQ(a.loopCount, 24);
    EXPECT_EQ(a.crossIndex.size(), 48u); // the start and 47 passages; the last never gets beyond
    ASSERT_EQ(a.maxDisp1.size(), 24u);
    for (double d : a.maxDisp1) EXPECT_NEAR(d, 10, 0.6);
    for (double d : a.maxDisp2) EXPECT_NEAR(d, -10, 0.6);
}

} // namespace
