#pragma once
#include "chart/chart_tool.h"

#include <QPointF>

// A cross-hair over the plot area. While active and following the mouse, it sits at the mouse
// position whenever the mouse is over the plot area. It is drawn on an overlay of its own, so
// moving it never redraws the series.
class CursorTool : public ChartTool {
    Q_OBJECT
public:
    explicit CursorTool(ChartView* chart);

    // Switching it off removes the cross-hair at once; switching it on shows it at the last
    // mouse position when the mouse is over the chart.
    void setActive(bool active) override;

    bool followMouse() const { return followMouse_; }
    void setFollowMouse(bool follow) { followMouse_ = follow; }

    // Puts the cross-hair at a pixel of the chart widget (shown only while active).
    void setPosition(const QPointF& pixel);
    QPointF position() const { return pos_; }
    // The cross-hair's position on the bottom and left axes.
    double xValue() const;
    double yValue() const;
    // Whether the cross-hair is drawn now.
    bool shown() const;

protected:
    void mouseMoved(QMouseEvent* event, bool captured) override;
    void mouseLeft() override;

private:
    bool followMouse_ = true;
    bool mouseInside_ = false;
    QPointF pos_;
};
