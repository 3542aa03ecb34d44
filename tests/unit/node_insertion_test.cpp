#include "skeleton/node_insertion.h"

#include <gtest/gtest.h>

#include <ostream>

#include <limits>
#include <string>

namespace {

using tc::CurveSide;
using tc::PointList;
using X = std::vector<double>;

// The old points carry force 1, the new node force 9, so that an inserted point can be told
// from an old one at the same displacement.
PointList curve(const X& xs) {
    PointList c;
    for (double x : xs)
        c.push_back({x, 1});
    return c;
}

struct Case {
    const char* name;
    CurveSide side;
    X in;
    double x;
    PointList out;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class AddNode : public ::testing::TestWithParam<Case> {};

TEST_P(AddNode, InsertsWhereTheCurvePassesX) {
    const Case& c = GetParam();
    EXPECT_EQ(tc::addNode(curve(c.in), c.side, c.x, 9), c.out);
}

constexpr auto P = CurveSide::Positive;
constexpr auto N = CurveSide::Negative;

INSTANTIATE_TEST_SUITE_P(
    Cases, AddNode,
    ::testing::Values(
        Case{"Between", P, {0, 2, 5}, 3, {{0, 1}, {2, 1}, {3, 9}, {5, 1}}},
        Case{"BeyondTheLast", P, {0, 2, 5}, 6, {{0, 1}, {2, 1}, {5, 1}, {6, 9}}},
        Case{"AtTheFirst", P, {0, 2, 5}, 0, {{0, 1}, {2, 1}, {5, 1}}},
        Case{"LeftOfTheFirst", P, {0, 2, 5}, -1, {{0, 1}, {2, 1}, {5, 1}}},
        Case{"InFrontOfEqualX", P, {0, 2, 5}, 5, {{0, 1}, {2, 1}, {5, 9}, {5, 1}}},
        Case{"NegativeBetween", N, {0, -2, -5}, -3, {{0, 1}, {-2, 1}, {-3, 9}, {-5, 1}}},
        Case{"NegativeBeyondTheLast", N, {0, -2, -5}, -6, {{0, 1}, {-2, 1}, {-5, 1}, {-6, 9}}},
        Case{"NegativeAtTheFirst", N, {0, -2, -5}, 0, {{0, 1}, {-2, 1}, {-5, 1}}},
        Case{"NegativeInFrontOfEqualX", N, {0, -2, -5}, -2, {{0, 1}, {-2, 9}, {-2, 1}, {-5, 1}}},
        // Each passage of x in the curve's direction gets its own copy.
        Case{"BackAndForth", P, {0, 5, 3, 8}, 4, {{0, 1}, {4, 9}, {5, 1}, {3, 1}, {4, 9}, {8, 1}}},
        Case{"BackAndForthEndsBelow", P, {0, 5, 3}, 4, {{0, 1}, {4, 9}, {5, 1}, {3, 1}, {4, 9}}},
        Case{"NegativeBackAndForth",
             N,
             {0, -5, -3, -8},
             -4,
             {{0, 1}, {-4, 9}, {-5, 1}, {-3, 1}, {-4, 9}, {-8, 1}}},
        Case{"SinglePointBelow", P, {0}, 1, {{0, 1}, {1, 9}}}, Case{"Empty", P, {}, 1, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AddNode, NotANumberAddsNothing) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(tc::addNode(curve({0, 2, 5}), P, nan, 9), curve({0, 2, 5}));
    EXPECT_EQ(tc::addNode(curve({0, -2, -5}), N, nan, 9), curve({0, -2, -5}));
}

} // namespace
