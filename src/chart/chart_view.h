#pragma once
#include <qcustomplot.h>

#include <QPointF>

#include <vector>

class ChartSeries;

// The chart control: a QCustomPlot holding the program's series in a fixed list order. Axes
// follow the data whenever points change, unless the user has zoomed or scrolled.
class ChartView : public QCustomPlot {
    Q_OBJECT
public:
    explicit ChartView(QWidget* parent = nullptr);

    // Creates a series and appends it to the series list.
    ChartSeries* addSeries(int kind);
    const std::vector<ChartSeries*>& seriesList() const { return series_; }
    int seriesCount() const { return static_cast<int>(series_.size()); }
    ChartSeries* getSeries(int i) const { return series_.at(static_cast<size_t>(i)); }

    // Last mouse position over the chart, in pixels of the chart widget.
    QPointF lastMousePos() const { return lastMouse_; }

    bool userZoomed() const { return userZoomed_; }
    // Shows all data again and lets the axes follow the data.
    void resetZoom();
    // Fits the axes to the data of all shown series now.
    void fitToData();

    // Called by the series layer.
    void seriesPointsChanged(ChartSeries* series);
    void seriesPointMoved(ChartSeries* series);
    void seriesLookChanged();

    // While a point is being dragged the axes hold still.
    void setHoldAxes(bool hold) { holdAxes_ = hold; }

signals:
    void chartMouseMove(int x, int y);
    void chartDoubleClick();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

    void markUserZoomed() { userZoomed_ = true; }

private:
    void scheduleReplot();

    std::vector<ChartSeries*> series_;
    QPointF lastMouse_;
    bool userZoomed_ = false;
    bool holdAxes_ = false;
    bool fitPending_ = false;
};
