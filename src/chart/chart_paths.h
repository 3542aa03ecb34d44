#pragma once
#include <qcustomplot.h>

#include <QColor>
#include <QPointF>
#include <QPointer>

#include <vector>

class ChartView;

// Dashed lines through points of the chart (an evaluation curve, say), drawn above the line
// series. Not a series: they never appear in the series list, the legend or an export. Deleting
// the paths takes them off the chart.
class ChartPaths : public QCPLayerable {
public:
    struct Path {
        std::vector<QPointF> points; // chart coordinates, drawn in this order
        QColor color;
    };

    explicit ChartPaths(ChartView* chart);
    ~ChartPaths() override;

    // Replaces every path and queues a redraw.
    void setPaths(std::vector<Path> paths);
    const std::vector<Path>& paths() const { return paths_; }

protected:
    void applyDefaultAntialiasingHint(QCPPainter* painter) const override;
    void draw(QCPPainter* painter) override;

private:
    QPointer<ChartView> chart_;
    std::vector<Path> paths_;
};
