#include "record_generator.h"
#include "workspace/import_settings.h"
#include "workspace/record_preview.h"

#include <benchmark/benchmark.h>

namespace {

const std::string& millionLineBytes() {
    static const std::string bytes =
        "disp_mm,force_kN\n" + tc::bench::recordText(tc::bench::makeCyclicRecord(1'000'000));
    return bytes;
}

// Opening the preview of a 1,000,000-line file held in memory: the head decoded (the whole file
// checked for UTF-8), its 200 lines split, the begin line, names, units and columns suggested.
void BM_PreviewMillionLines(benchmark::State& state) {
    const std::string& bytes = millionLineBytes();
    for (auto _ : state) {
        const std::string head = tc::recordHead(bytes, 200);
        tc::ImportSettings s;
        tc::suggestDecimalMode(head, s.decimal, s.commaSeparator);
        const tc::RecordPreview p = tc::previewRecord(head, s, '.');
        benchmark::DoNotOptimize(p.suggestedBegin);
    }
}
BENCHMARK(BM_PreviewMillionLines)->Unit(benchmark::kMillisecond);

// The import with columns swapped and a scale: the path the settings take.
void BM_ImportMillionLinesWithSettings(benchmark::State& state) {
    const std::string text = tc::decodeRecordText(millionLineBytes());
    tc::ImportSettings s;
    s.disp = {2, 1000, false};
    s.force = {1, 1, true};
    for (auto _ : state) {
        const tc::RecordReadResult r = tc::readRecordWith(text, 2, 1, '.', s);
        benchmark::DoNotOptimize(r.disp.data());
    }
}
BENCHMARK(BM_ImportMillionLinesWithSettings)->Unit(benchmark::kMillisecond);

} // namespace
