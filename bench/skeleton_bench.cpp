#include "analysed_record.h"
#include "skeleton/node_insertion.h"
#include "skeleton/region_filter.h"
#include "skeleton/skeleton_extraction.h"
#include "workspace/loop_analysis.h"

#include <benchmark/benchmark.h>

#include <cstddef>

namespace {

// Extraction by rule state.range(0) from an analysed 1,000,000-point record. Goal: < 20 ms.
void BM_ExtractSkeleton(benchmark::State& state) {
    const auto& a = tc::bench::analysedMillion();
    const tc::SkeletonSettings s{static_cast<tc::SkeletonRule>(state.range(0)), true,
                                 tc::LoopDirection::Positive};
    std::size_t points = 0;
    for (auto _ : state) {
        auto c = tc::extractSkeleton(a, a.loopCount, s);
        points = c.positive.size() + c.negative.size();
        benchmark::DoNotOptimize(c.positive.data());
    }
    state.counters["loops"] = a.loopCount;
    state.counters["points"] = static_cast<double>(points);
    state.counters["curve"] = static_cast<double>(a.loopDisp.size());
}
BENCHMARK(BM_ExtractSkeleton)->DenseRange(1, 5)->ArgName("rule")->Unit(benchmark::kMillisecond);

// A curve of n points running outwards from 0 in steps of 0.001, with the given sign.
tc::PointList straightCurve(std::size_t n, double sign) {
    tc::PointList c(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double x = sign * 0.001 * static_cast<double>(i);
        c[i] = {x, 5 * x};
    }
    return c;
}

// The region filter on two 100,000-point curves, thinning most of the positive one. Goal: < 10 ms.
void BM_FilterSkeletonRegion(benchmark::State& state) {
    const auto pos = straightCurve(100'000, 1);
    const auto neg = straightCurve(100'000, -1);
    for (auto _ : state) {
        auto c = tc::filterSkeletonRegion(90, 10, 0.0105, pos, neg);
        benchmark::DoNotOptimize(c.positive.data());
    }
}
BENCHMARK(BM_FilterSkeletonRegion)->Unit(benchmark::kMillisecond);

// Adding a node to a rising 1,000,000-point curve: one insertion in the middle.
void BM_AddNodeRisingCurve(benchmark::State& state) {
    const auto c = straightCurve(1'000'000, 1);
    for (auto _ : state) {
        auto r = tc::addNode(c, tc::CurveSide::Positive, 500.0005, 1);
        benchmark::DoNotOptimize(r.data());
    }
}
BENCHMARK(BM_AddNodeRisingCurve)->Unit(benchmark::kMillisecond);

// Adding a node to the whole analysed record taken as a curve: a copy at every upward passage.
void BM_AddNodeBackAndForthCurve(benchmark::State& state) {
    const auto& a = tc::bench::analysedMillion();
    tc::PointList c(a.loopDisp.size());
    for (std::size_t i = 0; i < c.size(); ++i)
        c[i] = {a.loopDisp[i], a.loopForce[i]};
    std::size_t added = 0;
    for (auto _ : state) {
        auto r = tc::addNode(c, tc::CurveSide::Positive, 0.3, 1);
        added = r.size() - c.size();
        benchmark::DoNotOptimize(r.data());
    }
    state.counters["added"] = static_cast<double>(added);
}
BENCHMARK(BM_AddNodeBackAndForthCurve)->Unit(benchmark::kMillisecond);

} // namespace
