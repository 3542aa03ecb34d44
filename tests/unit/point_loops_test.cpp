#include "workspace/point_loops.h"

#include <gtest/gtest.h>

namespace {

using D = std::vector<double>;
using I = std::vector<int>;

struct Case {
    const char* name;
    D disp, force;
    double deadBand;
    I loops; // the loop (0-based) of every imported point
};

class PointLoops : public ::testing::TestWithParam<Case> {};

TEST_P(PointLoops, EveryImportedPointFindsItsLoop) {
    const Case& c = GetParam();
    const tc::LoopAnalysis a = tc::analyzeLoops(c.disp, c.force, c.deadBand);
    const I analysed = tc::analysedIndexOfPoints(c.disp, c.force, a);
    ASSERT_EQ(analysed.size(), c.disp.size());
    I loops;
    for (size_t i = 0; i < analysed.size(); ++i) {
        // The analysed point is the imported point itself.
        EXPECT_EQ(a.loopDisp[static_cast<size_t>(analysed[i])], c.disp[i]) << i;
        EXPECT_EQ(a.loopForce[static_cast<size_t>(analysed[i])], c.force[i]) << i;
        loops.push_back(tc::loopOfAnalysedPoint(a, analysed[i]));
    }
    EXPECT_EQ(loops, c.loops);
}

INSTANTIATE_TEST_SUITE_P(
    Records, PointLoops,
    ::testing::Values(
        // Crossings inserted between 2 and -1 and between -2 and 1 close loop 1; the point after
        // them is loop 2's. The half loop after loop 2 is no loop.
        Case{"inserted_crossings",
             {0, 2, -1, -2, 1, 0, 3, -3, 0},
             {0, 5, -2, -4, 2, 0, 6, -6, 0},
             0,
             {0, 0, 0, 0, 1, 1, 1, -1, -1}},
        // Repeated points are dropped by the analysis and belong where their twin does.
        Case{"repeats", {0, 1, 1, -1, -1, 0}, {0, 3, 3, -3, -3, 0}, 0, {0, 0, 0, 0, 0, 0}},
        // Points landing on the reference are crossings of their own.
        Case{"landings",
             {0, 1, 0, -1, 0, 2, 0, -2, 0},
             {0, 1, 0, -1, 0, 2, 0, -2, 0},
             0,
             {0, 0, 0, 0, 1, 1, 1, 1, 1}},
        // An open last loop: the points after the last crossing are its points.
        Case{"open_last_loop", {0, 1, -1, 1, 2}, {0, 1, -1, 1, 2}, 0, {0, 0, 0, 1, 1}},
        // With a dead band the jitter around the reference adds no crossings.
        Case{"dead_band",
             {0, 0.1, -0.1, 5, 0.1, -0.1, -5, 0.1, 5, -5},
             {0, 1, -1, 50, 1, -1, -50, 1, 50, -50},
             1,
             {0, 0, 0, 0, 0, 0, 0, 1, 1, 1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PointLoops, DraggedPointKeepsItsPlace) {
    const D disp{0, 2, -1, -2, 1, 0}, force{0, 5, -2, -4, 2, 0};
    const tc::LoopAnalysis a = tc::analyzeLoops(disp, force);
    D moved = disp;
    moved[3] = -7; // dragged after the analysis
    const I before = tc::analysedIndexOfPoints(disp, force, a);
    EXPECT_EQ(tc::analysedIndexOfPoints(moved, force, a), before);
}

TEST(PointLoops, OutsideTheAnalysis) {
    const tc::LoopAnalysis empty;
    EXPECT_TRUE(tc::analysedIndexOfPoints({0, 1, 2}, {0, 1, 2}, empty).empty());
    EXPECT_EQ(tc::loopOfAnalysedPoint(empty, 0), -1);
    const tc::LoopAnalysis a = tc::analyzeLoops({0, 1, -1, 0}, {0, 1, -1, 0});
    EXPECT_EQ(tc::loopOfAnalysedPoint(a, -1), -1);
    EXPECT_EQ(tc::loopOfAnalysedPoint(a, static_cast<int>(a.loopDisp.size())), -1);
}

} // namespace
