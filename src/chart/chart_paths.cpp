#include "chart/chart_paths.h"

#include "chart/chart_view.h"

#include <cmath>

// On the layer of the line series, created after them: drawn above the curves and below the
// point series and marks.
ChartPaths::ChartPaths(ChartView* chart)
    : QCPLayerable(chart, QStringLiteral("main")), chart_(chart) {}

ChartPaths::~ChartPaths() {
    if (chart_) chart_->refresh();
}

void ChartPaths::setPaths(std::vector<Path> paths) {
    paths_ = std::move(paths);
    if (chart_) chart_->refresh();
}

void ChartPaths::applyDefaultAntialiasingHint(QCPPainter* painter) const {
    painter->setAntialiasing(true);
}

void ChartPaths::draw(QCPPainter* painter) {
    QCPAxis* xa = mParentPlot->xAxis;
    QCPAxis* ya = mParentPlot->yAxis;
    painter->setBrush(Qt::NoBrush);
    for (const Path& p : paths_) {
        QPen pen(p.color, 2, Qt::DashLine);
        pen.setCapStyle(Qt::FlatCap);
        painter->setPen(pen);
        QPolygonF line;
        line.reserve(static_cast<qsizetype>(p.points.size()));
        // A point that has no pixel (not finite) breaks the line there.
        auto flush = [&] {
            if (line.size() > 1) painter->drawPolyline(line);
            line.clear();
        };
        for (const QPointF& q : p.points) {
            const QPointF px(xa->coordToPixel(q.x()), ya->coordToPixel(q.y()));
            if (std::isfinite(px.x()) && std::isfinite(px.y()))
                line << px;
            else
                flush();
        }
        flush();
    }
}
