#include "record_generator.h"
#include "workspace/loop_analysis.h"
#include "workspace/record_file.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>

namespace {

const tc::bench::Record& million() {
    static const tc::bench::Record r = tc::bench::makeCyclicRecord(1'000'000);
    return r;
}

// Read (decode), split and convert a 1,000,000-line two-column record held in memory.
void BM_ImportMillionLines(benchmark::State& state) {
    static const std::string bytes = tc::bench::recordText(million());
    for (auto _ : state) {
        const std::string text = tc::decodeRecordText(bytes);
        auto r = tc::readRecord(text, 1, 1, '.');
        benchmark::DoNotOptimize(r.disp.data());
    }
    state.counters["MB"] = static_cast<double>(bytes.size()) / 1e6;
}
BENCHMARK(BM_ImportMillionLines)->Unit(benchmark::kMillisecond);

void BM_AnalyzeMillionPoints(benchmark::State& state) {
    const auto& r = million();
    for (auto _ : state) {
        auto a = tc::analyzeLoops(r.disp, r.force);
        benchmark::DoNotOptimize(a.loopDisp.data());
    }
}
BENCHMARK(BM_AnalyzeMillionPoints)->Unit(benchmark::kMillisecond);

// The same with a dead band of 1 % of the largest displacement (the record's noise is smaller).
void BM_AnalyzeMillionPointsDeadBand(benchmark::State& state) {
    const auto& r = million();
    double largest = 0;
    for (double d : r.disp) largest = std::max(largest, std::abs(d - r.disp[0]));
    for (auto _ : state) {
        auto a = tc::analyzeLoops(r.disp, r.force, 0.01 * largest);
        benchmark::DoNotOptimize(a.loopDisp.data());
    }
}
BENCHMARK(BM_AnalyzeMillionPointsDeadBand)->Unit(benchmark::kMillisecond);

} // namespace
