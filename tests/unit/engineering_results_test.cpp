#include "results/engineering_results.h"
#include "skeleton/skeleton_extraction.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>
#include <ostream>
#include <random>

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
constexpr double pi = std::numbers::pi;
constexpr double eps = 1e-12;
const auto name = [](const auto& info) { return std::string(info.param.name); };

void expectNear(const OptD& got, const OptD& want, const char* what) {
    ASSERT_EQ(got.has_value(), want.has_value()) << what;
    if (want) {
        EXPECT_NEAR(*got, *want, eps) << what;
    }
}

void expectNear(const OptP& got, const OptP& want, const char* what) {
    ASSERT_EQ(got.has_value(), want.has_value()) << what;
    if (!want) return;
    EXPECT_NEAR(got->x, want->x, eps) << what;
    EXPECT_NEAR(got->y, want->y, eps) << what;
}

// ---- loop energy and the per-loop formulas ----

struct EnergyCase {
    const char* name;
    D d, f;
    int from, to;
    double energy;
};

class LoopEnergy : public ::testing::TestWithParam<EnergyCase> {};

TEST_P(LoopEnergy, EnclosedArea) {
    const auto& c = GetParam();
    EXPECT_EQ(tc::loopEnergy(c.d, c.f, c.from, c.to), c.energy);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Polygons, LoopEnergy, ::testing::Values(
    // Unit square (0,0) (0,1) (1,1) (1,0), clockwise in (d, f): only the top edge moves in d.
    EnergyCase{"ClockwiseSquare", {0, 0, 1, 1}, {0, 1, 1, 0}, 0, 3, 1},
    EnergyCase{"CounterClockwiseSquare", {0, 1, 1, 0}, {0, 0, 1, 1}, 0, 3, -1},
    // (0,0) (2,0) (2,2) left open: the edges give 0, the chord back gives (2 + 0)/2 x (0 - 2).
    EnergyCase{"ClosingChordCounts", {0, 2, 2}, {0, 0, 2}, 0, 2, -2},
    // The square inside a longer curve: points outside from..to are ignored.
    EnergyCase{"SubRange", {9, 0, 0, 1, 1, 9}, {9, 0, 1, 1, 0, 9}, 1, 4, 1},
    EnergyCase{"ToBeyondEnd", {0, 0, 1, 1}, {0, 1, 1, 0}, 0, 4, 0},
    EnergyCase{"FromAfterTo", {0, 0, 1, 1}, {0, 1, 1, 0}, 3, 0, 0},
    EnergyCase{"ForceShorterThanDisp", {0, 0, 1, 1}, {0, 1, 1}, 0, 3, 0}), name);
// clang-format on

TEST(LoopEnergy, AnElasticLoopEnclosesNothing) {
    // Out and back along f = 7.3 d / 3: the rounded forces lie off the line by a unit in their
    // last digit, which is no dissipated energy.
    const D d{0, 0.1, 0.7, 0.3, 0, -0.3, -0.7, -0.1, 0};
    D f;
    for (double x : d)
        f.push_back(x / 3.0 * 7.3);
    EXPECT_EQ(tc::loopEnergy(d, f, 0, 8), 0.0);
}

TEST(LoopEnergy, SmallAreasBesideLargeOnesAreKept) {
    if (sizeof(long double) <= sizeof(double)) GTEST_SKIP() << "no extended precision";
    // (0,0) -> (1,2e16): +1e16; down to (1,1); n unit steps along f = 1: +1 each; up to
    // (n+1,2e16); back to (n,0): -1e16. Area n. A double sum loses every +1 next to 1e16.
    const int n = 1000;
    D d{0, 1}, f{0, 2e16};
    for (int i = 1; i <= n + 1; ++i) {
        d.push_back(i);
        f.push_back(1);
    }
    d.insert(d.end(), {n + 1.0, static_cast<double>(n)});
    f.insert(f.end(), {2e16, 0});
    EXPECT_EQ(tc::loopEnergy(d, f, 0, static_cast<int>(d.size()) - 1), n);
}

TEST(LoopFormulas, DampingAndStiffnessGuards) {
    // 40 / (2 pi (10 x 2 / 2 + 10 x 2 / 2)) = 1 / pi.
    expectNear(tc::equivalentDamping(40, 2, 10, -2, -10), 1 / pi, "damping");
    // No strain energy, a peak force against its displacement, an underflow: none.
    expectNear(tc::equivalentDamping(40, 0, 0, 0, 0), nullopt, "zero");
    expectNear(tc::equivalentDamping(40, 2, -10, -2, 5), nullopt, "negative");
    expectNear(tc::equivalentDamping(40, 1e-300, 1e-300, 0, 0), nullopt, "underflow");
    // (|10| + |-6|) / (|2| + |-2|) = 4.
    expectNear(tc::peakToPeakStiffness(2, 10, -2, -6), 4.0, "stiffness");
    expectNear(tc::peakToPeakStiffness(0, 10, 0, -10), nullopt, "no displacement");
    expectNear(tc::peakToPeakStiffness(1e-300, 1e300, 0, 1e300), nullopt, "overflow");
}

// ---- per-loop table from analysed records ----

// Elastic-perfectly-plastic spring, k = 10, Fy = 10, cycled twice to +-2 from the origin:
// virgin loading (0,0) (1,10) (2,10), then the parallelogram (2,10) (0,-10) (-2,-10) (0,10).
// Crossings at points 0, 3, 5, 7, 9.
const D eppDisp{0, 1, 2, 0, -2, 0, 2, 0, -2, 0};
const D eppForce{0, 10, 10, -10, -10, 10, 10, -10, -10, 10};

TEST(LoopResults, ElasticPerfectlyPlasticLoops) {
    // Shifted by -0.5 the peaks are reported as recorded, but damping and stiffness see the
    // distance from the reference, 2 and -2, and do not change.
    for (const double shift : {0.0, -0.5}) {
        D disp = eppDisp;
        for (double& x : disp)
            x += shift;
        const auto a = tc::analyzeLoops(disp, eppForce);
        const auto r = tc::loopResults(a, a.loopCount);
        ASSERT_EQ(r.size(), 2u);
        // Loop 1: 5 (virgin rise) + 10 (plateau) + 0 + 20 (negative plateau) + 0 = 35.
        // Loop 2: the parallelogram, base 2 x height 20 = 40.
        EXPECT_EQ(r[0].energy, 35);
        EXPECT_EQ(r[1].energy, 40);
        EXPECT_EQ(r[1].cumulativeEnergy, 75);
        // he = E / (2 pi (10 x 2 / 2 + 10 x 2 / 2)) = E / (40 pi); loop 2 gives 1 / pi, the
        // textbook 2/pi (1 - 1/mu) of a perfectly plastic loop at ductility 2.
        expectNear(r[0].damping, 35 / (40 * pi), "damping 1");
        expectNear(r[1].damping, 1 / pi, "damping 2");
        for (const auto& l : r) {
            EXPECT_EQ(l.d1, 2 + shift);
            EXPECT_EQ(l.f1, 10);
            EXPECT_EQ(l.d2, -2 + shift);
            EXPECT_EQ(l.f2, -10);
            expectNear(l.secantStiffness, 5.0, "stiffness"); // (10 + 10) / (2 + 2)
            EXPECT_EQ(l.level, 1);
            expectNear(l.degradation, 1.0, "degradation");
        }
    }
}

TEST(LoopResults, LoopsLackingHalvesHaveNoDerivedValues) {
    // {0, 5, 0}: one loop ending on its middle crossing, without a second half: open.
    const auto a = tc::analyzeLoops({0, 5, 0}, {0, 10, -2});
    // Loop 2 of {0,2,0,-2,0,3,1} never reaches its middle: (0,0) (3,12) (1,2), open; the
    // cumulative energy stays at loop 1's 0.
    const auto b = tc::analyzeLoops({0, 2, 0, -2, 0, 3, 1}, {0, 10, 0, -10, 0, 12, 2});
    const auto r = tc::loopResults(a, a.loopCount);
    const auto s = tc::loopResults(b, b.loopCount);
    ASSERT_EQ(r.size(), 1u);
    ASSERT_EQ(s.size(), 2u);
    EXPECT_TRUE(r[0].hasFirstHalf && !r[0].hasSecondHalf);
    EXPECT_EQ(r[0].d1, 5);
    EXPECT_FALSE(s[1].hasFirstHalf || s[1].hasSecondHalf);
    EXPECT_EQ(s[1].cumulativeEnergy, 0);
    EXPECT_EQ(s[0].level, 1);
    EXPECT_FALSE(s[0].open);
    for (const auto* l : {&r[0], &s[1]}) {
        EXPECT_TRUE(l->open);
        EXPECT_EQ(l->energy, nullopt);
        EXPECT_EQ(l->damping, nullopt);
        EXPECT_EQ(l->secantStiffness, nullopt);
        EXPECT_EQ(l->level, 0);
        EXPECT_EQ(l->degradation, nullopt);
    }
}

TEST(LoopResults, LoopCountAndInconsistentInputStayInside) {
    const auto a = tc::analyzeLoops(eppDisp, eppForce);
    EXPECT_TRUE(tc::loopResults(a, 0).empty());
    EXPECT_TRUE(tc::loopResults(a, -3).empty());
    EXPECT_TRUE(tc::loopResults(tc::LoopAnalysis{}, 5).empty());
    EXPECT_EQ(tc::loopResults(a, 1).size(), 1u);
    // More entries than the analysis holds: only loops with a start crossing.
    const auto more = tc::loopResults(a, 100);
    ASSERT_LE(more.size(), (a.crossIndex.size() + 1) / 2);
    EXPECT_EQ(more[1].energy, 40);
    // Crossings beyond the curve and peak lists of unequal length.
    tc::LoopAnalysis bad = a;
    bad.crossIndex = {0, 3, 50, 60, 70};
    bad.maxDispForce1.resize(1);
    bad.peakIndex2.clear();
    const auto r = tc::loopResults(bad, 3);
    ASSERT_EQ(r.size(), 1u); // loop 2 would start at point 50 of 10
    EXPECT_TRUE(r[0].hasFirstHalf && !r[0].hasSecondHalf);
}

// ---- amplitude levels ----

// One elastic triangle per loop: 0 -> (a, fa) -> 0 -> (b, fb) -> 0.
struct Amp {
    double a, fa, b, fb;
};

tc::LoopAnalysis triangles(const std::vector<Amp>& loops) {
    D d{0}, f{0};
    for (const auto& l : loops) {
        d.insert(d.end(), {l.a, 0, l.b, 0});
        f.insert(f.end(), {l.fa, 0, l.fb, 0});
    }
    return tc::analyzeLoops(d, f);
}

struct LevelCase {
    const char* name;
    std::vector<Amp> loops;
    double tol;
    std::vector<int> levels;
    std::vector<OptD> degradation;
};

class Levels : public ::testing::TestWithParam<LevelCase> {};

TEST_P(Levels, LevelAndDegradation) {
    const auto& c = GetParam();
    const auto a = triangles(c.loops);
    const auto r = tc::loopResults(a, a.loopCount, c.tol);
    ASSERT_EQ(r.size(), c.levels.size());
    for (size_t i = 0; i < r.size(); ++i) {
        EXPECT_EQ(r[i].level, c.levels[i]) << "loop " << i + 1;
        expectNear(r[i].degradation, c.degradation[i], "degradation");
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Protocols, Levels, ::testing::Values(
    // tol 0.125 of 2 is 0.25 (exact in binary): 2.25 and -1.75 lie on the edge and join.
    // Level 1 leader (2,10)/(-2,-10): 18/20 = 0.9, 16/20, 14/20. Loop 4 (+-4) leads level 2;
    // loop 5 returns to level 1; loop 6 (2.5: 0.5 > 0.25) leads level 3; loop 7's -4.5 is
    // 0.5 = 0.125 x 4 from level 2: 24/32; loop 8 matches level 1 in D1 only: level 4.
    LevelCase{"ThreeAtOneLevel",
              {{2, 10, -2, -10}, {2.25, 9, -1.75, -9}, {2, 8, -2, -8}, {4, 16, -4, -16},
               {2, 7, -2, -7}, {2.5, 10, -2, -10}, {4, 12, -4.5, -12}, {2, 10, -4, -10}},
              0.125, {1, 1, 1, 2, 1, 3, 2, 4}, {1, 0.9, 0.8, 1, 0.7, 1, 0.75, 1}},
    // tol 0.5: 3.5 is 1.5 > 1 from 2: level 2. 2.8 is within reach of both 2 (0.8 <= 1) and
    // 3.5 (0.7 <= 1.75) and joins the more recent level 2: (9 + 9) / (12 + 12).
    LevelCase{"MostRecentLevelWins", {{2, 10, -2, -10}, {3.5, 12, -3.5, -12}, {2.8, 9, -2.8, -9}},
              0.5, {1, 2, 2}, {1, 1, 0.75}},
    // A negative tolerance acts as its magnitude; tolerance 0 needs equal displacements.
    LevelCase{"NegativeTolerance", {{2, 10, -2, -10}, {2.25, 5, -2, -5}}, -0.125, {1, 1}, {1, 0.5}},
    LevelCase{"ZeroTolerance", {{2, 10, -2, -10}, {2, 5, -2, -5}, {2.25, 5, -2, -5}}, 0,
              {1, 1, 2}, {1, 0.5, 1}},
    // A leader without force: no ratio for the whole level.
    LevelCase{"ZeroForceLeader", {{2, 0, -2, 0}, {2, 5, -2, -5}}, 0.05, {1, 1},
              {nullopt, nullopt}}),
    name);
// clang-format on

TEST(Levels, ManyLoopsAgreeWithBackwardScan) {
    // Amplitudes over three decades, half of them repeating an earlier one exactly or at the
    // tolerance's edge; levels compared with a plain backward scan over the leaders.
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> expo(-3, 0), unit(0, 1);
    for (const double tol : {0.0, 0.05, 0.3, 0.89, 0.95, 2.0}) {
        std::vector<Amp> loops;
        for (int i = 0; i < 3000; ++i) {
            double a = std::pow(10.0, expo(rng)), b = -std::pow(10.0, expo(rng));
            if (i > 0 && unit(rng) < 0.5) {
                const Amp& e = loops[rng() % loops.size()];
                const double k = unit(rng) < 0.5 ? 1 : 1 + tol * (unit(rng) < 0.5 ? 1 : -1);
                a = e.a * k;
                b = e.b * (unit(rng) < 0.5 ? 1 : k);
            }
            loops.push_back({a, 1 + unit(rng), b, -1 - unit(rng)});
        }
        const auto an = triangles(loops);
        const auto r = tc::loopResults(an, an.loopCount, tol);
        ASSERT_EQ(r.size(), loops.size());
        std::vector<const tc::LoopResult*> leaders;
        for (const auto& l : r) {
            int want = 0;
            for (size_t i = leaders.size(); i-- > 0 && want == 0;)
                if (std::fabs(l.d1 - leaders[i]->d1) <= tol * std::fabs(leaders[i]->d1) &&
                    std::fabs(l.d2 - leaders[i]->d2) <= tol * std::fabs(leaders[i]->d2))
                    want = static_cast<int>(i) + 1;
            if (want == 0) {
                leaders.push_back(&l);
                want = static_cast<int>(leaders.size());
            }
            ASSERT_EQ(l.level, want) << "tol " << tol << ", loop " << l.loop;
        }
    }
}

// ---- skeleton ----

// Bilinear rise, plateau and falling branch: (0,0) (1,10) (5,20) (9,20) (11.4,15.5).
// K0 = 10. Pmax = 20 at (5,20), the earlier of the two. 0.85 Pmax = 17 is passed on
// (9,20)-(11.4,15.5) at 9 + (17 - 20) x 2.4 / (15.5 - 20) = 10.6: ultimate (10.6,17), reached.
const PointList bilinear{{0, 0}, {1, 10}, {5, 20}, {9, 20}, {11.4, 15.5}};

PointList mirrored(const PointList& c, CurvePoint o) {
    PointList m;
    for (const auto& p : c)
        m.push_back({o.x - p.x, o.y - p.y});
    return m;
}

struct SkelCase {
    const char* name;
    PointList curve;
    int sign;
    tc::YieldMethod method;
    bool valid;
    CurvePoint peak;
    OptP yield;
    CurvePoint ultimate;
    bool reached;
    OptD ductility, k0;
};

void PrintTo(const SkelCase& c, std::ostream* os) {
    *os << c.name;
}

class Skeleton : public ::testing::TestWithParam<SkelCase> {};

TEST_P(Skeleton, CharacteristicPoints) {
    const auto& c = GetParam();
    const auto r = tc::skeletonResult(c.curve, c.sign, c.method);
    EXPECT_EQ(r.valid, c.valid);
    EXPECT_EQ(r.peak, c.peak);
    expectNear(r.yield, c.yield, "yield");
    expectNear(r.ultimate, c.ultimate, "ultimate");
    EXPECT_EQ(r.ultimateReached, c.reached);
    expectNear(r.ductility, c.ductility, "ductility");
    expectNear(r.initialStiffness, c.k0, "initial stiffness");
    EXPECT_EQ(r.origin, c.curve.empty() ? CurvePoint{} : c.curve[0]);
}

constexpr auto GYM = tc::YieldMethod::GeneralYieldMoment;
constexpr auto EEEP = tc::YieldMethod::Eeep;
constexpr auto Park = tc::YieldMethod::Park;
constexpr auto Far = tc::YieldMethod::FarthestPoint;
const PointList repeated{{0, 0}, {0, 0}, {1, 10}, {1, 10}, {2, 12}, {2, 12}};

// clang-format off
INSTANTIATE_TEST_SUITE_P(Curves, Skeleton, ::testing::Values(
    // Geometric: uA = Pmax / K0 = 2; B = 10 + 1 x 2.5 = 12.5; the secant 12.5 / 2 meets 20 at
    // uC = 3.2; the curve there: 10 + 2.2 x 2.5 = 15.5.
    SkelCase{"GeneralYieldMoment", bilinear, 1, GYM, true,
             {5, 20}, CurvePoint{3.2, 15.5}, {10.6, 17}, true, 10.6 / 3.2, 10.0},
    // EEEP: 0.4 Pmax = 8 at 0.8, Ke = 10. Area to (10.6,17): 5 + 60 + 80 + 18.5 x 1.6 = 174.6;
    // Du^2 - 2A/Ke = 112.36 - 34.92 = 77.44 = 8.8^2; Py = (10.6 - 8.8) x 10 = 18, Dy = 1.8.
    SkelCase{"Eeep", bilinear, 1, EEEP, true,
             {5, 20}, CurvePoint{1.8, 18}, {10.6, 17}, true, 10.6 / 1.8, 10.0},
    // Park: 0.75 Pmax = 15 at 1 + 5 / 2.5 = 3; Dy = 3 / 0.75 = 4; the curve there 10 + 3 x 2.5.
    SkelCase{"Park", bilinear, 1, Park, true,
             {5, 20}, CurvePoint{4, 17.5}, {10.6, 17}, true, 10.6 / 4, 10.0},
    // Only (1,10) lies between origin and peak: 10 x 5 - 1 x 20 = 30 > 0.
    SkelCase{"FarthestPoint", bilinear, 1, Far, true,
             {5, 20}, CurvePoint{1, 10}, {10.6, 17}, true, 10.6, 10.0},
    // The negative curve, mirrored through the origin or through (0.5,1): results mirrored back.
    SkelCase{"NegativeGeneralYieldMoment", mirrored(bilinear, {0, 0}), -1, GYM, true,
             {-5, -20}, CurvePoint{-3.2, -15.5}, {-10.6, -17}, true, 10.6 / 3.2, 10.0},
    SkelCase{"NegativeOffsetPark", mirrored(bilinear, {0.5, 1}), -1, Park, true,
             {-4.5, -19}, CurvePoint{-3.5, -16.5}, {-10.1, -16}, true, 10.6 / 4, 10.0},
    // Falls to exactly 0.85 x 20 = 17 at a point: that point. Farthest: 12 x 2 - 1 x 20 = 4.
    SkelCase{"UltimateOnPoint", {{0, 0}, {1, 12}, {2, 20}, {3, 17}, {4, 10}}, 1, Far, true,
             {2, 20}, CurvePoint{1, 12}, {3, 17}, true, 3.0, 12.0},
    // Never softens: the last point, not reached. 0.4 x 12 = 4.8 at 2.4: K0 = 2, uA = 12 / 2 = 6
    // beyond the peak's 4: B = Pmax, secant 2, uC = 6 beyond the peak: no yield point (and no
    // ductility 4 / 6 < 1).
    SkelCase{"NeverSoftensGeneralYieldMoment", {{0, 0}, {3, 6}, {4, 12}}, 1, GYM, true,
             {4, 12}, nullopt, {4, 12}, false, nullopt, 2.0},
    // Stiffening to the peak: 0.75 x 40 = 30 at 10 + 19 / 29, Dy = that / 0.75 > 11: none.
    // 0.4 x 40 = 16 at 10 + 5 / 29: K0 = 16 / (10 + 5 / 29).
    SkelCase{"StiffeningPark", {{0, 0}, {1, 10}, {10, 11}, {11, 40}}, 1, Park, true,
             {11, 40}, nullopt, {11, 40}, false, nullopt, 16 / (10 + 5.0 / 29)},
    // Stiffening: 0.4 x 20 = 8 at 1 + 4/16, K0 = Ke = 6.4; area 2 + 12 = 14; Du^2 = 4 < 2A/Ke =
    // 4.375: Py = 0.85 Pmax = 17, Dy = 17 / 6.4.
    SkelCase{"EeepWithoutRoot", {{0, 0}, {1, 4}, {2, 20}}, 1, EEEP, true,
             {2, 20}, CurvePoint{17 / 6.4, 17}, {2, 20}, false, 2 / (17 / 6.4), 6.4},
    // Farthest: (1,4): 4 x 3 - 1 x 10 = 2; (2,9): 9 x 3 - 2 x 10 = 7.
    SkelCase{"FarthestOfTwo", {{0, 0}, {1, 4}, {2, 9}, {3, 10}}, 1, Far, true,
             {3, 10}, CurvePoint{2, 9}, {3, 10}, false, 1.5, 4.0},
    // (1,6): 6 x 3 - 12 = 6; (2,10): 30 - 24 = 6: the earlier.
    SkelCase{"FarthestTieEarliest", {{0, 0}, {1, 6}, {2, 10}, {3, 12}}, 1, Far, true,
             {3, 12}, CurvePoint{1, 6}, {3, 12}, false, 3.0, 6.0},
    // On the chord only, or nothing between origin and peak: none. The peak at point 1 falls
    // through 8.5 at 1 + 1.5 / 5 = 1.3.
    SkelCase{"FarthestOnChord", {{0, 0}, {1, 4}, {2, 8}}, 1, Far, true,
             {2, 8}, nullopt, {2, 8}, false, nullopt, 4.0},
    SkelCase{"FarthestPeakFirst", {{0, 0}, {1, 10}, {2, 5}}, 1, Far, true,
             {1, 10}, nullopt, {1.3, 8.5}, true, nullopt, 10.0},
    // Repeated points: u1 = 0, yet 0.4 x 12 = 4.8 lies at 0.48: K0 = 10. Geometric: uA = 1.2,
    // B = 10.4, uC = 12 x 1.2 / 10.4 = 18/13, on (1,10)-(2,12): 10 + 2 x 5/13 = 140/13.
    // Park: 0.75 x 12 = 9 at 0.9; Dy = 1.2, on (1,10)-(2,12): 10.4. Pmax at the first (2,12),
    // the last is ultimate.
    SkelCase{"RepeatedPointsGeneralYieldMoment", repeated, 1, GYM, true,
             {2, 12}, CurvePoint{18.0 / 13, 140.0 / 13}, {2, 12}, false, 13.0 / 9, 10.0},
    SkelCase{"RepeatedPointsPark", repeated, 1, Park, true,
             {2, 12}, CurvePoint{1.2, 10.4}, {2, 12}, false, 2 / 1.2, 10.0},
    // A vertical first segment reaches 0.4 x 10 at u = 0: no elastic slope.
    SkelCase{"VerticalStartEeep", {{0, 0}, {0, 5}, {1, 10}}, 1, EEEP, true,
             {1, 10}, nullopt, {1, 10}, false, nullopt, nullopt},
    // Invalid curves: nothing but origin and peak.
    SkelCase{"Empty", {}, 1, EEEP, false, {0, 0}, nullopt, {0, 0}, false, nullopt, nullopt},
    SkelCase{"OnePoint", {{3, 4}}, 1, Park, false,
             {3, 4}, nullopt, {0, 0}, false, nullopt, nullopt},
    SkelCase{"PeakAtOrigin", {{0, 0}, {1, -5}}, 1, GYM, false,
             {0, 0}, nullopt, {0, 0}, false, nullopt, nullopt},
    SkelCase{"PositiveCurveReadAsNegative", bilinear, -1, Park, false,
             {0, 0}, nullopt, {0, 0}, false, nullopt, nullopt},
    SkelCase{"NotANumber", {{0, 0}, {1, NAN}, {2, 5}}, 1, Park, false,
             {2, 5}, nullopt, {0, 0}, false, nullopt, nullopt}),
    name);
// clang-format on

TEST(Skeleton, NoMethodProducesNonFiniteValues) {
    const std::vector<PointList> curves{
        {{0, 0}, {1e-300, 1e300}, {2, 1e300}},
        {{0, 0}, {1e-310, 1}, {1e-305, 2}, {1, 0}},
        {{0, 0}, {1e300, 1e300}, {-1e300, 1e300}},
        // Park's Dy = 0.6e308 / 0.75 and the geometric uC = 1e308 lie beyond the largest double
        // once the origin's 1e308 is added back.
        {{1e308, 0}, {1.5e308, 10}, {1.7e308, 20}},
    };
    for (const auto& c : curves)
        for (const auto m : {GYM, EEEP, Park, Far}) {
            const auto r = tc::skeletonResult(c, 1, m);
            if (r.yield) {
                EXPECT_TRUE(std::isfinite(r.yield->x) && std::isfinite(r.yield->y));
            }
            EXPECT_TRUE(std::isfinite(r.ductility.value_or(0)));
            EXPECT_TRUE(std::isfinite(r.initialStiffness.value_or(0)));
            EXPECT_TRUE(std::isfinite(r.ultimate.x) && std::isfinite(r.ultimate.y));
        }
}

TEST(Skeleton, FromAnalysedRecord) {
    // Elastic triangles whose force peaks trace the bilinear curve on both sides; the force-peak
    // rule picks (1,10) (5,20) (9,20) (11.4,15.5) and their mirror images.
    const D disp{0, 1, 0, -1, 0, 5, 0, -5, 0, 9, 0, -9, 0, 11.4, 0, -11.4, 0};
    const D force{0, 10, 0, -10, 0, 20, 0, -20, 0, 20, 0, -20, 0, 15.5, 0, -15.5, 0};
    const auto a = tc::analyzeLoops(disp, force);
    const auto c = tc::extractSkeleton(a, a.loopCount, {});
    ASSERT_EQ(c.positive, bilinear);
    const auto neg = tc::skeletonResult(c.negative, -1, GYM);
    expectNear(tc::skeletonResult(c.positive, 1, GYM).yield, CurvePoint{3.2, 15.5}, "yield +");
    expectNear(neg.yield, CurvePoint{-3.2, -15.5}, "yield -");
    expectNear(neg.ultimate, CurvePoint{-10.6, -17}, "ultimate -");
    // Elastic loops dissipate nothing; one level per amplitude (11.4 is 27 % beyond 9).
    const auto r = tc::loopResults(a, a.loopCount);
    ASSERT_EQ(r.size(), 4u);
    for (size_t i = 0; i < r.size(); ++i) {
        EXPECT_EQ(r[i].energy, 0);
        expectNear(r[i].damping, 0.0, "damping");
        EXPECT_EQ(r[i].level, static_cast<int>(i) + 1);
    }
    expectNear(r[2].secantStiffness, 20.0 / 9, "stiffness");
}

} // namespace
