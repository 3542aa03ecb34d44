#pragma once
#include <QObject>

class ChartView;
class QMouseEvent;

// A tool of the chart: it sees the mouse on the chart before the chart's own navigation does.
// Tools belong to their chart and are asked in the order they were created.
class ChartTool : public QObject {
    Q_OBJECT
public:
    explicit ChartTool(ChartView* chart);

    ChartView* chart() const { return chart_; }

    bool active() const { return active_; }
    virtual void setActive(bool active) { active_ = active; }

    // A button went down over the chart. Returning true takes the mouse: moves and the release
    // then go to this tool alone, until the release.
    virtual bool mousePressed(QMouseEvent* event);
    // Every move over the chart; `captured` when this tool holds the mouse.
    virtual void mouseMoved(QMouseEvent* event, bool captured);
    // The release that ends this tool's hold on the mouse.
    virtual void mouseReleased(QMouseEvent* event);
    // The mouse left the chart.
    virtual void mouseLeft();

private:
    ChartView* chart_;
    bool active_ = true;
};
