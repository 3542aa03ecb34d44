#include "chart/cursor_tool.h"

#include "chart/chart_view.h"

#include <QMouseEvent>

CursorTool::CursorTool(ChartView* chart) : ChartTool(chart) {}

void CursorTool::setActive(bool active) {
    ChartTool::setActive(active);
    if (!active) {
        chart()->hideCrossHair();
        return;
    }
    if (followMouse_) {
        if (!mouseInside_) return; // shown at the next move over the chart
        pos_ = chart()->lastMousePos();
    }
    chart()->showCrossHair(pos_);
}

void CursorTool::setPosition(const QPointF& pixel) {
    pos_ = pixel;
    if (active()) chart()->showCrossHair(pos_);
}

double CursorTool::xValue() const {
    return chart()->xScreenToValue(pos_.x());
}
double CursorTool::yValue() const {
    return chart()->yScreenToValue(pos_.y());
}

bool CursorTool::shown() const {
    return active() && chart()->crossHairShown();
}

void CursorTool::mouseMoved(QMouseEvent* event, bool) {
    mouseInside_ = true;
    if (!followMouse_) return;
    pos_ = event->position();
    if (active()) chart()->showCrossHair(pos_);
}

void CursorTool::mouseLeft() {
    mouseInside_ = false;
    if (active() && followMouse_) chart()->hideCrossHair();
}
