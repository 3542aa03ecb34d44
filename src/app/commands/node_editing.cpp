// Node editing on the chart: choosing the operation and the curve, dragging, adding and deleting
// points of the skeleton curves and of the imported curve.
#include "app/tform1.h"
#include "chart/chart_series.h"
#include "chart/chart_view.h"
#include "chart/cursor_tool.h"
#include "chart/drag_point_tool.h"
#include "chart/series_conversion.h"
#include "skeleton/node_insertion.h"

#include <QComboBox>
#include <QSignalBlocker>

#include <algorithm>

namespace {

enum EditMode { kNone = 0, kDrag = 1, kAdd = 2, kDelete = 3 };

} // namespace

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
    // The results read the skeleton curves and the analysis, which a raw point does not change.
    if (drgpntlChartTool1->series() != rawSeries) scheduleResultsUpdate();
    // A dragged point of the imported curve goes back into the arrays the analysis reads, at the
    // entry it came from (points deleted on the chart before it do not shift it).
    if (drgpntlChartTool1->series() != rawSeries) return;
    if (index < 0 || static_cast<size_t>(index) >= rawSeriesSource.size()) return;
    const auto src = static_cast<size_t>(rawSeriesSource[static_cast<size_t>(index)]);
    if (src >= dispRaw.size() || src >= forceRaw.size()) return;
    // The imported value of a point is kept when it is first moved.
    const auto at =
        std::lower_bound(rawOriginals.begin(), rawOriginals.end(), static_cast<int>(src),
                         [](const tc::RawPointValue& p, int i) { return p.index < i; });
    if (at == rawOriginals.end() || at->index != static_cast<int>(src))
        rawOriginals.insert(at, {static_cast<int>(src), dispRaw[src], forceRaw[src]});
    dispRaw[src] = rawSeries->x(index);
    forceRaw[src] = rawSeries->y(index);
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
    } else if (editMode == kDelete) {
        const int i = s->cursorValueIndex();
        if (i < 0) return;
        s->deleteAt(i);
        // Only the chart loses the point; the arrays keep it, so the next analysis still has it.
        if (s == rawSeries && static_cast<size_t>(i) < rawSeriesSource.size())
            rawSeriesSource.erase(rawSeriesSource.begin() + i);
    }
}
