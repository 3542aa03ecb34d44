#include "common/text_number.h"
#include "skeleton/region_filter.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>

namespace {

using tc::PointList;
using X = std::vector<double>;

// A curve with the given displacements; the force is the index, so that it shows which point
// survived.
PointList curve(const X& xs) {
    PointList c;
    for (size_t i = 0; i < xs.size(); ++i)
        c.push_back({xs[i], static_cast<double>(i)});
    return c;
}

X xs(const PointList& c) {
    X v;
    for (const auto& p : c)
        v.push_back(p.x);
    return v;
}

struct Case {
    const char* name;
    double end1, end2, tol;
    X in, out;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class RegionFilter : public ::testing::TestWithParam<Case> {};

// The same range thins the positive curve and, mirrored, the negative curve.
TEST_P(RegionFilter, ThinsInsideTheOpenRange) {
    const Case& c = GetParam();
    X negIn, negOut;
    for (double v : c.in)
        negIn.push_back(-v);
    for (double v : c.out)
        negOut.push_back(-v);
    const auto pos = tc::filterSkeletonRegion(c.end1, c.end2, c.tol, curve(c.in), curve({0, 1}));
    EXPECT_EQ(xs(pos.positive), c.out);
    const auto neg = tc::filterSkeletonRegion(-c.end1, -c.end2, c.tol, curve({0}), curve(negIn));
    EXPECT_EQ(xs(neg.negative), negOut);
}

const X worked{0, 0.5, 1.0, 1.5, 2.2, 2.5, 3.4, 5};

INSTANTIATE_TEST_SUITE_P(
    Cases, RegionFilter,
    ::testing::Values(
        Case{"WorkedExample", 0.8, 4, 1, worked, {0, 0.5, 2.2, 3.4, 5}},
        Case{"EndsSwapped", 4, 0.8, 1, worked, {0, 0.5, 2.2, 3.4, 5}},
        Case{"NegativeTolerance", 0.8, 4, -1, worked, {0, 0.5, 2.2, 3.4, 5}},
        Case{"EmptyRange", 0, 0, 1, worked, worked},
        Case{"ZeroToleranceDropsOnlyEqualX", 0, 10, 0, {0, 1, 1, 2, 2, 2, 3}, {0, 1, 2, 3}},
        Case{"PointsAtTheEndsAreKept", 1, 2, 5, {0, 1, 1.5, 2, 2.5}, {0, 1, 2, 2.5}},
        Case{"FirstPointKeptInsideRange", 0, 10, 1, {5, 5.5, 6.5, 7}, {5, 6.5}},
        // Kept inside points are spaced from the last kept point, also across the range start.
        Case{
            "ReferenceIsLastKeptPoint", 1, 10, 1, {0, 1.5, 2.0, 2.6, 3.0, 3.7}, {0, 1.5, 2.6, 3.7}},
        // Close points outside the range stay; the one inside is too close to the last kept point.
        Case{"OutsideKeptInsideDropped",
             2,
             3,
             100,
             {0, 0.1, 0.2, 5, 4.9, 2.5, 1},
             {0, 0.1, 0.2, 5, 4.9, 1}},
        Case{"SinglePoint", 0, 10, 1, {5}, {5}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RegionFilter, EmptyPositiveCurveLeavesTheNegativeOneUnfiltered) {
    const PointList neg = curve({0, -1, -1.2, -1.4, -3});
    const auto r = tc::filterSkeletonRegion(-2, -0.5, 1, {}, neg);
    EXPECT_TRUE(r.positive.empty());
    EXPECT_EQ(r.negative, neg);
}

// Forces travel with their points.
TEST(RegionFilter, EmptyNegativeCurveKeepsThePositiveOneFiltered) {
    const auto r = tc::filterSkeletonRegion(0.8, 4, 1, curve(worked), {});
    EXPECT_EQ(r.positive, (PointList{{0, 0}, {0.5, 1}, {2.2, 4}, {3.4, 6}, {5, 7}}));
    EXPECT_TRUE(r.negative.empty());
}

TEST(RegionFilter, FilteringTwiceChangesNothingFurther) {
    const auto once = tc::filterSkeletonRegion(0.8, 4, 1, curve(worked), curve({0, -1}));
    const auto twice = tc::filterSkeletonRegion(0.8, 4, 1, once.positive, once.negative);
    EXPECT_EQ(twice.positive, once.positive);
    EXPECT_EQ(twice.negative, once.negative);
}

TEST(RegionFilterFields, ConvertsTrimmedTexts) {
    const auto v = tc::readRegionFilterFields(" 10\t", "\n2 ", " -0.5 ");
    EXPECT_EQ(v.end1, 10);
    EXPECT_EQ(v.end2, 2);
    EXPECT_EQ(v.tolerance, -0.5);
    EXPECT_EQ(tc::readRegionFilterFields("1,5", "0", "0", ',').end1, 1.5);
}

// Fields are converted in the order range end, range end, tolerance: the first bad one is
// reported.
TEST(RegionFilterFields, FirstBadFieldThrowsTheConversionMessage) {
    struct Bad {
        const char *a, *b, *tol, *message;
    };
    const Bad cases[] = {
        {"0", "0", "", "'' is not a valid floating point value"},
        {"0", "0", "  ", "'' is not a valid floating point value"},
        {"x1", "y2", "", "'x1' is not a valid floating point value"},
        {"1", " y2 ", "", "'y2' is not a valid floating point value"},
        {"1", "2", "1,5", "'1,5' is not a valid floating point value"},
    };
    for (const auto& c : cases) {
        try {
            tc::readRegionFilterFields(c.a, c.b, c.tol);
            ADD_FAILURE() << "no error for " << c.a << " " << c.b << " " << c.tol;
        } catch (const tc::Error& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
}

} // namespace
