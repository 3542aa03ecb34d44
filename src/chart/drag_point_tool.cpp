#include "chart/drag_point_tool.h"

#include "chart/chart_series.h"
#include "chart/chart_view.h"

#include <QMouseEvent>

DragPointTool::DragPointTool(ChartView* chart) : ChartTool(chart) {}

void DragPointTool::setSeries(ChartSeries* series) {
    if (series == series_) return;
    endDrag();
    showHoverCursor(false);
    series_ = series;
}

void DragPointTool::setActive(bool active) {
    if (!active) {
        endDrag();
        showHoverCursor(false);
    }
    ChartTool::setActive(active);
}

bool DragPointTool::beginDrag(const QPointF& pixel) {
    if (!active() || !series_ || dragging()) return false;
    const int i = series_->pointAt(pixel);
    if (i < 0) return false;
    index_ = i;
    chart()->setHoldAxes(true);
    emit dragStarted(series_, i);
    return true;
}

void DragPointTool::dragTo(const QPointF& pixel) {
    if (!dragging()) return;
    if (index_ >= series_->count()) {
        endDrag();
        return;
    }
    const double x = style_ == Style::Y ? series_->x(index_) : series_->xScreenToValue(pixel.x());
    const double y = style_ == Style::X ? series_->y(index_) : series_->yScreenToValue(pixel.y());
    series_->movePoint(index_, x, y);
    if (onDrag_) onDrag_(index_);
}

void DragPointTool::endDrag() {
    if (!dragging()) return;
    const int index = index_;
    index_ = -1;
    chart()->setHoldAxes(false);
    emit dragFinished(series_, index);
}

bool DragPointTool::mousePressed(QMouseEvent* event) {
    return event->button() == Qt::LeftButton && beginDrag(event->position());
}

void DragPointTool::mouseMoved(QMouseEvent* event, bool captured) {
    if (captured) {
        dragTo(event->position());
        return;
    }
    // Over a point that can be dragged, the pointer says so.
    const bool canDrag = active() && series_ && !(event->buttons() & Qt::LeftButton) &&
                         series_->pointAt(event->position()) >= 0;
    showHoverCursor(canDrag);
}

void DragPointTool::mouseReleased(QMouseEvent*) {
    endDrag();
}

void DragPointTool::mouseLeft() {
    showHoverCursor(false);
}

void DragPointTool::showHoverCursor(bool on) {
    if (on == hoverCursor_) return;
    hoverCursor_ = on;
    if (on)
        chart()->setCursor(Qt::SizeAllCursor);
    else
        chart()->unsetCursor();
}
