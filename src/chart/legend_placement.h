#pragma once
#include <QObject>
#include <QPointF>
#include <QSize>

#include <array>
#include <cstddef>

class ChartView;

// The legend's place: one of the four corners of the plot area.
enum class LegendCorner { TopRight, TopLeft, BottomRight, BottomLeft };

LegendCorner legendCorner(const ChartView* chart);
void setLegendCorner(ChartView* chart, LegendCorner corner);
// The corner of the quarter of the plot area a pixel of the chart widget lies in.
LegendCorner cornerAt(ChartView* chart, const QPointF& pixel);

// For each corner (in the order of LegendCorner), how many points of the shown series a legend
// of this size would cover there, with the axes as they are now.
std::array<size_t, 4> pointsUnderLegend(ChartView* chart, const QSize& legendSize);
// The corner covering the fewest points; of equal corners the earlier in the order of
// LegendCorner (top right first).
LegendCorner fewestPointsCorner(const std::array<size_t, 4>& counts);

// Puts the legend where it covers the fewest points, at the next redraw (after the axes have
// followed new data). The user may then drag it to another corner; the next request places it
// anew.
class LegendPlacement : public QObject {
    Q_OBJECT
public:
    explicit LegendPlacement(ChartView* chart);
    void request();
    bool pending() const { return pending_; }

private:
    void place();
    ChartView* chart_;
    bool pending_ = false;
};
