#include "record_generator.h"
#include "workspace/sheet_table.h"
#include "workspace/workbook_reader.h"

#include <benchmark/benchmark.h>
#include <xlsxwriter.h>

#include <cstdio>
#include <filesystem>

namespace {

// A 1,000,000-row .xlsx record (names row, then displacement and force), written once.
const std::string& millionRowWorkbook() {
    static const std::string path = [] {
        const std::string p =
            (std::filesystem::temp_directory_path() / "tarvelcurve_bench_million.xlsx").string();
        const tc::bench::Record r = tc::bench::makeCyclicRecord(1'000'000);
        lxw_workbook_options options = {};
        options.constant_memory = LXW_TRUE;
        lxw_workbook* wb = workbook_new_opt(p.c_str(), &options);
        lxw_worksheet* ws = workbook_add_worksheet(wb, "Record");
        worksheet_write_string(ws, 0, 0, "disp_mm", nullptr);
        worksheet_write_string(ws, 0, 1, "force_kN", nullptr);
        for (size_t i = 0; i < r.disp.size(); ++i) {
            worksheet_write_number(ws, static_cast<lxw_row_t>(i + 1), 0, r.disp[i], nullptr);
            worksheet_write_number(ws, static_cast<lxw_row_t>(i + 1), 1, r.force[i], nullptr);
        }
        workbook_close(wb);
        return p;
    }();
    return path;
}

// Importing it: the sheet unzipped and parsed, then the record read from begin line 2.
void BM_ImportMillionRowXlsx(benchmark::State& state) {
    if (!tc::workbookReadersAvailable()) {
        state.SkipWithError("this build reads no workbooks");
        return;
    }
    const std::string& path = millionRowWorkbook();
    for (auto _ : state) {
        const tc::WorkbookSheet book = tc::readWorkbook(path, 0);
        const tc::RecordReadResult r = tc::readSheetRecord(book.table, 2, 1, '.', {});
        if (r.disp.size() != 1'000'000) state.SkipWithError("wrong point count");
        benchmark::DoNotOptimize(r.disp.data());
    }
}
BENCHMARK(BM_ImportMillionRowXlsx)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
