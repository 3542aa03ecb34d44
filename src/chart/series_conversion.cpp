#include "chart/series_conversion.h"

#include "chart/chart_series.h"
#include "chart/chart_view.h"

#include <cstdint>

namespace tc::gui {

PointList seriesPoints(const ChartSeries& s) {
    PointList pts;
    pts.reserve(static_cast<size_t>(s.count()));
    for (int i = 0; i < s.count(); ++i)
        pts.push_back({s.x(i), s.y(i)});
    return pts;
}

void setSeriesPoints(ChartSeries& s, const PointList& pts) {
    std::vector<double> xs, ys;
    xs.reserve(pts.size());
    ys.reserve(pts.size());
    for (const CurvePoint& p : pts) {
        xs.push_back(p.x);
        ys.push_back(p.y);
    }
    s.setPoints(xs, ys);
}

std::vector<ChartSeriesSnapshot> chartSnapshot(const ChartView& chart) {
    std::vector<ChartSeriesSnapshot> out;
    for (const ChartSeries* s : chart.seriesList()) {
        ChartSeriesSnapshot snap;
        snap.title = s->title().toStdString();
        snap.color = static_cast<std::uint32_t>(s->seriesColor().rgb() & 0xFFFFFF);
        snap.xs = s->xs();
        snap.ys = s->ys();
        out.push_back(std::move(snap));
    }
    return out;
}

} // namespace tc::gui
