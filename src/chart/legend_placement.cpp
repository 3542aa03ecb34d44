#include "chart/legend_placement.h"

#include "chart/chart_series.h"
#include "chart/chart_view.h"

#include <algorithm>

namespace {

constexpr Qt::Alignment alignmentOf(LegendCorner c) {
    switch (c) {
    case LegendCorner::TopRight:
        return Qt::AlignTop | Qt::AlignRight;
    case LegendCorner::TopLeft:
        return Qt::AlignTop | Qt::AlignLeft;
    case LegendCorner::BottomRight:
        return Qt::AlignBottom | Qt::AlignRight;
    case LegendCorner::BottomLeft:
        return Qt::AlignBottom | Qt::AlignLeft;
    }
    return Qt::AlignTop | Qt::AlignRight;
}

constexpr std::array<LegendCorner, 4> kCorners{LegendCorner::TopRight, LegendCorner::TopLeft,
                                               LegendCorner::BottomRight, LegendCorner::BottomLeft};

// The rectangle a legend of this size takes in a corner of the plot area.
QRect rectInCorner(const QRect& area, const QSize& size, LegendCorner c) {
    const bool right = c == LegendCorner::TopRight || c == LegendCorner::BottomRight;
    const bool top = c == LegendCorner::TopRight || c == LegendCorner::TopLeft;
    const int x = right ? area.right() + 1 - size.width() : area.left();
    const int y = top ? area.top() : area.bottom() + 1 - size.height();
    return QRect(QPoint(x, y), size);
}

} // namespace

LegendCorner legendCorner(const ChartView* chart) {
    const Qt::Alignment a = chart->axisRect()->insetLayout()->insetAlignment(0);
    const bool right = a & Qt::AlignRight, bottom = a & Qt::AlignBottom;
    if (bottom) return right ? LegendCorner::BottomRight : LegendCorner::BottomLeft;
    return right ? LegendCorner::TopRight : LegendCorner::TopLeft;
}

void setLegendCorner(ChartView* chart, LegendCorner corner) {
    if (legendCorner(chart) == corner) return;
    chart->axisRect()->insetLayout()->setInsetAlignment(0, alignmentOf(corner));
    chart->refresh();
}

LegendCorner cornerAt(ChartView* chart, const QPointF& pixel) {
    const QRectF area = chart->axisRect()->rect();
    const bool right = pixel.x() >= area.center().x(), top = pixel.y() < area.center().y();
    if (top) return right ? LegendCorner::TopRight : LegendCorner::TopLeft;
    return right ? LegendCorner::BottomRight : LegendCorner::BottomLeft;
}

std::array<size_t, 4> pointsUnderLegend(ChartView* chart, const QSize& legendSize) {
    std::array<size_t, 4> counts{};
    const QRect area = chart->axisRect()->rect();
    if (area.isEmpty() || legendSize.isEmpty()) return counts;
    // Each corner's rectangle in data units: a point is under the legend when its value lies
    // inside, which needs no conversion of the points to pixels.
    struct Box {
        double xlo, xhi, ylo, yhi;
    };
    std::array<Box, 4> boxes{};
    for (size_t k = 0; k < 4; ++k) {
        const QRect r = rectInCorner(area, legendSize, kCorners[k]);
        const double x0 = chart->xAxis->pixelToCoord(r.left()),
                     x1 = chart->xAxis->pixelToCoord(r.right() + 1);
        const double y0 = chart->yAxis->pixelToCoord(r.bottom() + 1),
                     y1 = chart->yAxis->pixelToCoord(r.top());
        boxes[k] = {std::min(x0, x1), std::max(x0, x1), std::min(y0, y1), std::max(y0, y1)};
    }
    for (const ChartSeries* s : chart->seriesList()) {
        if (!s->active()) continue;
        for (auto it = s->data()->constBegin(); it != s->data()->constEnd(); ++it) {
            const double x = it->key, y = it->value;
            for (size_t k = 0; k < 4; ++k) {
                const Box& b = boxes[k];
                if (x >= b.xlo && x <= b.xhi && y >= b.ylo && y <= b.yhi) ++counts[k];
            }
        }
    }
    return counts;
}

LegendCorner fewestPointsCorner(const std::array<size_t, 4>& counts) {
    const auto best = std::min_element(counts.begin(), counts.end()); // the first of equals
    return kCorners[static_cast<size_t>(best - counts.begin())];
}

LegendPlacement::LegendPlacement(ChartView* chart) : QObject(chart), chart_(chart) {
    // Connected after the chart's own fit to new data, which therefore runs first.
    connect(chart, &QCustomPlot::beforeReplot, this, [this] {
        if (pending_ && !chart_->holdAxes()) place();
    });
}

void LegendPlacement::request() {
    pending_ = true;
    chart_->refresh();
}

void LegendPlacement::place() {
    pending_ = false;
    const QRect legend = chart_->legendRect(); // lays the chart out for the new axes
    if (legend.isEmpty()) return;
    // Within the redraw under way: the layout that follows puts the legend there.
    const LegendCorner best = fewestPointsCorner(pointsUnderLegend(chart_, legend.size()));
    chart_->axisRect()->insetLayout()->setInsetAlignment(0, alignmentOf(best));
}
