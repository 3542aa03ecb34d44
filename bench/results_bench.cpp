#include "analysed_record.h"
#include "results/engineering_results.h"
#include "results/result_plots.h"
#include "results/results_tables.h"
#include "skeleton/skeleton_extraction.h"
#include "workspace/loop_analysis.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

// Everything the results window shows for an analysed 1,000,000-point record: the per-loop and
// per-level tables, the first-cycle envelope and both curves' characteristic points by the yield
// method state.range(0), the warnings and the record's energy; the force-peak skeleton on the
// chart is given. Goal: < 30 ms.
void BM_EngineeringResults(benchmark::State& state) {
    const auto& a = tc::bench::analysedMillion();
    tc::ResultSettings settings;
    settings.method = static_cast<tc::YieldMethod>(state.range(0));
    const tc::SkeletonSettings s{tc::SkeletonRule::ForcePeak, false, tc::LoopDirection::Positive};
    const auto chart = tc::extractSkeleton(a, a.loopCount, s);
    std::size_t points = 0;
    for (auto _ : state) {
        const tc::EngineeringResults r = tc::engineeringResults(a, a.loopCount, chart, settings);
        points = r.evaluated.positive.size() + r.evaluated.negative.size();
        benchmark::DoNotOptimize(r.loops.data());
        benchmark::DoNotOptimize(r.positive);
        benchmark::DoNotOptimize(r.negative);
    }
    state.counters["loops"] = a.loopCount;
    state.counters["envelope"] = static_cast<double>(points);
    state.counters["curve"] = static_cast<double>(a.loopDisp.size());
}
BENCHMARK(BM_EngineeringResults)
    ->DenseRange(0, tc::kYieldMethodCount - 1)
    ->ArgName("method")
    ->Unit(benchmark::kMillisecond);

// The dead band suggestion for the 1,000,000-point record: the excursions and two analyses (with
// and without the band). Goal: < 150 ms, a press of "Suggest".
void BM_SuggestDeadBand(benchmark::State& state) {
    static const tc::bench::Record r = tc::bench::makeCyclicRecord(1'000'000);
    int loops = 0;
    for (auto _ : state) {
        const auto s = tc::suggestDeadBand(r.disp, r.force);
        loops = s.loops;
        benchmark::DoNotOptimize(s);
    }
    state.counters["loops"] = loops;
}
BENCHMARK(BM_SuggestDeadBand)->Unit(benchmark::kMillisecond);

// The per-loop table of 250,000 small loops (1,000,000 points) whose amplitudes spread over
// three decades, as the sampling noise around the reference produces them: about 10,000
// amplitude levels. Goal: < 100 ms (a plain backward scan over the leaders takes about 1 s).
void BM_LoopResultsManyLevels(benchmark::State& state) {
    const tc::LoopAnalysis& a = tc::bench::analysedManyLoops();
    int levels = 0;
    for (auto _ : state) {
        auto r = tc::loopResults(a, a.loopCount);
        levels = 0;
        for (const auto& l : r)
            levels = std::max(levels, l.level);
        benchmark::DoNotOptimize(r.data());
    }
    state.counters["loops"] = a.loopCount;
    state.counters["levels"] = levels;
}
BENCHMARK(BM_LoopResultsManyLevels)->Unit(benchmark::kMillisecond);

// The data of every result plot for the same 250,000 loops: the part of the plots' refresh that
// the core does. Goal: well under the 200 ms of the whole refresh.
void BM_ResultPlots250kLoops(benchmark::State& state) {
    const tc::LoopAnalysis& a = tc::bench::analysedManyLoops();
    static const tc::EngineeringResults r = tc::engineeringResults(a, a.loopCount, {}, {});
    for (auto _ : state) {
        const tc::ResultPlots p = tc::resultPlots(a, r);
        benchmark::DoNotOptimize(p.protocol.curve.x.data());
    }
    state.counters["loops"] = static_cast<double>(r.loops.size());
}
BENCHMARK(BM_ResultPlots250kLoops)->Unit(benchmark::kMillisecond);

} // namespace
