#include "chart/point_grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <set>

namespace {

using D = std::vector<double>;

struct Box {
    double xlo, xhi, ylo, yhi;
};

std::set<size_t> found(const tc::PointGrid& g, const Box& b) {
    std::set<size_t> out;
    g.forEachInBox(b.xlo, b.xhi, b.ylo, b.yhi, [&](size_t i, double, double) {
        EXPECT_TRUE(out.insert(i).second) << "point " << i << " reported twice";
    });
    return out;
}

std::set<size_t> bruteForce(const D& x, const D& y, const Box& b) {
    std::set<size_t> out;
    for (size_t i = 0; i < x.size(); ++i)
        if (x[i] >= b.xlo && x[i] <= b.xhi && y[i] >= b.ylo && y[i] <= b.yhi) out.insert(i);
    return out;
}

struct Cloud {
    const char* name;
    size_t n;
    // point i of the cloud
    std::function<std::pair<double, double>(size_t, std::mt19937&)> at;
    double span; // query boxes are drawn from [-span, span]
};

class GridAgainstScan : public ::testing::TestWithParam<Cloud> {};

// Every box query finds exactly the points a plain scan finds, for clouds of very different
// shapes, before and after some points move.
TEST_P(GridAgainstScan, SameAsPlainScan) {
    const Cloud& c = GetParam();
    std::mt19937 rng(7);
    D x(c.n), y(c.n);
    for (size_t i = 0; i < c.n; ++i)
        std::tie(x[i], y[i]) = c.at(i, rng);
    tc::PointGrid g;
    g.build(x.data(), y.data(), c.n);
    EXPECT_EQ(g.size(), c.n);

    std::uniform_real_distribution<double> pos(-c.span, c.span), size(0, c.span / 4);
    auto randomBox = [&] {
        const double x0 = pos(rng), y0 = pos(rng);
        return Box{x0, x0 + size(rng), y0, y0 + size(rng)};
    };
    for (int q = 0; q < 200; ++q) {
        const Box b = randomBox();
        ASSERT_EQ(found(g, b), bruteForce(x, y, b)) << "query " << q;
    }
    // Boxes around existing points, which must find at least that point.
    for (size_t i = 0; i < c.n; i += std::max<size_t>(1, c.n / 50)) {
        const Box b{x[i], x[i], y[i], y[i]};
        ASSERT_TRUE(found(g, b).count(i));
    }

    std::uniform_int_distribution<size_t> which(0, c.n - 1);
    for (int m = 0; m < 20; ++m) {
        const size_t i = which(rng);
        x[i] = pos(rng);
        y[i] = pos(rng);
        g.move(i, x[i], y[i]);
    }
    for (int q = 0; q < 200; ++q) {
        const Box b = randomBox();
        ASSERT_EQ(found(g, b), bruteForce(x, y, b)) << "query after moves " << q;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Clouds, GridAgainstScan,
    ::testing::Values(
        Cloud{"single", 1, [](size_t, std::mt19937&) { return std::make_pair(0.5, -0.5); }, 2},
        Cloud{"loop", 50000,
              [](size_t i, std::mt19937&) {
                  const double t = static_cast<double>(i) * 0.001;
                  const double a = 1 + t / 10;
                  return std::make_pair(a * std::sin(t), a * std::tanh(3 * std::sin(t - 0.3)));
              },
              7},
        Cloud{"all on one spot", 3000,
              [](size_t, std::mt19937&) { return std::make_pair(1.0, 1.0); }, 2},
        Cloud{"vertical line", 3000,
              [](size_t i, std::mt19937&) {
                  return std::make_pair(0.0, static_cast<double>(i) / 3000);
              },
              1.5},
        Cloud{"extent beyond double range", 3000,
              [](size_t i, std::mt19937&) {
                  return std::make_pair(i % 2 ? 1.7e308 : -1.7e308, i % 3 ? 1.7e308 : -1.7e308);
              },
              1.7e308}),
    [](const auto& info) {
        std::string s = info.param.name;
        std::replace(s.begin(), s.end(), ' ', '_');
        return s;
    });

TEST(PointGrid, EdgesNonFiniteValuesAndMoves) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // t, x, y triples, as a curve stores its points; point 3 has no finite place.
    const D tri{0, 0, 0, 1, 1, 0, 2, 2, 0, 3, inf, nan, 4, 3, 0};
    tc::PointGrid g;
    g.build(&tri[1], &tri[2], 5, 3);
    EXPECT_EQ(found(g, {1, 2, 0, 0}), (std::set<size_t>{1, 2})); // edges included
    EXPECT_EQ(found(g, {-inf, inf, -inf, inf}), (std::set<size_t>{0, 1, 2, 4}));
    EXPECT_TRUE(found(g, {2, 1, 0, 0}).empty()); // an inverted box holds nothing
    EXPECT_TRUE(found(g, {nan, nan, nan, nan}).empty());
    g.move(1, 10, 10);
    g.move(1, 2.5, 0); // moved twice: found once, at its last place
    g.move(0, nan, 0); // moved to nowhere
    g.move(99, 0, 0);  // beyond the indexed points: ignored
    EXPECT_TRUE(found(g, {0, 1, 0, 0}).empty());
    EXPECT_EQ(found(g, {2, 3, 0, 0}), (std::set<size_t>{1, 2, 4}));
    EXPECT_TRUE(found(g, {9, 11, 9, 11}).empty());
}

} // namespace
