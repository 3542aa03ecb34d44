// The reduction of a polyline to device pixels: what it keeps, and that its run index changes
// nothing in the result.
#include "chart/pixel_reduction.h"
#include "chart/reduced_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

namespace {

using tc::PixelAxis;
using tc::PixelBox;
using tc::PixelMask;
using tc::PixelPoint;
using tc::PointRunIndex;
using tc::StridedPoints;

struct Curve {
    std::vector<double> x, y;
    StridedPoints points() const { return {x.data(), y.data(), x.size(), 1}; }
};

// A noisy hysteresis-like path: slow cycles, steep and flat stretches, a few jumps.
Curve cyclic(size_t n, unsigned seed) {
    Curve c;
    std::mt19937 rng(seed);
    std::normal_distribution<double> noise(0, 0.002);
    for (size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / static_cast<double>(n) * 12;
        const double d = (0.3 + 0.1 * std::floor(t)) * std::sin(6.283185307179586 * t);
        c.x.push_back(d + noise(rng));
        c.y.push_back(std::tanh(4 * d) + 0.1 * d + noise(rng));
        if (i % 9973 == 5000) c.x.back() += 3; // a spike far out
    }
    return c;
}

bool same(const std::vector<PixelPoint>& a, const std::vector<PixelPoint>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const bool nanA = std::isnan(a[i].x), nanB = std::isnan(b[i].x);
        if (nanA != nanB || (!nanA && (a[i].x != b[i].x || a[i].y != b[i].y))) return false;
    }
    return true;
}

struct View {
    const char* name;
    double xlo, xhi, ylo, yhi; // values shown in a 640 x 480 box
};

class RunIndexTest : public ::testing::TestWithParam<View> {};

TEST_P(RunIndexTest, SameLineAndMarkersAsOnePassOverEveryPoint) {
    const View v = GetParam();
    Curve c = cyclic(200000, 11);
    c.x[123457] = std::numeric_limits<double>::quiet_NaN(); // a gap
    const PixelAxis ax{v.xlo, 0, 640 / (v.xhi - v.xlo)};
    const PixelAxis ay{v.ylo, 480, -480 / (v.yhi - v.ylo)}; // up is smaller pixels
    const PixelBox box{-3, -3, 643, 483};
    PointRunIndex index;
    index.build(c.points());
    ASSERT_EQ(index.count(), c.x.size());

    std::vector<PixelPoint> plain, indexed;
    PixelMask plainMask, indexedMask;
    plainMask.reset(-5, -5, 650, 490);
    indexedMask.reset(-5, -5, 650, 490);
    tc::reduceToPixels(c.points(), ax, ay, box, &plain, &plainMask);
    tc::reduceToPixels(c.points(), ax, ay, box, &indexed, &indexedMask, &index);
    EXPECT_TRUE(same(plain, indexed)) << plain.size() << " vs " << indexed.size();
    EXPECT_LT(plain.size(), c.x.size());
    EXPECT_EQ(plainMask.count(), indexedMask.count());
    for (int y = -5; y < 485; ++y)
        for (int x = -5; x < 645; ++x)
            ASSERT_EQ(plainMask.test(x, y), indexedMask.test(x, y)) << x << "," << y;

    // The markers found by the line's reduction on its way, in half-pixel cells, in stretches:
    // the same cells as a pass of their own, for a mask within the box and one reaching beyond.
    const PixelAxis cx{ax.v0, ax.p0 * 2, ax.scale * 2}, cy{ay.v0, ay.p0 * 2, ay.scale * 2};
    for (const PixelBox cells : {PixelBox{-4, -4, 1284, 964}, PixelBox{-60, -60, 1340, 1020}}) {
        PixelMask own, onTheWay;
        const int w = static_cast<int>(cells.right - cells.left),
                  h = static_cast<int>(cells.bottom - cells.top);
        own.reset(static_cast<int>(cells.left), static_cast<int>(cells.top), w, h);
        onTheWay.reset(static_cast<int>(cells.left), static_cast<int>(cells.top), w, h);
        tc::reduceToPixels(c.points(), cx, cy, box, nullptr, &own, &index);
        std::vector<PixelPoint> line;
        for (size_t from = 0; from < c.x.size(); from += 70000)
            tc::reduceLineStretch(c.points(), ax, ay, box, line, &index, from,
                                  std::min(c.x.size(), from + 70001), &onTheWay, 2);
        EXPECT_EQ(own.count(), onTheWay.count());
        own.forEach([&](int x, int y) { ASSERT_TRUE(onTheWay.test(x, y)) << x << "," << y; });
    }

    // Moved points update the index in place: the same as a new index.
    std::mt19937 rng(2);
    std::uniform_int_distribution<size_t> pick(0, c.x.size() - 1);
    for (int k = 0; k < 50; ++k) {
        const size_t i = pick(rng);
        c.x[i] = c.x[i] * 0.7 + 0.01 * k;
        c.y[i] = -c.y[i];
        index.update(c.points(), i);
    }
    tc::reduceToPixels(c.points(), ax, ay, box, &plain, nullptr);
    tc::reduceToPixels(c.points(), ax, ay, box, &indexed, nullptr, &index);
    EXPECT_TRUE(same(plain, indexed));
}

INSTANTIATE_TEST_SUITE_P(Views, RunIndexTest,
                         ::testing::Values(View{"all", -1.6, 1.6, -1.4, 1.4},
                                           View{"zoomed10x", 0.05, 0.37, 0.2, 0.48},
                                           View{"zoomed200x", 0.301, 0.317, 0.98, 0.994},
                                           View{"offToTheSide", 5, 6, 5, 6},
                                           View{"flatStrip", -1.6, 1.6, 0.9, 0.95}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PixelReduction, KeepsWhatThePixelsShow) {
    const PixelAxis id{0, 0, 1};
    const PixelBox box{0, 0, 100, 100};
    struct Case {
        const char* name;
        Curve c;
        std::vector<PixelPoint> kept; // NaN x: a break
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<Case> cases = {
        {"one column keeps first, extremes in order, last",
         {{10.1, 10.2, 10.3, 10.4, 10.5}, {50.5, 20.5, 80.5, 60.5, 55.5}},
         {{10.1, 50.5}, {10.2, 20.5}, {10.3, 80.5}, {10.5, 55.5}}},
        {"extremes within the first and last rows are dropped",
         {{10.1, 10.2, 10.3, 10.4}, {20.5, 30.5, 40.5, 50.5}},
         {{10.1, 20.5}, {10.4, 50.5}}},
        {"one row",
         {{5.5, 30.5, 90.5, 60.5}, {7.2, 7.4, 7.1, 7.9}},
         {{5.5, 7.2}, {90.5, 7.1}, {60.5, 7.9}}},
        {"a segment crossing the box with both ends outside is cut at its edges",
         {{-50, 150}, {50, 50}},
         {{0, 50}, {100, 50}}},
        {"beyond one edge: nothing", {{-5, -6, -7}, {10, 20, 30}}, {}},
        {"a non-finite point breaks the line",
         {{10.5, 20.5, nan, 30.5, 40.5}, {10.5, 20.5, 5, 30.5, 40.5}},
         {{10.5, 10.5}, {20.5, 20.5}, {nan, nan}, {30.5, 30.5}, {40.5, 40.5}}},
    };
    for (const Case& k : cases) {
        std::vector<PixelPoint> out;
        tc::reduceToPixels(k.c.points(), id, id, box, &out, nullptr);
        EXPECT_TRUE(same(out, k.kept)) << k.name << ": " << out.size() << " points";
        // The index agrees on small inputs too (one partial run).
        PointRunIndex index;
        index.build(k.c.points());
        std::vector<PixelPoint> viaIndex;
        tc::reduceToPixels(k.c.points(), id, id, box, &viaIndex, nullptr, &index);
        EXPECT_TRUE(same(viaIndex, k.kept)) << k.name << " (indexed)";
    }
}

TEST(PixelReduction, KeepsInTheBoxTheSegmentsThatMayShowThere) {
    const PixelBox box{0, 0, 100, 100};
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* name;
        std::vector<PixelPoint> line, kept; // NaN x: a break
    };
    const std::vector<Case> cases = {
        {"all inside", {{10, 10}, {20, 20}, {30, 10}}, {{10, 10}, {20, 20}, {30, 10}}},
        {"a stretch beyond the right edge is dropped, the line breaking there",
         {{50, 50}, {150, 50}, {160, 60}, {170, 50}, {60, 40}},
         {{50, 50}, {150, 50}, {nan, nan}, {170, 50}, {60, 40}}},
        {"a segment from beyond one edge to beyond another may cross: kept",
         {{-10, 50}, {50, -10}},
         {{-10, 50}, {50, -10}}},
        {"wholly beyond the top", {{10, -5}, {90, -1}, {50, -20}}, {}},
        {"the line's own breaks stay",
         {{10, 10}, {20, 20}, {nan, nan}, {30, 30}, {40, 40}},
         {{10, 10}, {20, 20}, {nan, nan}, {30, 30}, {40, 40}}},
        {"a point alone between breaks draws nothing and goes",
         {{10, 10}, {nan, nan}, {30, 30}},
         {}},
        {"on the edge counts as inside",
         {{100, 50}, {120, 50}, {100, 60}},
         {{100, 50}, {120, 50}, {100, 60}}},
    };
    for (const Case& c : cases) {
        std::vector<PixelPoint> out;
        tc::keepInBox(c.line, box, out);
        EXPECT_TRUE(same(out, c.kept)) << c.name << ": " << out.size() << " points";
    }
    // A stretch that starts where the last one ended goes on unbroken; another one breaks.
    std::vector<PixelPoint> out;
    tc::keepInBox({{10, 10}, {20, 20}}, box, out);
    tc::keepInBox({{20, 20}, {30, 10}}, box, out);
    tc::keepInBox({{40, 40}, {50, 50}}, box, out);
    EXPECT_TRUE(same(out, {{10, 10}, {20, 20}, {30, 10}, {nan, nan}, {40, 40}, {50, 50}}));
}

// The distance from p to the segment a-b.
double toSegment(PixelPoint p, PixelPoint a, PixelPoint b) {
    const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
    const double t =
        len2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / len2, 0.0, 1.0) : 0.0;
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

// Checks what simplifyLine promises: the same breaks and piece ends, the kept vertices taken in
// order from the line, and every vertex of the line within the tolerance of the segment of its
// piece that spans it.
void expectSimplified(const std::vector<PixelPoint>& line, double tolerance, const char* name) {
    std::vector<PixelPoint> out;
    tc::simplifyLine(line, tolerance, out);
    size_t k = 0; // the kept vertex at or before vertex i
    for (size_t i = 0; i < line.size(); ++i) {
        const PixelPoint p = line[i];
        if (k < out.size() &&
            (std::isnan(p.x) ? std::isnan(out[k].x) : p.x == out[k].x && p.y == out[k].y)) {
            ++k;
            continue;
        }
        ASSERT_FALSE(std::isnan(p.x)) << name << ": a break lost at " << i;
        ASSERT_TRUE(k > 0 && k < out.size() && !std::isnan(out[k - 1].x) && !std::isnan(out[k].x))
            << name << ": a piece's end lost at " << i;
        ASSERT_LE(toSegment(p, out[k - 1], out[k]), tolerance + 1e-9) << name << " at " << i;
    }
    EXPECT_EQ(k, out.size()) << name << ": vertices not from the line";
}

TEST(PixelReduction, SimplifiedLinePassesWithinTheToleranceOfEveryVertex) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* name;
        std::vector<PixelPoint> line;
        size_t atMost; // vertices kept
    };
    std::vector<Case> cases = {
        {"a straight line keeps its ends", {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}}, 2},
        {"out and back along one line keeps the turn", {{0, 0}, {50, 0}, {100, 0}, {60, 0}}, 3},
        {"a corner is kept", {{0, 0}, {10, 0}, {20, 0}, {20, 10}, {20, 20}}, 3},
        {"breaks and single points stay",
         {{0, 0}, {1, 0}, {2, 0}, {nan, nan}, {5, 5}, {nan, nan}, {7, 7}, {8, 9}},
         8},
    };
    // A noisy zigzag of many short steps, as a reduced hysteresis curve is.
    std::mt19937 rng(4);
    std::uniform_real_distribution<double> jitter(-0.6, 0.6);
    Case noisy{"noisy zigzag", {}, 4000};
    for (int i = 0; i < 5000; ++i)
        noisy.line.push_back(
            {i * 0.7 + jitter(rng), 200 * std::sin(i / 300.0) + jitter(rng) + (i % 7 == 0)});
    cases.push_back(noisy);
    for (const Case& c : cases) {
        for (double tolerance : {0.4, 1.0}) {
            expectSimplified(c.line, tolerance, c.name);
            std::vector<PixelPoint> out;
            tc::simplifyLine(c.line, tolerance, out);
            EXPECT_LE(out.size(), c.atMost) << c.name;
        }
    }
}

} // namespace

TEST(PixelMask, AllSetOnlyWhenEveryPixelOfTheBoxIsMarked) {
    PixelMask mask;
    mask.reset(-10, 0, 200, 20);
    for (int x = 60; x <= 66; ++x) // across a word boundary of the row
        for (int y = 3; y <= 5; ++y)
            mask.set(x + 0.5, y + 0.5);
    struct Case {
        double x0, y0, x1, y1;
        bool expected;
    } cases[] = {
        {60, 3, 66.9, 5.9, true},       // exactly the marked block
        {61.2, 4, 62.7, 4.1, true},     // inside it
        {59.9, 3, 61, 4, false},        // one column left of it
        {60, 2.5, 61, 4, false},        // one row above it
        {66, 5, 67, 5, false},          // one column right of it
        {-20, 3, 61, 4, false},         // partly outside the mask
        {60, 3, 70, 5, false},          // too large to be worth checking
        {std::nan(""), 3, 61, 4, false} // not a place
    };
    for (const Case& c : cases)
        EXPECT_EQ(mask.allSet(c.x0, c.y0, c.x1, c.y1), c.expected) << c.x0 << "," << c.y0;
}

TEST(PixelMask, BlocksHoldEveryMarkedPixelOnce) {
    // Odd sizes (a last block half outside), rows across word boundaries, an origin left of and
    // above zero; marked pixels at random, denser in a corner.
    struct Case {
        int left, top, width, height;
    } cases[] = {{0, 0, 64, 2}, {-6, -4, 131, 9}, {10, 3, 7, 1}, {-1, -1, 200, 33}};
    std::mt19937 rng(7);
    for (const Case& c : cases) {
        PixelMask mask;
        mask.reset(c.left, c.top, c.width, c.height);
        std::uniform_real_distribution<double> u(0, 1);
        for (int i = 0; i < c.width * c.height / 3; ++i)
            mask.set(c.left + u(rng) * c.width, c.top + u(rng) * c.height * u(rng));
        std::vector<std::pair<int, int>> marked, fromBlocks;
        mask.forEach([&](int x, int y) { marked.emplace_back(y, x); });
        int lastY = c.top, lastX = c.left - 2;
        const int rows = (c.height + 1) / 2;
        for (int from = 0; from < rows; from += 3) // in bands, as the marker image takes them
            mask.forEachBlockInRows(from, from + 3, [&](int x, int y, unsigned bits) {
                EXPECT_TRUE(bits != 0 && bits < 16);
                EXPECT_EQ((x - c.left) % 2, 0);
                EXPECT_EQ((y - c.top) % 2, 0);
                EXPECT_TRUE(y > lastY || (y == lastY && x > lastX)) << "out of order";
                lastY = y, lastX = x;
                for (unsigned k = 0; k < 4; ++k)
                    if (bits & (1u << k)) fromBlocks.emplace_back(y + int(k / 2), x + int(k % 2));
            });
        std::sort(fromBlocks.begin(), fromBlocks.end());
        std::sort(marked.begin(), marked.end());
        EXPECT_EQ(fromBlocks, marked) << c.width << "x" << c.height;
    }
}
