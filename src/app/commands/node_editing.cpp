// Node editing on the chart: choosing the operation and the curve, dragging, adding and deleting
// points of the skeleton curves and of the imported curve, and typing a point's coordinates.
#include "app/tform1.h"
#include "chart/chart_readout.h"
#include "chart/chart_series.h"
#include "chart/chart_view.h"
#include "chart/cursor_tool.h"
#include "chart/drag_point_tool.h"
#include "chart/node_value_form.h"
#include "chart/series_conversion.h"
#include "skeleton/node_insertion.h"

#include <QComboBox>
#include <QSignalBlocker>

#include <algorithm>

namespace {

enum EditMode { kNone = 0, kDrag = 1, kAdd = 2, kDelete = 3 };

} // namespace

// A moved point of the imported curve goes back into the arrays the analysis reads, at the entry
// it came from (points deleted on the chart before it do not shift it).
static void storeRawPoint(TForm1& w, int index) {
    if (index < 0 || static_cast<size_t>(index) >= w.rawSeriesSource.size()) return;
    const auto src = static_cast<size_t>(w.rawSeriesSource[static_cast<size_t>(index)]);
    if (src >= w.dispRaw.size() || src >= w.forceRaw.size()) return;
    // The imported value of a point is kept when it is first moved.
    const auto at =
        std::lower_bound(w.rawOriginals.begin(), w.rawOriginals.end(), static_cast<int>(src),
                         [](const tc::RawPointValue& p, int i) { return p.index < i; });
    if (at == w.rawOriginals.end() || at->index != static_cast<int>(src))
        w.rawOriginals.insert(at, {static_cast<int>(src), w.dispRaw[src], w.forceRaw[src]});
    w.dispRaw[src] = w.rawSeries->x(index);
    w.forceRaw[src] = w.rawSeries->y(index);
}

// The curve of an item of the curve list: "None", "Tarvel Postive", "Tarvel Negative", "LOOP".
static ChartSeries* curveOfItem(const TForm1& w, int item) {
    switch (item) {
    case 1:
        return w.skeletonPosSeries;
    case 2:
        return w.skeletonNegSeries;
    case 3:
        return w.rawSeries;
    default:
        return nullptr;
    }
}

void TForm1::cbb2Change() {
    editSeries = curveOfItem(*this, cbb2->currentIndex());
    applyEditState(editMode, editSeries);
}

void TForm1::cbb3Change() {
    editMode = cbb3->currentIndex();
    const int previous = cbb2->currentIndex();
    {
        // Rebuilding the list from code raises no change handler of its own.
        const QSignalBlocker block(cbb2);
        cbb2->clear();
        cbb2->addItems({QStringLiteral("None"), QStringLiteral("Tarvel Postive"),
                        QStringLiteral("Tarvel Negative")});
        if (editMode != kAdd)
            cbb2->addItem(QStringLiteral("LOOP")); // points are added to skeleton curves only
        cbb2->setCurrentIndex(0);
        if (previous >= 0 && previous < cbb2->count()) cbb2->setCurrentIndex(previous);
    }
    // The cross-hair marks where a point will be added.
    crsrtlChartTool1->setActive(editMode == kAdd);
    editSeries = curveOfItem(*this, cbb2->currentIndex());
    applyEditState(editMode, editSeries);
}

void TForm1::applyEditState(int mode, ChartSeries* series) {
    // The raw curve shows its points exactly while it is being edited, so they can be seen and hit.
    const bool editing = mode == kDrag || mode == kAdd || mode == kDelete;
    rawSeries->setPointerVisible(editing && series == rawSeries);
    if (mode == kDrag && series) {
        drgpntlChartTool1->setOnDrag([this](int index) { drgpntlChartTool1Drag(index); });
        drgpntlChartTool1->setSeries(series);
    } else {
        // Points can be dragged only under drag node.
        drgpntlChartTool1->setOnDrag({});
        drgpntlChartTool1->setSeries(nullptr);
    }
}

void TForm1::drgpntlChartTool1Drag(int index) {
    // The point's coordinates follow it in the status bar.
    showNode(nodeText(drgpntlChartTool1->series(), index));
    // The results read the skeleton curves and the analysis, which a raw point does not change.
    if (drgpntlChartTool1->series() != rawSeries) {
        scheduleResultsUpdate();
        return;
    }
    storeRawPoint(*this, index);
}

void TForm1::setNodeValue(ChartSeries* series, int index, double x, double y) {
    if (!series || index < 0 || index >= series->count()) return;
    series->movePoint(index, x, y);
    if (series == rawSeries) storeRawPoint(*this, index);
    showNode(nodeText(series, index));
}

// The status bar after an add: where the new point went, or why none was added.
static void showAddedNode(TForm1& w, const ChartSeries& s, const tc::PointList& before,
                          const tc::PointList& after, double x) {
    const ChartReadout& readout = *w.chartReadout;
    if (after.size() == before.size()) {
        const QString why = before.empty()
                                ? QStringLiteral("%1 has no points").arg(s.title())
                                : QStringLiteral("%1 %2 is not beyond the first point of %3")
                                      .arg(readout.xTitle(), readout.valueText(x), s.title());
        w.showNode(QStringLiteral("No point added: ") + why);
        return;
    }
    size_t first = 0;
    while (first < before.size() && before[first] == after[first])
        ++first;
    QString text = w.nodeText(&s, static_cast<int>(first));
    const size_t added = after.size() - before.size();
    if (added > 1) text += QStringLiteral(" (added at %1 places)").arg(added);
    w.showNode(QStringLiteral("Added ") + text);
}

void TForm1::cht1DblClick() {
    ChartSeries* s = editSeries;
    if (!s) return;
    if (editMode == kAdd) {
        if (s == rawSeries) return;
        const double x = s->xScreenToValue(mouseX);
        const double y = s->yScreenToValue(mouseY);
        const tc::PointList before = tc::gui::seriesPoints(*s);
        const tc::CurveSide side =
            s == skeletonPosSeries ? tc::CurveSide::Positive : tc::CurveSide::Negative;
        const tc::PointList after = tc::addNode(before, side, x, y);
        if (after.size() != before.size()) tc::gui::setSeriesPoints(*s, after);
        showAddedNode(*this, *s, before, after, x);
    } else if (editMode == kDrag) {
        // A double click on a point of the curve: its exact coordinates, typed.
        const int i = s->cursorValueIndex();
        if (i < 0) return;
        TNodeValueForm form(QStringLiteral("%1, point %2").arg(s->title()).arg(i),
                            chartReadout->xTitle(), chartReadout->yTitle(), s->x(i), s->y(i),
                            decimalSeparator(), this);
        if (form.exec() != QDialog::Accepted) return;
        setNodeValue(s, i, form.xValue(), form.yValue());
    } else if (editMode == kDelete) {
        const int i = s->cursorValueIndex();
        if (i < 0) return;
        s->deleteAt(i);
        // Only the chart loses the point; the arrays keep it, so the next analysis still has it.
        if (s == rawSeries && static_cast<size_t>(i) < rawSeriesSource.size())
            rawSeriesSource.erase(rawSeriesSource.begin() + i);
    }
}
