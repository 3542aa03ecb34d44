#include "record_generator.h"
#include "session/session_file.h"
#include "skeleton/skeleton_extraction.h"
#include "workspace/loop_analysis.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

// A session of the synthetic 1,000,000-point record: analysed, a few dragged and deleted points,
// skeleton curves by rule 5 (the longest).
const tc::Session& millionSession() {
    static const tc::Session s = [] {
        tc::Session s;
        const tc::bench::Record r = tc::bench::makeCyclicRecord(1'000'000);
        s.record.path = "/data/million.txt";
        s.record.disp = r.disp;
        s.record.force = r.force;
        for (int i = 1000; i < 1010; ++i)
            s.record.drags.push_back({i, r.disp[static_cast<size_t>(i)] + 1, 0});
        s.record.deleted = {5, 50, 500};
        s.analysis.analysed = true;
        s.analysis.drags = {s.record.drags.front()};
        s.selectedLoop = 0;
        std::vector<double> d = r.disp;
        d[1000] += 1;
        const tc::LoopAnalysis a = tc::analyzeLoops(d, r.force);
        s.skeleton = tc::extractSkeleton(
            a, a.loopCount,
            {tc::SkeletonRule::EnvelopeToDisplacementPeak, true, tc::LoopDirection::Positive});
        tc::InitExcelExportOptions(s.settings.excel);
        return s;
    }();
    return s;
}

std::filesystem::path benchFile() {
    return std::filesystem::temp_directory_path() / "tc_bench_session.tcsession";
}

// Save Session of a 1,000,000-point record: the text and its atomic write. Goal: < 1 s.
void BM_SaveSession(benchmark::State& state) {
    const tc::Session& s = millionSession();
    for (auto _ : state)
        tc::writeSessionFile(benchFile(), s);
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(benchFile())) / 1e6;
}
BENCHMARK(BM_SaveSession)->Unit(benchmark::kMillisecond);

// Open Session of the same: reading, checking, and the workspace with its analysis made again.
// Goal: < 1 s.
void BM_OpenSession(benchmark::State& state) {
    tc::writeSessionFile(benchFile(), millionSession());
    for (auto _ : state) {
        const tc::Session s = tc::readSessionFile(benchFile());
        const tc::RestoredWorkspace w = tc::restoreWorkspace(s, "bench");
        benchmark::DoNotOptimize(w.analysis.loopDisp.data());
    }
    std::filesystem::remove(benchFile());
}
BENCHMARK(BM_OpenSession)->Unit(benchmark::kMillisecond);

} // namespace
