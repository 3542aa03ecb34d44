// The chart with a 1,000,000-point imported record, drawn offscreen into the chart's paint
// buffers at the window's chart size (649 x 612). Run with QT_QPA_PLATFORM=offscreen.
#include "app/tform1.h"
#include "chart/chart_readout.h"
#include "chart/chart_series.h"
#include "chart/chart_view.h"
#include "chart/cursor_tool.h"
#include "chart/drag_point_tool.h"
#include "chart/legend_placement.h"
#include "record_generator.h"

#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace {

TForm1* form = nullptr;

const tc::bench::Record& million() {
    static const tc::bench::Record r = tc::bench::makeCyclicRecord(1'000'000);
    return r;
}

// The window with the record imported and drawn once, nothing zoomed, tools in their
// construction state.
TForm1& imported() {
    TForm1& w = *form;
    w.crsrtlChartTool1->setActive(false);
    w.drgpntlChartTool1->setSeries(nullptr);
    w.rawSeries->setPointerVisible(false);
    if (w.rawSeries->count() != static_cast<int>(million().disp.size()))
        w.rawSeries->setPoints(million().disp, million().force);
    w.cht1->resetZoom();
    w.cht1->replot(QCustomPlot::rpImmediateRefresh);
    return w;
}

// What the user waits for after an import: the series filled, the axes fitted, the chart drawn.
void BM_FirstDrawAfterImport(benchmark::State& state) {
    TForm1& w = imported();
    for (auto _ : state) {
        state.PauseTiming();
        w.rawSeries->clear();
        w.cht1->replot(QCustomPlot::rpImmediateRefresh);
        state.ResumeTiming();
        w.rawSeries->setPoints(million().disp, million().force);
        w.cht1->replot(QCustomPlot::rpImmediateRefresh);
    }
}
BENCHMARK(BM_FirstDrawAfterImport)->Unit(benchmark::kMillisecond)->Iterations(10);

// The chart drawn again with nothing changed, all of the record in view.
void BM_RedrawZoomedOut(benchmark::State& state) {
    TForm1& w = imported();
    for (auto _ : state)
        w.cht1->replot(QCustomPlot::rpImmediateRefresh);
}
BENCHMARK(BM_RedrawZoomedOut)->Unit(benchmark::kMillisecond);

// The same, zoomed in ten times about the middle of the plot.
void BM_RedrawZoomedIn10x(benchmark::State& state) {
    TForm1& w = imported();
    w.cht1->zoomAt(w.cht1->plotArea().center(), 0.1);
    for (auto _ : state)
        w.cht1->replot(QCustomPlot::rpImmediateRefresh);
}
BENCHMARK(BM_RedrawZoomedIn10x)->Unit(benchmark::kMillisecond);

// The window showing a 10,000,000-point record, all of it in view.
TForm1& importedTenMillion() {
    TForm1& w = imported();
    {
        const tc::bench::Record big = tc::bench::makeCyclicRecord(10'000'000);
        w.rawSeries->setPoints(big.disp, big.force);
    }
    w.cht1->resetZoom();
    w.cht1->replot(QCustomPlot::rpImmediateRefresh);
    return w;
}

// A redraw of a 10,000,000-point record, all of it in view.
void BM_Redraw10M(benchmark::State& state) {
    TForm1& w = importedTenMillion();
    for (auto _ : state)
        w.cht1->replot(QCustomPlot::rpImmediateRefresh);
    w.rawSeries->clear();
}
BENCHMARK(BM_Redraw10M)->Unit(benchmark::kMillisecond);

// Scroll steps (right drags) of a drag that goes one way for 12 steps (480 by 300 pixels, more
// than the plot's size), then back, each followed by the redraw.
void scrollAndRedraw(benchmark::State& state, TForm1& w) {
    int step = 0;
    for (auto _ : state) {
        const double sign = (step++ / 12) % 2 == 0 ? 1 : -1;
        w.cht1->scrollBy(QPointF(sign * 40, sign * -25));
        w.cht1->replot(QCustomPlot::rpImmediateRefresh);
    }
}

// A scroll step of a 10,000,000-point record, then the redraw.
void BM_Redraw10MAfterScroll(benchmark::State& state) {
    TForm1& w = importedTenMillion();
    scrollAndRedraw(state, w);
    w.rawSeries->clear();
}
BENCHMARK(BM_Redraw10MAfterScroll)->Unit(benchmark::kMillisecond);

// A scroll step (right drag), then the redraw.
void BM_RedrawAfterScroll(benchmark::State& state) {
    scrollAndRedraw(state, imported());
}
BENCHMARK(BM_RedrawAfterScroll)->Unit(benchmark::kMillisecond);

// A wheel notch about a point of the plot, then the redraw.
void BM_RedrawAfterZoom(benchmark::State& state) {
    TForm1& w = imported();
    const QPointF at = w.cht1->plotArea().center() + QPointF(60, -40);
    bool in = true;
    for (auto _ : state) {
        w.cht1->zoomAt(at, in ? 0.85 : 1 / 0.85);
        w.cht1->replot(QCustomPlot::rpImmediateRefresh);
        in = !in;
    }
}
BENCHMARK(BM_RedrawAfterZoom)->Unit(benchmark::kMillisecond);

// The raw curve with its markers shown (while it is being edited).
void BM_RedrawWithMarkers(benchmark::State& state) {
    TForm1& w = imported();
    w.rawSeries->setPointerVisible(true);
    for (auto _ : state)
        w.cht1->replot(QCustomPlot::rpImmediateRefresh);
    w.rawSeries->setPointerVisible(false);
}
BENCHMARK(BM_RedrawWithMarkers)->Unit(benchmark::kMillisecond);

// A wheel notch with the raw curve's markers shown, then the redraw.
void BM_WheelZoomWithMarkers(benchmark::State& state) {
    TForm1& w = imported();
    w.rawSeries->setPointerVisible(true);
    const QPointF at = w.cht1->plotArea().center() + QPointF(60, -40);
    bool in = true;
    for (auto _ : state) {
        w.cht1->zoomAt(at, in ? 0.85 : 1 / 0.85);
        w.cht1->replot(QCustomPlot::rpImmediateRefresh);
        in = !in;
    }
    w.rawSeries->setPointerVisible(false);
}
BENCHMARK(BM_WheelZoomWithMarkers)->Unit(benchmark::kMillisecond);

void choose(QComboBox* list, int item) {
    list->setCurrentIndex(item);
    emit list->activated(item); // as the user's choice
}

// Under drag node, choosing "LOOP" in the curve list (markers shown, the drag tool bound) and
// the redraw that follows; then choosing "None" again.
void BM_LoopEditingOn(benchmark::State& state) {
    TForm1& w = imported();
    choose(w.cbb3, 1);
    for (auto _ : state) {
        state.PauseTiming();
        choose(w.cbb2, 0);
        w.cht1->replot(QCustomPlot::rpImmediateRefresh);
        state.ResumeTiming();
        choose(w.cbb2, 3);
        w.cht1->replot(QCustomPlot::rpImmediateRefresh);
    }
    choose(w.cbb2, 0);
    choose(w.cbb3, 0);
}
BENCHMARK(BM_LoopEditingOn)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_LoopEditingOff(benchmark::State& state) {
    TForm1& w = imported();
    choose(w.cbb3, 1);
    for (auto _ : state) {
        state.PauseTiming();
        choose(w.cbb2, 3);
        w.cht1->replot(QCustomPlot::rpImmediateRefresh);
        state.ResumeTiming();
        choose(w.cbb2, 0);
        w.cht1->replot(QCustomPlot::rpImmediateRefresh);
    }
    choose(w.cbb3, 0);
}
BENCHMARK(BM_LoopEditingOff)->Unit(benchmark::kMillisecond)->Iterations(10);

// Under drag node on "LOOP": one move of a dragged raw point and the redraw of the chart.
void BM_DragStepWithRedraw(benchmark::State& state) {
    TForm1& w = imported();
    choose(w.cbb3, 1);
    choose(w.cbb2, 3);
    ChartSeries* s = w.rawSeries;
    DragPointTool* tool = w.drgpntlChartTool1;
    const int i = s->count() / 3;
    const QPointF p = s->valueToScreen(s->x(i), s->y(i));
    w.cht1->replot(QCustomPlot::rpImmediateRefresh);
    if (!tool->beginDrag(p)) {
        state.SkipWithError("no point under the mouse");
        return;
    }
    int step = 0;
    for (auto _ : state) {
        tool->dragTo(p + QPointF(step % 7, -(step % 5)));
        w.cht1->replot(QCustomPlot::rpImmediateRefresh);
        ++step;
    }
    tool->endDrag();
    choose(w.cbb2, 0);
    choose(w.cbb3, 0);
}
BENCHMARK(BM_DragStepWithRedraw)->Unit(benchmark::kMillisecond);

// A mouse move with the cross-hair following it: the overlay is redrawn and the widget
// repainted from its buffers; the curve is not drawn again.
void BM_CrossHairMouseMove(benchmark::State& state) {
    TForm1& w = imported();
    w.crsrtlChartTool1->setActive(true);
    const QPointF c = w.cht1->plotArea().center();
    int i = 0;
    for (auto _ : state) {
        const QPointF p = c + QPointF(i % 50, (i % 30) - 15);
        QMouseEvent e(QEvent::MouseMove, p, w.cht1->mapToGlobal(p), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(w.cht1, &e);
        w.cht1->repaint();
        ++i;
    }
    w.crsrtlChartTool1->setActive(false);
}
BENCHMARK(BM_CrossHairMouseMove)->Unit(benchmark::kMillisecond);

// Press on a point of the bound million-point curve (hit test) and one drag step (data update);
// the redraw is queued and not part of it.
void BM_HitTestAndDragStep(benchmark::State& state) {
    TForm1& w = imported();
    ChartSeries* s = w.rawSeries;
    DragPointTool* tool = w.drgpntlChartTool1;
    tool->setSeries(s);
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> pick(0, s->count() - 1);
    (void)s->pointAt(w.cht1->plotArea().center()); // the hit-test index is built once per import
    int hits = 0;
    for (auto _ : state) {
        const int i = pick(rng);
        const QPointF p = s->valueToScreen(s->x(i), s->y(i));
        if (tool->beginDrag(p)) {
            ++hits;
            tool->dragTo(p + QPointF(1, 1));
            tool->dragTo(p);
            tool->endDrag();
        }
    }
    state.counters["hit"] = benchmark::Counter(hits, benchmark::Counter::kAvgIterations);
    tool->setSeries(nullptr);
}
BENCHMARK(BM_HitTestAndDragStep)->Unit(benchmark::kMicrosecond);

// The first hit test after an import builds the index of the curve.
void BM_FirstHitTestAfterImport(benchmark::State& state) {
    TForm1& w = imported();
    ChartSeries* s = w.rawSeries;
    const QPointF p = s->valueToScreen(s->x(1234), s->y(1234));
    for (auto _ : state) {
        state.PauseTiming();
        s->setPoints(million().disp, million().force);
        state.ResumeTiming();
        benchmark::DoNotOptimize(s->pointAt(p));
    }
}
BENCHMARK(BM_FirstHitTestAfterImport)->Unit(benchmark::kMillisecond)->Iterations(10);

// The engineering results window refreshed after a command, for a 1,000,000-point record that
// jitters through the reference at every other sample: 250,000 loops in the table.
void BM_ResultsWindowRefresh(benchmark::State& state) {
    TForm1& w = *form;
    w.dispRaw.clear();
    w.forceRaw.clear();
    for (int i = 0; i < 1'000'000; ++i) {
        const double amplitude = 1 + (i % 1000) * 0.01;
        w.dispRaw.push_back(i == 0 ? 0 : (i % 4 < 2 ? amplitude : -amplitude));
        w.forceRaw.push_back(3 * w.dispRaw.back() + (i % 2));
    }
    w.btn2Click();
    w.EngineeringResults1Click();
    state.counters["loops"] = static_cast<double>(w.cbb1->count());
    for (auto _ : state)
        w.updateEngineeringResults();
}
BENCHMARK(BM_ResultsWindowRefresh)->Unit(benchmark::kMillisecond)->Iterations(5);

// The read-outs of one mouse move over the million-point curve: the coordinates and the point
// tooltip (the hit test over every curve). The point grid is built before timing, by the first
// hover after the import.
void BM_HoverReadout(benchmark::State& state) {
    TForm1& w = imported();
    const QRect area = w.cht1->plotArea();
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> px(area.left(), area.right()),
        py(area.top(), area.bottom());
    std::vector<QPointF> at(256);
    for (QPointF& p : at)
        p = QPointF(px(rng), py(rng));
    w.chartReadout->readAt(at.front());
    size_t k = 0, hits = 0;
    for (auto _ : state) {
        w.chartReadout->readAt(at[k++ % at.size()]);
        hits += w.chartReadout->hoveredPoint() ? 1 : 0;
    }
    state.counters["hit share"] = static_cast<double>(hits) / static_cast<double>(k);
}
BENCHMARK(BM_HoverReadout)->Unit(benchmark::kMicrosecond);

// Counting the points under the legend in each corner, as after an import.
void BM_LegendPlacement(benchmark::State& state) {
    TForm1& w = imported();
    const QSize legend = w.cht1->legendRect().size();
    for (auto _ : state)
        benchmark::DoNotOptimize(pointsUnderLegend(w.cht1, legend));
}
BENCHMARK(BM_LegendPlacement)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    auto window = std::make_unique<TForm1>();
    window->show();
    QCoreApplication::processEvents();
    form = window.get();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
