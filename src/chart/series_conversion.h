#pragma once
#include "common/point_list.h"
#include "export/chart_export.h"

#include <vector>

class ChartSeries;
class ChartView;

// Between the chart's series and the core's point lists: the one place where series points
// become core values and back.
namespace tc::gui {

// The points of a chart series as a point list, and back (the series is emptied and refilled).
PointList seriesPoints(const ChartSeries& series);
void setSeriesPoints(ChartSeries& series, const PointList& points);

// Every series of the chart, shown or hidden, in the chart's order, as the workbook export reads
// it.
std::vector<ChartSeriesSnapshot> chartSnapshot(const ChartView& chart);

} // namespace tc::gui
