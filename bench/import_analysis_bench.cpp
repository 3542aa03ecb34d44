#include "record_generator.h"
#include "workspace/import_settings.h"
#include "workspace/loop_analysis.h"
#include "workspace/record_file.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

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

// A record file of n lines in the temporary folder, removed with the object.
class RecordFile {
public:
    explicit RecordFile(size_t n, const char* name)
        : path_(std::filesystem::temp_directory_path() / name) {
        std::ofstream out(path_, std::ios::binary);
        out << tc::bench::recordText(n == 1'000'000 ? million() : tc::bench::makeCyclicRecord(n));
    }
    ~RecordFile() { std::filesystem::remove(path_); }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// The whole import of a file: reading it (from the page cache), parsing and converting its lines.
void importFile(benchmark::State& state, size_t lines, const char* name,
                const tc::ImportSettings& settings = {}) {
    const RecordFile file(lines, name);
    for (auto _ : state) {
        auto r = tc::readRecordFileWith(file.path(), 1, 1, '.', settings);
        benchmark::DoNotOptimize(r.disp.data());
    }
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(file.path())) / 1e6;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(std::filesystem::file_size(file.path())));
}

void BM_ImportFileMillionLines(benchmark::State& state) {
    importFile(state, 1'000'000, "tc_bench_1m.csv");
}
BENCHMARK(BM_ImportFileMillionLines)->Unit(benchmark::kMillisecond);

void BM_ImportFileTenMillionLines(benchmark::State& state) {
    importFile(state, 10'000'000, "tc_bench_10m.csv");
}
BENCHMARK(BM_ImportFileTenMillionLines)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same with settings: the columns swapped, one scaled, the other negated.
void BM_ImportFileTenMillionLinesWithSettings(benchmark::State& state) {
    tc::ImportSettings s;
    s.disp = {2, 1000, false};
    s.force = {1, 1, true};
    importFile(state, 10'000'000, "tc_bench_10m_settings.csv", s);
}
BENCHMARK(BM_ImportFileTenMillionLinesWithSettings)->Unit(benchmark::kMillisecond)->Iterations(3);

// A record whose first field is 50 MB of digits: the warning comes at once and is short.
void BM_ImportHugeFirstField(benchmark::State& state) {
    const std::string text = std::string(50 << 20, '1') + ",2\r\n";
    for (auto _ : state) {
        auto r = tc::readRecord(text, 1, 1, '.');
        benchmark::DoNotOptimize(r.warning.data());
        state.counters["warning chars"] = static_cast<double>(r.warning.size());
    }
}
BENCHMARK(BM_ImportHugeFirstField)->Unit(benchmark::kMillisecond);

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
    for (double d : r.disp)
        largest = std::max(largest, std::abs(d - r.disp[0]));
    for (auto _ : state) {
        auto a = tc::analyzeLoops(r.disp, r.force, 0.01 * largest);
        benchmark::DoNotOptimize(a.loopDisp.data());
    }
}
BENCHMARK(BM_AnalyzeMillionPointsDeadBand)->Unit(benchmark::kMillisecond);

} // namespace
