#pragma once
#include "chart/chart_tool.h"

#include <QPointF>

#include <functional>

class ChartSeries;

// Drags points of one series with the left mouse button. With a series bound and the tool
// active, a press on a point of that series takes the mouse (no zoom rectangle starts); every
// move then puts the point under the mouse, through the series' axes, and calls the drag hook
// with the point's index. The point keeps its place in the series. The chart's axes hold still
// while the point is dragged and catch up after the release; the chart redraws queued, so a
// quick mouse never piles up redraws. Unbound it does nothing.
class DragPointTool : public ChartTool {
    Q_OBJECT
public:
    // Which coordinates of a point follow the mouse.
    enum class Style { X, Y, Both };

    explicit DragPointTool(ChartView* chart);

    ChartSeries* series() const { return series_; }
    // Binds the tool to a series; nullptr unbinds it. A drag in progress ends.
    void setSeries(ChartSeries* series);

    Style style() const { return style_; }
    void setStyle(Style style) { style_ = style; }

    // Called after every move of a dragged point with its index; empty for none. The hook runs
    // inside the chart's mouse handling and must not throw.
    using DragHook = std::function<void(int index)>;
    const DragHook& onDrag() const { return onDrag_; }
    void setOnDrag(DragHook hook) { onDrag_ = std::move(hook); }

    // Switching the tool off ends a drag in progress.
    void setActive(bool active) override;

    bool dragging() const { return index_ >= 0; }
    // The index of the point being dragged, -1 when none.
    int draggedIndex() const { return index_; }

    // The steps of a drag, in pixels of the chart widget (the mouse handlers use these).
    // Takes the point of the bound series under the pixel; false when there is none.
    bool beginDrag(const QPointF& pixel);
    // Moves the taken point to the pixel and calls the hook; the redraw comes later.
    void dragTo(const QPointF& pixel);
    void endDrag();

signals:
    // A press took a point, and its drag ended (release, unbinding or switching off): one
    // press-move-release between them, however many moves.
    void dragStarted(ChartSeries* series, int index);
    void dragFinished(ChartSeries* series, int index);

protected:
    bool mousePressed(QMouseEvent* event) override;
    void mouseMoved(QMouseEvent* event, bool captured) override;
    void mouseReleased(QMouseEvent* event) override;
    void mouseLeft() override;

private:
    void showHoverCursor(bool on);

    ChartSeries* series_ = nullptr;
    Style style_ = Style::Both;
    DragHook onDrag_;
    int index_ = -1;
    bool hoverCursor_ = false;
};
