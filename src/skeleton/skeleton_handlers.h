#pragma once
#include "skeleton/skeleton_curve.h"

class ChartSeries;

namespace tc::gui {

// The points of a chart series as a point list, and back (the series is emptied and refilled).
PointList seriesPoints(const ChartSeries& series);
void setSeriesPoints(ChartSeries& series, const PointList& points);

} // namespace tc::gui
