// The result plots of 250,000 loops refreshed, and the report of a 1,000,000-point record.
// Part of gui_bench (its main is in chart_bench.cpp); run with QT_QPA_PLATFORM=offscreen.
#include "analysed_record.h"
#include "app/tform1.h"
#include "chart/chart_view.h"
#include "record_generator.h"
#include "results/engineering_results.h"
#include "results/result_plot_pages.h"
#include "results/result_plots.h"
#include "ui/file_writing.h"

#include <QElapsedTimer>
#include <QTabWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

namespace {

// Every plot of the results window refreshed for a 250,000-loop result: the plot data taken
// from the results, every series filled and every plot drawn. Goal: < 200 ms.
void BM_ResultPlotsRefresh250kLoops(benchmark::State& state) {
    const tc::LoopAnalysis& a = tc::bench::analysedManyLoops();
    const tc::EngineeringResults r = tc::engineeringResults(a, a.loopCount, {}, {});
    QTabWidget tabs;
    tabs.resize(1000, 600);
    auto* plots = new ResultPlotSet(&tabs);
    tabs.show();
    for (ResultPlotPage* p : plots->pages())
        p->plot->resize(960, 480);
    std::vector<double> ms(plots->pages().size() + 2, 0);
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        const tc::ResultPlots data = tc::resultPlots(a, r);
        ms[0] += t.nsecsElapsed() / 1e6;
        t.restart();
        plots->show(data, QStringLiteral("Disp"), QStringLiteral("Force"), '.');
        ms[1] += t.nsecsElapsed() / 1e6;
        for (std::size_t i = 0; i < plots->pages().size(); ++i) {
            t.restart();
            plots->pages()[i]->plot->replot(QCustomPlot::rpImmediateRefresh);
            ms[i + 2] += t.nsecsElapsed() / 1e6;
        }
    }
    if (qEnvironmentVariableIsSet("TC_BENCH_DETAIL"))
        for (std::size_t i = 0; i < ms.size(); ++i)
            state.counters["ms" + std::to_string(i)] =
                ms[i] / static_cast<double>(state.iterations());
    state.counters["loops"] = static_cast<double>(r.loops.size());
    state.counters["levels"] = static_cast<double>(r.levels.size());
}
BENCHMARK(BM_ResultPlotsRefresh250kLoops)->Unit(benchmark::kMillisecond)->Iterations(5);

// "Export Report..." for an imported, analysed and extracted 1,000,000-point record: the PDF
// made and written. Goal: < 3 s.
void BM_Report1MPoints(benchmark::State& state) {
    TForm1 w;
    QTemporaryDir dir;
    const tc::bench::Record rec = tc::bench::makeCyclicRecord(1'000'000);
    const QString record = dir.filePath(QStringLiteral("million.csv"));
    tc::gui::writeWholeFile(record, tc::bench::recordText(rec));
    w.importRecordFile(record, 1, 1);
    w.btn2Click();
    w.btn5Click();
    int pages = 0;
    std::size_t bytes = 0;
    for (auto _ : state) {
        const QByteArray pdf = w.reportBytes(&pages);
        tc::gui::writeWholeFile(dir.filePath(QStringLiteral("report.pdf")),
                                std::string_view(pdf.constData(), pdf.size()));
        bytes = static_cast<std::size_t>(pdf.size());
    }
    state.counters["pages"] = pages;
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
    state.counters["points"] = static_cast<double>(w.dispRaw.size());
}
BENCHMARK(BM_Report1MPoints)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
