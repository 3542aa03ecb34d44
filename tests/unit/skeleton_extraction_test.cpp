#include "skeleton/skeleton_extraction.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace tc {
void PrintTo(const CurvePoint& p, std::ostream* os) {
    *os << "(" << p.x << ", " << p.y << ")";
}
} // namespace tc

namespace {

using tc::LoopDirection;
using tc::PointList;
using Rule = tc::SkeletonRule;
using D = std::vector<double>;
using I = std::vector<int>;
constexpr auto Pos = LoopDirection::Positive;
constexpr auto Neg = LoopDirection::Negative;

// An analysis of the curve (disp[i], force[i]) with the given crossings and recorded peak
// indices; the recorded peak values are read off the curve, as the loop analysis records them.
tc::LoopAnalysis analysis(D disp, D force, I cross, I p1, I p2) {
    tc::LoopAnalysis a;
    for (int i : p1)
        a.maxDisp1.push_back(disp[static_cast<size_t>(i)]);
    for (int i : p1)
        a.maxDispForce1.push_back(force[static_cast<size_t>(i)]);
    for (int i : p2)
        a.maxDisp2.push_back(disp[static_cast<size_t>(i)]);
    for (int i : p2)
        a.maxDispForce2.push_back(force[static_cast<size_t>(i)]);
    a.loopDisp = std::move(disp);
    a.loopForce = std::move(force);
    a.crossIndex = std::move(cross);
    a.peakIndex1 = std::move(p1);
    a.peakIndex2 = std::move(p2);
    return a;
}

// One loop: s = 0, m = 5, e = 10; displacement peaks at 3 and 8.
const tc::LoopAnalysis worked =
    analysis({0, 1, 2, 3, 2, 0, -1, -2, -3, -1, 0}, {0, 10, 15, 14, 5, -3, -9, -12, -11, -2, 2},
             {0, 5, 10}, {3}, {8});
// Loop 1 is s 0, m 3, e 6; loop 2 starts at 6 and never returns: no middle, no recorded peaks.
const tc::LoopAnalysis noMiddleLast = analysis(
    {0, 5, 2, 0, -4, -1, 0, 3, 6, 4}, {0, 50, 30, 0, -40, -10, 0, 35, 55, 60}, {0, 3, 6}, {1}, {4});
// A record that never comes back: one loop without middle, nothing recorded.
const tc::LoopAnalysis neverReturns = analysis({0, 1, 3, 2}, {0, 10, 20, 30}, {0}, {}, {});
// Two loops whose second halves go below the force at their middle crossing but never below
// the force at their start (-100 and -50).
const tc::LoopAnalysis weakSecondHalves =
    analysis({0, 2, 0, -1, -3, 0, 4, 0, -2, 0}, {-100, 50, 0, -10, -20, -50, 60, 1, -30, 2},
             {0, 2, 5, 7, 9}, {1, 6}, {4, 8});
// Equal extreme forces in each half, at different displacements.
const tc::LoopAnalysis tied = analysis({0, 1, 2, 3, 0, -1, -2, -3, 0},
                                       {0, 20, 20, 5, 0, -20, -20, -5, 0}, {0, 4, 8}, {3}, {7});
// Three loops; loop 2 reaches less far out than loop 1 on the positive side.
const tc::LoopAnalysis shrinking = analysis({0, 4, 0, -4, 0, 3, 0, -5, 0, 4, 0, -6, 0},
                                            {0, 40, 0, -40, 0, 45, 0, -45, 0, 50, 0, -50, 0},
                                            {0, 2, 4, 6, 8, 10, 12}, {1, 5, 9}, {3, 7, 11});

struct Case {
    const char* name;
    const tc::LoopAnalysis& a;
    int loops;
    Rule rule;
    bool increasing;
    LoopDirection dir;
    PointList positive, negative;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class ExtractSkeleton : public ::testing::TestWithParam<Case> {};

TEST_P(ExtractSkeleton, Curves) {
    const Case& c = GetParam();
    const auto r = tc::extractSkeleton(c.a, c.loops, {c.rule, c.increasing, c.dir});
    EXPECT_EQ(r.positive, c.positive);
    EXPECT_EQ(r.negative, c.negative);
}

const PointList O{{0, 0}};
const auto name = [](const auto& info) { return std::string(info.param.name); };

INSTANTIATE_TEST_SUITE_P(
    Rules, ExtractSkeleton,
    ::testing::Values(
        Case{"Rule1",
             worked,
             1,
             Rule::ForcePeak,
             false,
             Pos,
             {{0, 0}, {2, 15}},
             {{0, 0}, {-2, -12}}},
        Case{"Rule2",
             worked,
             1,
             Rule::DisplacementPeak,
             false,
             Pos,
             {{0, 0}, {3, 14}},
             {{0, 0}, {-3, -11}}},
        Case{"Rule3",
             worked,
             1,
             Rule::ForceThenDisplacementPeak,
             false,
             Pos,
             {{0, 0}, {2, 15}, {3, 14}},
             {{0, 0}, {-2, -12}, {-3, -11}}},
        Case{"Rule4",
             worked,
             1,
             Rule::EnvelopeToForcePeak,
             false,
             Pos,
             {{0, 0}, {1, 10}, {2, 15}},
             {{0, 0}, {-1, -9}, {-2, -12}}},
        Case{"Rule5",
             worked,
             1,
             Rule::EnvelopeToDisplacementPeak,
             false,
             Pos,
             {{0, 0}, {1, 10}, {2, 15}, {3, 14}},
             {{0, 0}, {-1, -9}, {-2, -12}, {-3, -11}}},
        Case{"Rule3Increasing",
             worked,
             1,
             Rule::ForceThenDisplacementPeak,
             true,
             Pos,
             {{0, 0}, {2, 15}, {3, 14}},
             {{0, 0}, {-2, -12}, {-3, -11}}},
        Case{"NoRule", worked, 1, Rule::None, false, Pos, {}, {}},
        Case{"NoLoopEntries", worked, 0, Rule::ForcePeak, false, Pos, {}, {}},
        // Direction opposite to the data: the first half feeds the negative curve.
        Case{"Rule1Opposite",
             worked,
             1,
             Rule::ForcePeak,
             false,
             Neg,
             {{0, 0}, {0, 2}},
             {{0, 0}, {0, -3}}},
        Case{"Rule3Opposite",
             worked,
             1,
             Rule::ForceThenDisplacementPeak,
             false,
             Neg,
             {{0, 0}, {0, 2}, {-3, -11}},
             {{0, 0}, {0, -3}, {3, 14}}},
        // Loop 2 without middle: its one half s..e is a first half.
        Case{"Rule1NoMiddle",
             noMiddleLast,
             2,
             Rule::ForcePeak,
             false,
             Pos,
             {{0, 0}, {5, 50}, {4, 60}},
             {{0, 0}, {-4, -40}}},
        Case{"Rule1NoMiddleOpposite",
             noMiddleLast,
             2,
             Rule::ForcePeak,
             false,
             Neg,
             {{0, 0}, {0, 0}},
             {{0, 0}, {0, 0}, {0, 0}}},
        Case{"Rule2NoMiddle",
             noMiddleLast,
             2,
             Rule::DisplacementPeak,
             false,
             Pos,
             {{0, 0}, {5, 50}},
             {{0, 0}, {-4, -40}}},
        Case{"Rule3NoMiddle",
             noMiddleLast,
             2,
             Rule::ForceThenDisplacementPeak,
             false,
             Pos,
             {{0, 0}, {5, 50}, {5, 50}, {4, 60}},
             {{0, 0}, {-4, -40}, {-4, -40}}},
        Case{"Rule3NoMiddleIncreasingDropsEqualX",
             noMiddleLast,
             2,
             Rule::ForceThenDisplacementPeak,
             true,
             Pos,
             {{0, 0}, {5, 50}},
             {{0, 0}, {-4, -40}}},
        Case{"Rule4NoMiddle",
             noMiddleLast,
             2,
             Rule::EnvelopeToForcePeak,
             false,
             Pos,
             {{0, 0}, {5, 50}, {6, 55}},
             {{0, 0}, {-4, -40}}},
        Case{"Rule5NoMiddle",
             noMiddleLast,
             2,
             Rule::EnvelopeToDisplacementPeak,
             false,
             Pos,
             {{0, 0}, {5, 50}},
             {{0, 0}, {-4, -40}}},
        Case{"Rule1OnlyLoop", neverReturns, 1, Rule::ForcePeak, false, Pos, {{0, 0}, {2, 30}}, O},
        Case{"Rule1OnlyLoopOpposite",
             neverReturns,
             1,
             Rule::ForcePeak,
             false,
             Neg,
             O,
             {{0, 0}, {0, 0}}},
        Case{"Rule2OnlyLoop", neverReturns, 1, Rule::DisplacementPeak, false, Pos, O, O},
        Case{"Rule4OnlyLoop",
             neverReturns,
             1,
             Rule::EnvelopeToForcePeak,
             false,
             Pos,
             {{0, 0}, {1, 10}, {3, 20}},
             O},
        Case{"Rule5OnlyLoop", neverReturns, 1, Rule::EnvelopeToDisplacementPeak, false, Pos, O, O},
        // Second-half searches start from the force of the loop's start: rule 1 then appends
        // the start point itself, rule 4 walks only the middle point (no further out).
        Case{"Rule1SearchFromStart",
             weakSecondHalves,
             2,
             Rule::ForcePeak,
             false,
             Pos,
             {{0, -100}, {2, 50}, {4, 60}},
             {{0, -100}, {0, -100}, {0, -50}}},
        Case{"Rule4SearchFromStart",
             weakSecondHalves,
             2,
             Rule::EnvelopeToForcePeak,
             false,
             Pos,
             {{0, -100}, {2, 50}, {4, 60}},
             {{0, -100}}},
        Case{"Rule1TieLowestIndex",
             tied,
             1,
             Rule::ForcePeak,
             false,
             Pos,
             {{0, 0}, {1, 20}},
             {{0, 0}, {-1, -20}}},
        Case{"Rule4TieLowestIndex",
             tied,
             1,
             Rule::EnvelopeToForcePeak,
             false,
             Pos,
             {{0, 0}, {1, 20}},
             {{0, 0}, {-1, -20}}},
        Case{"Rule1Plain",
             shrinking,
             3,
             Rule::ForcePeak,
             false,
             Pos,
             {{0, 0}, {4, 40}, {3, 45}, {4, 50}},
             {{0, 0}, {-4, -40}, {-5, -45}, {-6, -50}}},
        Case{"Rule1Increasing",
             shrinking,
             3,
             Rule::ForcePeak,
             true,
             Pos,
             {{0, 0}, {4, 40}},
             {{0, 0}, {-4, -40}, {-5, -45}, {-6, -50}}}),
    name);

// Some settings must not matter: the flag for rules 4 and 5, the flag on the worked example
// (every point lies further out than the one before), and on the opposite direction every
// monotonic rule leaves only the origin.
TEST(ExtractSkeleton, SettingsThatChangeNothing) {
    for (int r = 1; r <= 5; ++r) {
        const auto rule = static_cast<Rule>(r);
        SCOPED_TRACE(r);
        const auto plain = tc::extractSkeleton(worked, 1, {rule, false, Pos});
        const auto inc = tc::extractSkeleton(worked, 1, {rule, true, Pos});
        EXPECT_EQ(inc.positive, plain.positive);
        EXPECT_EQ(inc.negative, plain.negative);
        const auto opp = tc::extractSkeleton(worked, 1, {rule, true, Neg});
        EXPECT_EQ(opp.positive, O);
        EXPECT_EQ(opp.negative, O);
        if (r >= 4) {
            const auto a = tc::extractSkeleton(shrinking, 3, {rule, false, Pos});
            const auto b = tc::extractSkeleton(shrinking, 3, {rule, true, Pos});
            EXPECT_EQ(a.positive, b.positive);
            EXPECT_EQ(a.negative, b.negative);
            const auto oppPlain = tc::extractSkeleton(worked, 1, {rule, false, Neg});
            EXPECT_EQ(oppPlain.positive, O);
            EXPECT_EQ(oppPlain.negative, O);
        }
    }
}

TEST(ExtractSkeleton, WithoutAnalysisBothCurvesAreEmpty) {
    for (int r = 0; r <= 5; ++r) {
        const auto c =
            tc::extractSkeleton(tc::LoopAnalysis{}, 3, {static_cast<Rule>(r), true, Pos});
        EXPECT_TRUE(c.positive.empty() && c.negative.empty()) << "rule " << r;
    }
}

// Whatever the arrays hold, nothing outside them is read (the address sanitizer build shows
// it), and what does lie in the curve still gives its points.
TEST(ExtractSkeleton, InconsistentAnalysisStaysInsideTheArrays) {
    // Loop 2 is the lone point 10 after the last crossing; loop 3 has no start crossing.
    const auto longList = tc::extractSkeleton(worked, 50, {Rule::ForcePeak, false, Pos});
    EXPECT_EQ(longList.positive, (PointList{{0, 0}, {2, 15}, {0, 2}}));

    auto a = worked; // a peak beyond the curve counts as not recorded; one below walks nothing
    a.peakIndex1 = {1000};
    a.peakIndex2 = {-7};
    const auto r5 = tc::extractSkeleton(a, 1, {Rule::EnvelopeToDisplacementPeak, false, Pos});
    EXPECT_EQ(r5.positive, O);
    EXPECT_EQ(r5.negative, O);

    auto b = worked; // crossings beyond the curve are clipped to its last point
    b.crossIndex = {0, 5, 40};
    const auto r4 = tc::extractSkeleton(b, 2, {Rule::EnvelopeToForcePeak, false, Pos});
    EXPECT_EQ(r4.positive, (PointList{{0, 0}, {1, 10}, {2, 15}}));
    EXPECT_EQ(r4.negative, (PointList{{0, 0}, {-1, -9}, {-2, -12}}));
    b.crossIndex = {0, 30, 40};
    const auto r1 = tc::extractSkeleton(b, 1, {Rule::ForcePeak, false, Pos});
    EXPECT_EQ(r1.positive, (PointList{{0, 0}, {2, 15}}));
    EXPECT_EQ(r1.negative, (PointList{{0, 0}, {0, 0}})); // second half 10..10: the start s

    auto c = worked; // crossings without points
    c.loopDisp.clear();
    c.loopForce.clear();
    for (int r = 1; r <= 5; ++r) {
        const auto e = tc::extractSkeleton(c, 1, {static_cast<Rule>(r), false, Pos});
        EXPECT_TRUE(e.positive.empty() && e.negative.empty());
    }
    auto d = worked; // recorded forces shorter than the recorded displacements
    d.maxDispForce2.clear();
    EXPECT_EQ(tc::extractSkeleton(d, 1, {Rule::DisplacementPeak, false, Pos}).negative, O);
}

} // namespace
