#include "export/chart_export.h"
#include "export/platform_host.h"
#include "export/text_export.h"
#include "export/workbook_host.h"
#include "record_generator.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

const tc::bench::Record& million() {
    static const tc::bench::Record r = tc::bench::makeCyclicRecord(1'000'000);
    return r;
}

// The plot as the main window has it after an analysis of a 1,000,000-point record: the record
// ("Loop"), one selected loop, two small skeleton curves and the marker points.
std::vector<tc::ChartSeriesSnapshot> millionPointChart() {
    const auto& r = million();
    auto part = [&](size_t from, size_t n) {
        return std::pair{std::vector<double>(r.disp.begin() + from, r.disp.begin() + from + n),
                         std::vector<double>(r.force.begin() + from, r.force.begin() + from + n)};
    };
    auto [lx, ly] = part(10000, 4000);
    auto [px, py] = part(0, 30);
    auto [nx, ny] = part(30, 30);
    return {{"Point1", 0xFFFF00, {1, 2, 3}, {4, 5, 6}}, {"Point2", 0xFFFF00, {1, 2}, {3, 4}},
            {"Loop", 0x000000, r.disp, r.force},        {"Loop 3", 0xFF00FF, lx, ly},
            {"Tarvel_Positive", 0xFF0000, px, py},      {"Tarvel_Negative", 0x0000FF, nx, ny}};
}

// The whole export of the chart, from the first automation call to the finished .xlsx file.
void BM_ExportMillionPointChart(benchmark::State& state) {
    const auto chart = millionPointChart();
    const auto folder = std::filesystem::temp_directory_path() / "tc_export_bench";
    std::filesystem::create_directories(folder);
    tc::ExcelExportOptions options;
    tc::InitExcelExportOptions(options);
    const auto factory = tc::defaultExcelHostFactory(folder, '.');
    for (auto _ : state) {
        const auto result = tc::ExportChartToExcel(chart, options, '.', factory);
        state.PauseTiming();
        state.counters["MB"] =
            static_cast<double>(std::filesystem::file_size(result.workbookPath)) / 1e6;
        options.excelApp = tc::Variant();
        std::filesystem::remove(result.workbookPath);
        state.ResumeTiming();
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ExportMillionPointChart)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// The bytes of the "Export Modified Loop" file for a 1,000,000-point analysed curve.
void BM_ModifiedLoopFileBytes(benchmark::State& state) {
    const auto& r = million();
    for (auto _ : state) {
        const std::string bytes =
            tc::modifiedLoopFileBytes(r.disp, r.force, tc::TextFileType::Csv, '.');
        benchmark::DoNotOptimize(bytes.data());
        state.counters["MB"] = static_cast<double>(bytes.size()) / 1e6;
    }
}
BENCHMARK(BM_ModifiedLoopFileBytes)->Unit(benchmark::kMillisecond);

// The same file as a list of lines.
void BM_ModifiedLoopLines(benchmark::State& state) {
    const auto& r = million();
    for (auto _ : state) {
        const auto lines = tc::modifiedLoopLines(r.disp, r.force, tc::TextFileType::Csv, '.');
        benchmark::DoNotOptimize(lines.data());
    }
}
BENCHMARK(BM_ModifiedLoopLines)->Unit(benchmark::kMillisecond);

} // namespace
