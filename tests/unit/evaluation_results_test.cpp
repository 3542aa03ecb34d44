// The first-cycle envelope, the initial stiffness at 0.4 Pmax, open loops and record energy,
// residual displacements, stiffness degradation, the ASCE 41 and ECCS yield points, the warnings,
// the dead band suggestion and the rounded display, on hand-computed records.
#include "results/engineering_results.h"
#include "results/results_tables.h"
#include "skeleton/skeleton_extraction.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tc {
// Prints a point as (x, y); defined with the skeleton extraction tests of this executable.
void PrintTo(const CurvePoint& p, std::ostream* os);
} // namespace tc

namespace {

using D = std::vector<double>;
using std::nullopt;
using tc::CurvePoint;
using tc::PointList;
using OptD = std::optional<double>;
using OptP = std::optional<CurvePoint>;
using Strings = std::vector<std::string>;
constexpr double eps = 1e-12;

void expectNear(const OptD& got, const OptD& want, const std::string& what) {
    ASSERT_EQ(got.has_value(), want.has_value()) << what;
    if (want) {
        EXPECT_NEAR(*got, *want, eps) << what;
    }
}

void expectNear(const OptP& got, const OptP& want, const std::string& what) {
    ASSERT_EQ(got.has_value(), want.has_value()) << what;
    if (!want) return;
    EXPECT_NEAR(got->x, want->x, eps) << what;
    EXPECT_NEAR(got->y, want->y, eps) << what;
}

// ---- a protocol of three cycles per level ----

// Elastic triangles 0 -> (A, F) -> 0 -> (-A, -0.9 F) -> 0, three cycles per amplitude A = 1, 2,
// 3, 4; the first cycle of each level carries F = 10, 18, 20, 12 (softening after the peak at
// A = 3), the repeats 0.8 F and 0.7 F.
tc::LoopAnalysis threeCyclesPerLevel() {
    const double amp[] = {1, 2, 3, 4};
    const double first[] = {10, 18, 20, 12};
    D d{0}, f{0};
    for (int level = 0; level < 4; ++level)
        for (const double share : {1.0, 0.8, 0.7}) {
            const double a = amp[level], force = first[level] * share;
            d.insert(d.end(), {a, 0, -a, 0});
            f.insert(f.end(), {force, 0, -0.9 * force, 0});
        }
    return tc::analyzeLoops(d, f);
}

TEST(FirstCycleEnvelope, TakesTheFirstCycleOfEveryLevel) {
    const auto a = threeCyclesPerLevel();
    ASSERT_EQ(a.loopCount, 12);
    const auto loops = tc::loopResults(a, a.loopCount);
    const auto c = tc::firstCycleEnvelope(a, loops, tc::LoopDirection::Positive);
    EXPECT_EQ(c.positive, (PointList{{0, 0}, {1, 10}, {2, 18}, {3, 20}, {4, 12}}));
    EXPECT_EQ(
        c.negative,
        (PointList{{0, 0}, {-1, -0.9 * 10}, {-2, -0.9 * 18}, {-3, -0.9 * 20}, {-4, -0.9 * 12}}));
    // Under "Negative" the first halves feed the negative curve: nothing lies further out there.
    const auto wrong = tc::firstCycleEnvelope(a, loops, tc::LoopDirection::Negative);
    EXPECT_EQ(wrong.positive, (PointList{{0, 0}}));
    EXPECT_EQ(wrong.negative, (PointList{{0, 0}}));
    EXPECT_TRUE(tc::firstCycleEnvelope(tc::LoopAnalysis{}, {}, {}).positive.empty());
}

TEST(FirstCycleEnvelope, GivesTheUltimatePointTheRepeatsHide) {
    const auto a = threeCyclesPerLevel();
    tc::ResultSettings s; // the first-cycle envelope and the general yield moment by default
    const auto r = tc::engineeringResults(a, a.loopCount, {}, s);
    EXPECT_EQ(r.curve, tc::EvaluationCurve::FirstCycleEnvelope);
    // Pmax 20 at 3; 0.85 x 20 = 17 on (3,20)-(4,12) at 3 + 3/8.
    EXPECT_EQ(r.positive.peak, (CurvePoint{3, 20}));
    expectNear(r.positive.ultimate, CurvePoint{3.375, 17}, "ultimate +");
    EXPECT_TRUE(r.positive.ultimateReached);
    // 0.4 x 20 = 8 at 0.8: K0 = 10; uA = 2, B = 18, uC = 20 x 2 / 18 = 20/9, on (2,18)-(3,20):
    // 18 + 2 x 2/9.
    expectNear(r.positive.initialStiffness, 10.0, "K0 +");
    expectNear(r.positive.yield, CurvePoint{20.0 / 9, 18 + 4.0 / 9}, "yield +");
    expectNear(r.positive.ductility, 3.375 / (20.0 / 9), "ductility +");
    // Negative: Pmax 18 at -3; 0.85 x 18 = 15.3 on (3,18)-(4,10.8) at 3 + 2.7/7.2 = 3.375.
    expectNear(r.negative.ultimate, CurvePoint{-3.375, -15.3}, "ultimate -");
    expectNear(r.negative.initialStiffness, 9.0, "K0 -");

    // The force-peak skeleton on the chart holds the repeats: (3,20) is followed by (3,16), which
    // is below 17 at once, so Du is 3.
    const auto chart = tc::extractSkeleton(a, a.loopCount, {});
    s.curve = tc::EvaluationCurve::SkeletonOnChart;
    const auto old = tc::engineeringResults(a, a.loopCount, chart, s);
    EXPECT_EQ(old.evaluated.positive, chart.positive);
    expectNear(old.positive.ultimate, CurvePoint{3, 17}, "ultimate on the chart's curve");

    // Levels: four, three loops each; elastic loops keep their secant 10 / 1 ... 12 / 4.
    ASSERT_EQ(r.levels.size(), 4u);
    const double k[] = {(10 + 9) / 2.0, (18 + 16.2) / 4, (20 + 18) / 6.0, (12 + 10.8) / 8};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(r.levels[i].level, i + 1);
        EXPECT_EQ(r.levels[i].firstLoop, 3 * i + 1);
        EXPECT_EQ(r.levels[i].loops, 3);
        expectNear(r.levels[i].secantStiffness, k[i], "level stiffness");
        expectNear(r.levels[i].stiffnessDegradation, k[i] / k[0], "stiffness degradation");
    }
}

// ---- the initial stiffness ----

struct K0Case {
    const char* name;
    PointList curve;
    int sign;
    OptD k0;
    OptD k0OfFirstPoint; // the slope to the first point, as it used to be
    std::string note;    // the note on K0, empty when there is a K0
};

class InitialStiffness : public ::testing::TestWithParam<K0Case> {};

TEST_P(InitialStiffness, SecantAtFortyPercentOfPmax) {
    const auto& c = GetParam();
    const auto r = tc::skeletonResult(c.curve, c.sign, tc::YieldMethod::GeneralYieldMoment);
    expectNear(r.initialStiffness, c.k0, "K0");
    if (c.k0OfFirstPoint) {
        const double u1 = c.curve[1].x - c.curve[0].x;
        EXPECT_DOUBLE_EQ((c.curve[1].y - c.curve[0].y) / u1, *c.k0OfFirstPoint);
    }
    bool noted = false;
    for (const auto& n : r.notes)
        noted = noted || n.find("K0") == 0;
    EXPECT_EQ(noted, !c.note.empty());
    if (!c.note.empty()) {
        EXPECT_EQ(r.notes.front(), c.note);
        EXPECT_FALSE(r.yield); // the geometric method needs K0
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Curves, InitialStiffness, ::testing::Values(
    // A negative branch whose first point already carries force (loop 1's unloading):
    // 0.4 x 100 = 40 on (0.2,30)-(1.4,50) at 0.2 + 0.5 x 1.2 = 0.8: K0 = 50, not 30 / 0.2 = 150.
    K0Case{"FirstPointCarriesForce", {{0, 0}, {-0.2, -30}, {-1.4, -50}, {-3, -100}, {-4, -90}},
           -1, 50.0, 150.0, ""},
    // Measured from an origin off zero: from (1,2) the curve rises 10 per unit, 0.4 x 20 = 8 at
    // 0.8: K0 = 10.
    K0Case{"OriginOffZero", {{1, 2}, {2, 12}, {3, 22}}, 1, 10.0, nullopt, ""},
    // 0.4 Pmax reached at the origin's displacement: no K0, and the reason.
    K0Case{"VerticalStart", {{0, 0}, {0, 5}, {1, 10}}, 1, nullopt, nullopt,
           "K0: the curve reaches 0.4 Pmax at no displacement beyond the origin"},
    // The curve first runs backwards: 0.4 x 10 = 4 at u = -0.4.
    K0Case{"Backwards", {{0, 0}, {-1, 10}, {2, 8}}, 1, nullopt, nullopt,
           "K0: the curve reaches 0.4 Pmax at no displacement beyond the origin"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// ---- ASCE 41 bilinear and ECCS ----

constexpr auto Asce = tc::YieldMethod::Asce41;
constexpr auto Eccs = tc::YieldMethod::Eccs;

struct YieldCase {
    const char* name;
    PointList curve;
    int sign;
    tc::YieldMethod method;
    OptP yield;
};

class NewYieldMethods : public ::testing::TestWithParam<YieldCase> {};

TEST_P(NewYieldMethods, YieldPoint) {
    const auto& c = GetParam();
    const auto r = tc::skeletonResult(c.curve, c.sign, c.method);
    ASSERT_TRUE(r.valid);
    expectNear(r.yield, c.yield, "yield");
    if (c.yield) {
        expectNear(r.ductility, (r.ultimate.x - r.origin.x) / (c.yield->x - r.origin.x),
                   "ductility");
    }
}

const PointList hardening{{0, 0}, {1, 10}, {5, 12}};
const PointList roundKnee{{0, 0}, {1, 10}, {2, 14}, {4, 15.5}};

// clang-format off
INSTANTIATE_TEST_SUITE_P(Curves, NewYieldMethods, ::testing::Values(
    // Bilinear with hardening: never softens, Du = 5 at Pu = 12. Area 5 + 22 / 2 x 4 = 49.
    // Py = (2 x 49 - 12 x 5) / (5 - 12 / 10) = 38 / 3.8 = 10 with 0.6 Py = 6 at 0.6 (Ke 10):
    // the curve's own corner.
    YieldCase{"Asce41Hardening", hardening, 1, Asce, CurvePoint{1, 10}},
    // ECCS: K0 = 0.4 x 12 / 0.48 = 10, the tangent of slope 1 touches at the largest v - u:
    // 0, 9, 7: b = 9, uy = 9 / (10 - 1) = 1.
    YieldCase{"EccsHardening", hardening, 1, Eccs, CurvePoint{1, 10}},
    YieldCase{"EccsHardeningNegative", {{0, 0}, {-1, -10}, {-5, -12}}, -1, Eccs,
              CurvePoint{-1, -10}},
    // A rounded knee: K0 = 0.4 x 15.5 / 0.62 = 10; v - u: 9, 12, 11.5: b = 12, uy = 12 / 9,
    // Fy = K0 uy.
    YieldCase{"EccsRoundKnee", roundKnee, 1, Eccs, CurvePoint{4.0 / 3, 40.0 / 3}},
    // Area 5 + 12 + 29.5 = 46.5, Du = 4, Pu = 15.5: Py = (93 - 62) / (4 - 1.55) with Ke 10.
    YieldCase{"Asce41RoundKnee", roundKnee, 1, Asce, CurvePoint{31 / 2.45 / 10, 31 / 2.45}},
    // Softening to the ultimate point (10.6,17) of the bilinear curve of the other tests: area
    // 174.6. 0.6 Py lies on (1,10)-(5,20) at u60 = 0.24 Py - 3 and Pu / Ke = 17 u60 / (0.6 Py):
    // 10.6 Py - 17 (0.24 Py - 3) / 0.6 = 349.2 - 180.2 gives 3.8 Py = 84; Dy = u60 / 0.6 =
    // 0.4 Py - 5. The areas balance with Py a little above Pmax.
    YieldCase{"Asce41Softening", {{0, 0}, {1, 10}, {5, 20}, {9, 20}, {11.4, 15.5}}, 1, Asce,
              CurvePoint{0.4 * 84 / 3.8 - 5, 84 / 3.8}},
    // Stiffening to the peak: the K0 / 10 tangent meets the initial one beyond the peak.
    YieldCase{"EccsStiffening", {{0, 0}, {3, 6}, {4, 12}}, 1, Eccs, nullopt}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(NewYieldMethods, Asce41BalancesTheAreasWhereTheSecantIsCurved) {
    // 0.6 Py lies on the curved part, so Ke and Py are found together.
    const PointList c{{0, 0}, {1, 6}, {2, 10}, {4, 12}, {6, 11}};
    const auto r = tc::skeletonResult(c, 1, Asce);
    ASSERT_TRUE(r.yield);
    const double dy = r.yield->x, py = r.yield->y, du = r.ultimate.x, pu = r.ultimate.y;
    // The secant through the curve's point at 0.6 Py (on (0,0)-(1,6) while 0.6 Py <= 6).
    const double u60 = 0.6 * py <= 6 ? 0.6 * py / 6 : 1 + (0.6 * py - 6) / 4;
    EXPECT_NEAR(py / dy, 0.6 * py / u60, 1e-9);
    // Equal areas up to Du = 6 (never below 85 %): 3 + 8 + 22 + 23 = 56.
    EXPECT_EQ(du, 6);
    EXPECT_NEAR(py * dy / 2 + (py + pu) / 2 * (du - dy), 56, 1e-9);
}

// ---- numbers at the ends of the range ----

TEST(UltimatePoint, StaysFiniteForForcesNearTheLargestDouble) {
    // (target - v) x (u1 - u0) overflowed before the division: Du became infinite. 0.85 Pmax
    // lies 0.15 of the way down (1e10,1.7e308)-(3e10,0): Du = 1.3e10.
    const PointList c{{0, 0}, {1e10, 1.7e308}, {3e10, 0}};
    for (int m = 0; m < tc::kYieldMethodCount; ++m) {
        const auto r = tc::skeletonResult(c, 1, static_cast<tc::YieldMethod>(m));
        ASSERT_TRUE(r.valid);
        EXPECT_TRUE(std::isfinite(r.ultimate.x) && std::isfinite(r.ultimate.y)) << m;
        EXPECT_NEAR(r.ultimate.x / 1.3e10, 1, 1e-12);
        EXPECT_NEAR(r.ultimate.y / (0.85 * 1.7e308), 1, 1e-12);
        if (r.yield) {
            EXPECT_TRUE(std::isfinite(r.yield->x) && std::isfinite(r.yield->y)) << m;
        }
        EXPECT_TRUE(std::isfinite(r.ductility.value_or(0))) << m;
        EXPECT_TRUE(std::isfinite(r.initialStiffness.value_or(0))) << m;
    }
    // The same through a record: nothing that is not finite reaches a table.
    const auto a = tc::analyzeLoops({0, 1e10, 0, -1e10, 0, 3e10, 0, -3e10, 0},
                                    {0, 1.7e308, 0, -1.7e308, 0, 0, 0, 0, 0});
    tc::ResultSettings s;
    s.method = tc::YieldMethod::Eeep;
    for (const auto& t : tc::resultTables(tc::engineeringResults(a, a.loopCount, {}, s)))
        for (const auto& row : t.rows)
            for (const auto& cell : row)
                if (cell.number) {
                    EXPECT_TRUE(std::isfinite(*cell.number)) << t.name << " " << row[0].text;
                }
    EXPECT_EQ(tc::ResultCell::of(std::numeric_limits<double>::infinity()).text, "--");
    EXPECT_EQ(tc::ResultCell::of(std::nan("")).text, "--");
}

// ---- open loops, energy, residual displacements ----

// Elastic-perfectly-plastic spring, k = 10, Fy = 10, cycled twice to +-2 (loop energies 35 and
// 40), then an unfinished third loop.
const D eppDisp{0, 1, 2, 0, -2, 0, 2, 0, -2, 0};
const D eppForce{0, 10, 10, -10, -10, 10, 10, -10, -10, 10};

struct OpenCase {
    const char* name;
    D tailDisp, tailForce; // appended to the two closed loops
    bool secondHalf;       // the open loop reaches its middle crossing and beyond
    double recordEnergy;
    OptD residual1;
};

class OpenLoop : public ::testing::TestWithParam<OpenCase> {};

TEST_P(OpenLoop, NoEnergyButInTheRecordTotal) {
    const auto& c = GetParam();
    D d = eppDisp, f = eppForce;
    d.insert(d.end(), c.tailDisp.begin(), c.tailDisp.end());
    f.insert(f.end(), c.tailForce.begin(), c.tailForce.end());
    const auto a = tc::analyzeLoops(d, f);
    const auto r = tc::engineeringResults(a, a.loopCount, {}, {});
    ASSERT_EQ(r.loops.size(), 3u);
    const auto& open = r.loops[2];
    EXPECT_TRUE(open.open);
    EXPECT_FALSE(r.loops[0].open || r.loops[1].open);
    EXPECT_EQ(open.hasSecondHalf, c.secondHalf);
    EXPECT_EQ(open.energy, nullopt);
    EXPECT_EQ(open.damping, nullopt);
    EXPECT_EQ(open.level, 0);
    EXPECT_EQ(open.degradation, nullopt);
    expectNear(open.residual1, c.residual1, "residual 1");
    EXPECT_EQ(open.cumulativeEnergy, 75);
    EXPECT_EQ(r.closedLoops, 2);
    EXPECT_EQ(r.closedLoopEnergy, 75);
    EXPECT_EQ(r.recordEnergy, c.recordEnergy);
    EXPECT_EQ(r.levels.size(), 1u);
    EXPECT_EQ(r.levels[0].loops, 2);
    const auto rows = tc::loopTable(r.loops).rows;
    EXPECT_EQ(rows[2][5].text, "--");
    EXPECT_EQ(rows[2][13].text, "open");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Records, OpenLoop, ::testing::Values(
    // Up to (2,10) and back to (1,0): no middle crossing. 75 + 10 + 10 - 5.
    OpenCase{"InTheFirstHalf", {1, 2, 1}, {10, 10, 0}, false, 90, nullopt},
    // Over (2,10) to the crossing (0,-10) and on to (-1,-10): 75 + 20 + 0 + 10. The force passes
    // zero at displacement 1 on the way back from (2,10).
    OpenCase{"InTheSecondHalf", {2, 0, -1}, {10, -10, -10}, true, 105, 1.0}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(ResidualDisplacement, WhereTheForcePassesZeroOnUnloading) {
    for (const double shift : {0.0, -0.5}) {
        D d = eppDisp;
        for (double& x : d)
            x += shift;
        const auto a = tc::analyzeLoops(d, eppForce);
        const auto r = tc::loopResults(a, a.loopCount);
        ASSERT_EQ(r.size(), 2u);
        // (2,10) -> (0,-10) passes zero force at 1; (-2,-10) -> (0,10) at -1; as recorded.
        for (const auto& l : r) {
            expectNear(l.residual1, 1 + shift, "residual 1");
            expectNear(l.residual2, -1 + shift, "residual 2");
        }
    }
    // Elastic: zero force on the reference itself; a force that keeps its sign to the
    // crossing has none; a point of zero force is taken as it is.
    const auto e = tc::loopResults(tc::analyzeLoops({0, 2, 0, -2, 0}, {0, 10, 0, -10, 0}), 1);
    expectNear(e[0].residual1, 0.0, "elastic");
    const auto p =
        tc::loopResults(tc::analyzeLoops({0, 2, 1, 0, -2, -1, 0}, {0, 10, 0, 5, -10, -3, -1}), 1);
    expectNear(p[0].residual1, 1.0, "on a point");
    expectNear(p[0].residual2, nullopt, "keeps its sign");
}

TEST(CurveEnergy, PlainIntegralWithoutClosingChord) {
    // (0,0) (2,0) (2,2): the chord back would add -2; the path alone encloses nothing.
    EXPECT_EQ(tc::curveEnergy({0, 2, 2}, {0, 0, 2}), 0);
    EXPECT_EQ(tc::curveEnergy({0, 2, 4}, {1, 1, 3}), 2 + 4);
    EXPECT_EQ(tc::curveEnergy({0}, {1}), 0);
    EXPECT_EQ(tc::curveEnergy({}, {}), 0);
}

// ---- warnings ----

struct WarningCase {
    const char* name;
    D disp, force;
    tc::LoopDirection direction;
    tc::SkeletonRule extraction; // None: no extraction yet
    Strings warnings;
};

class Warnings : public ::testing::TestWithParam<WarningCase> {};

TEST_P(Warnings, Texts) {
    const auto& c = GetParam();
    const auto a = tc::analyzeLoops(c.disp, c.force);
    const auto chart = tc::extractSkeleton(a, a.loopCount, {c.extraction, false, c.direction});
    tc::ResultSettings s;
    s.direction = c.direction;
    EXPECT_EQ(tc::engineeringResults(a, a.loopCount, chart, s).warnings, c.warnings);
}

// Triangles of growing amplitude with the first half of every loop negative.
const D negFirst{0, -1, 0, 1, 0, -2, 0, 2, 0, -3, 0, 3, 0};
const D negFirstForce{0, -10, 0, 10, 0, -18, 0, 18, 0, -20, 0, 20, 0};

D manyTimes(const D& cycle, int n) {
    D out{0};
    for (int i = 0; i < n; ++i)
        out.insert(out.end(), cycle.begin(), cycle.end());
    return out;
}

// 150 loops of +-0.01 before one of +-10: shorter than 1 % of the range 20.
D jitterThenCycle(bool force) {
    D out = manyTimes(force ? D{0.1, 0, -0.1, 0} : D{0.01, 0, -0.01, 0}, 150);
    const D last = force ? D{100, 0, -100, 0} : D{10, 0, -10, 0};
    out.insert(out.end(), last.begin(), last.end());
    return out;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Records, Warnings, ::testing::Values(
    WarningCase{"LoopDirectionRight", negFirst, negFirstForce, tc::LoopDirection::Negative,
                tc::SkeletonRule::EnvelopeToForcePeak, {}},
    // Under "Positive" the first halves feed the positive curve, the envelope rule keeps only
    // points further out: each curve holds its origin alone, and so does each envelope.
    WarningCase{"LoopDirectionWrong", negFirst, negFirstForce, tc::LoopDirection::Positive,
                tc::SkeletonRule::EnvelopeToForcePeak,
                {"The first half-cycles go negative: set Loop Direction to Negative",
                 "The positive skeleton curve has only 1 point: check Loop Direction and the dead band",
                 "The negative skeleton curve has only 1 point: check Loop Direction and the dead band",
                 "The positive first-cycle envelope has only 1 point: check Loop Direction and the dead band",
                 "The negative first-cycle envelope has only 1 point: check Loop Direction and the dead band"}},
    WarningCase{"LoopDirectionWrongNoExtraction", negFirst, negFirstForce,
                tc::LoopDirection::Positive, tc::SkeletonRule::None,
                {"The first half-cycles go negative: set Loop Direction to Negative",
                 "The positive first-cycle envelope has only 1 point: check Loop Direction and the dead band",
                 "The negative first-cycle envelope has only 1 point: check Loop Direction and the dead band"}},
    WarningCase{"FirstHalvesPositiveUnderNegative", {0, 1, 0, -1, 0, 2, 0, -2, 0, 3, 0, -3, 0},
                negFirstForce, tc::LoopDirection::Negative, tc::SkeletonRule::None,
                {"The first half-cycles go positive: set Loop Direction to Positive",
                 "The positive first-cycle envelope has only 1 point: check Loop Direction and the dead band",
                 "The negative first-cycle envelope has only 1 point: check Loop Direction and the dead band"}},
    // One amplitude level: each envelope has the origin and one peak.
    WarningCase{"OneLevel", manyTimes({2, 0, -2, 0}, 3), manyTimes({10, 0, -10, 0}, 3),
                tc::LoopDirection::Positive, tc::SkeletonRule::ForcePeak,
                {"The positive first-cycle envelope has only 2 points: check Loop Direction and the dead band",
                 "The negative first-cycle envelope has only 2 points: check Loop Direction and the dead band"}},
    WarningCase{"Jitter", jitterThenCycle(false), jitterThenCycle(true),
                tc::LoopDirection::Positive, tc::SkeletonRule::None,
                {"150 loops are shorter than 1 % of the displacement range. Set a dead band in "
                 "Options \u2192 Analysis Options"}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(Warnings, ManyLoopsPerLevelOnlyWithShortLoops) {
    // Ten equal cycles at each of two levels: a protocol, not jitter.
    D d = manyTimes({2, 0, -2, 0}, 10), f = manyTimes({10, 0, -10, 0}, 10);
    const D big = manyTimes({4, 0, -4, 0}, 10), bigF = manyTimes({16, 0, -16, 0}, 10);
    d.insert(d.end(), big.begin() + 1, big.end());
    f.insert(f.end(), bigF.begin() + 1, bigF.end());
    auto a = tc::analyzeLoops(d, f);
    ASSERT_EQ(a.loopCount, 20);
    EXPECT_TRUE(tc::engineeringResults(a, a.loopCount, {}, {}).warnings.empty());
    // Three short loops after them: 23 loops for 3 levels.
    for (int i = 0; i < 3; ++i) {
        d.insert(d.end(), {0.01, 0, -0.01, 0});
        f.insert(f.end(), {0.1, 0, -0.1, 0});
    }
    a = tc::analyzeLoops(d, f);
    EXPECT_EQ(tc::engineeringResults(a, a.loopCount, {}, {}).warnings,
              Strings{"23 loops for 3 amplitude levels. Set a dead band in Options \u2192 "
                      "Analysis Options"});
}

TEST(Warnings, FirstHalfSide) {
    EXPECT_EQ(tc::firstHalfSide(tc::analyzeLoops(negFirst, negFirstForce), 3), -1);
    EXPECT_EQ(tc::firstHalfSide(tc::LoopAnalysis{}, 3), 0);
    // One loop each way: no majority.
    EXPECT_EQ(tc::firstHalfSide(tc::analyzeLoops({0, 1, 0, -1, 0, -1, 0, 1, 0}, D(9, 0)), 2), 0);
}

// ---- the dead band suggestion ----

struct BandCase {
    const char* name;
    D disp;
    double band, jitter;
    int jitterCount, loops, loopsWithout;
};

class DeadBandSuggestions : public ::testing::TestWithParam<BandCase> {};

TEST_P(DeadBandSuggestions, FromTheJitterAroundTheReference) {
    const auto& c = GetParam();
    const D force(c.disp.size(), 1.0);
    const auto s = tc::suggestDeadBand(c.disp, force);
    EXPECT_DOUBLE_EQ(s.band, c.band);
    EXPECT_DOUBLE_EQ(s.jitter, c.jitter);
    EXPECT_EQ(s.jitterCount, c.jitterCount);
    EXPECT_EQ(s.loops, c.loops);
    EXPECT_EQ(s.loopsWithout, c.loopsWithout);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Records, DeadBandSuggestions, ::testing::Values(
    // Jitter excursions 0.01, 0.01, 0.01, 0.005 and, at the end, 0.004; cycles of depth 1 and
    // 2: the jump from 0.01 to 1 is a factor of 100, the band 2 x 0.01. Without it the jitter
    // makes 4 loops; with it the two cycles are 2 (the jitter at the end follows the last
    // crossing).
    BandCase{"Jitter",
             {0, 0.01, -0.01, 0.01, -0.005, 0, 0.5, 1, 0.5, 0, -1, 0, 2, 0, -2, 0, 0.004, 0},
             0.02, 0.01, 5, 2, 4},
    // Cycles of 1, 2 and 4: the depths grow by 2 at most, no jitter.
    BandCase{"Clean", {0, 1, 0, -1, 0, 2, 0, -2, 0, 4, 0, -4, 0}, 0, 0, 0, 3, 3},
    // Wiggles of 0.3 below cycles of 1 jump by more than 4, but 0.3 is 15 % of the range 2:
    // part of the protocol, no jitter.
    BandCase{"DeepWiggles", {0, 0.3, 0, -0.3, 0, 0.3, 0, 1, 0, -1, 0}, 0, 0, 0, 2, 2},
    BandCase{"TooShort", {0, 1}, 0, 0, 0, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// ---- the display ----

TEST(Display, RoundedToSignificantDigits) {
    using tc::cellText;
    using tc::ResultCell;
    EXPECT_EQ(cellText(ResultCell::of(0.0762762919425299), '.', 6), "0.0762763");
    EXPECT_EQ(cellText(ResultCell::of(0.0762762919425299), '.', 4), "0.07628");
    EXPECT_EQ(cellText(ResultCell::of(0.0762762919425299), '.', 15), "0.0762762919425299");
    EXPECT_EQ(cellText(ResultCell::of(0.0762762919425299), ','), "0,0762762919425299");
    EXPECT_EQ(cellText(ResultCell::of(123456789), '.', 6), "123457000");
    EXPECT_EQ(cellText(ResultCell::of(-1.23456789e-7), ',', 6), "-1,23457E-7");
    EXPECT_EQ(cellText(ResultCell::of(2), '.', 6), "2");
    EXPECT_EQ(cellText(ResultCell::of(0.999999949), '.', 6), "1");
    EXPECT_EQ(cellText(ResultCell::label("open"), '.', 6), "open");
    EXPECT_EQ(tc::roundToSignificant(0, 6), 0);
    EXPECT_EQ(tc::roundToSignificant(1.25, 2), 1.2); // ties to even, as the files' rule
}

} // namespace
