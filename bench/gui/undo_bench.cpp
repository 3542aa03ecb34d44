// Undo steps of a 1,000,000-point imported record in the main window. Run with
// QT_QPA_PLATFORM=offscreen (the program's main is in chart_bench.cpp).
#include "app/tform1.h"
#include "chart/chart_series.h"
#include "chart/drag_point_tool.h"
#include "record_generator.h"

#include <QAction>
#include <QUndoStack>

#include <benchmark/benchmark.h>

#include <numeric>

namespace {

// A window of its own holding the record as an import leaves it (made once, kept to the end).
TForm1& window() {
    static TForm1* w = [] {
        auto* f = new TForm1;
        const tc::bench::Record r = tc::bench::makeCyclicRecord(1'000'000);
        f->dispRaw = r.disp;
        f->forceRaw = r.force;
        f->rawSeriesSource.resize(r.disp.size());
        std::iota(f->rawSeriesSource.begin(), f->rawSeriesSource.end(), 0);
        f->rawSeries->setPoints(r.disp, r.force);
        f->drgpntlChartTool1->setSeries(f->rawSeries);
        return f;
    }();
    return *w;
}

// One drag of a raw point as the drag tool reports it: press, a move, release.
void dragStep(TForm1& w, int index, double dx) {
    w.beginStep(QStringLiteral("Drag Node"), tc::RecordPart, true);
    w.rawSeries->movePoint(index, w.rawSeries->x(index) + dx, w.rawSeries->y(index));
    w.drgpntlChartTool1Drag(index);
    w.endStep();
}

// The bookkeeping of one drag step (the copy at the press, the difference at the release).
void BM_RecordDragStep(benchmark::State& state) {
    TForm1& w = window();
    int i = 1000;
    for (auto _ : state)
        dragStep(w, ++i, 0.5);
    state.counters["steps"] = w.undoStack->count();
    w.undoStack->clear();
}
BENCHMARK(BM_RecordDragStep)->Unit(benchmark::kMillisecond)->Iterations(20);

// Undo of one node drag on the 1,000,000-point raw curve. Goal: < 20 ms.
void BM_UndoDragStep(benchmark::State& state) {
    TForm1& w = window();
    dragStep(w, 500000, 1);
    for (auto _ : state) {
        w.undoStack->undo();
        state.PauseTiming();
        w.undoStack->redo();
        state.ResumeTiming();
    }
    w.undoStack->clear();
}
BENCHMARK(BM_UndoDragStep)->Unit(benchmark::kMillisecond);

} // namespace
