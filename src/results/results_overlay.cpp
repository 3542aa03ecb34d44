#include "results/results_overlay.h"

ResultsOverlay::ResultsOverlay(QCustomPlot* plot) : QCPLayerable(plot, QStringLiteral("markers")) {}

void ResultsOverlay::setResults(const tc::SkeletonResult& positive,
                                const tc::SkeletonResult& negative) {
    marks_.clear();
    auto add = [this](const tc::SkeletonResult& s, const QString& sign) {
        if (!s.valid) return;
        if (s.yield)
            marks_.push_back({QPointF(s.yield->x, s.yield->y), QStringLiteral("Y") + sign});
        marks_.push_back({QPointF(s.peak.x, s.peak.y), QStringLiteral("P") + sign});
        marks_.push_back({QPointF(s.ultimate.x, s.ultimate.y),
                          (s.ultimateReached ? QStringLiteral("U") : QStringLiteral("U*")) + sign});
    };
    add(positive, QStringLiteral("+"));
    add(negative, QStringLiteral("-"));
    if (mParentPlot) mParentPlot->replot(QCustomPlot::rpQueuedReplot);
}

void ResultsOverlay::clearResults() {
    marks_.clear();
    if (mParentPlot) mParentPlot->replot(QCustomPlot::rpQueuedReplot);
}

void ResultsOverlay::applyDefaultAntialiasingHint(QCPPainter* painter) const {
    painter->setAntialiasing(true);
}

QRect ResultsOverlay::clipRect() const {
    return mParentPlot->axisRect()->rect();
}

void ResultsOverlay::draw(QCPPainter* painter) {
    QCPAxis* xa = mParentPlot->xAxis;
    QCPAxis* ya = mParentPlot->yAxis;
    QFont f = mParentPlot->font();
    f.setBold(true);
    painter->setFont(f);
    const double r = 6;
    for (const Mark& m : marks_) {
        const QPointF p(xa->coordToPixel(m.point.x()), ya->coordToPixel(m.point.y()));
        const QChar kind = m.label.at(0);
        const QColor color = kind == QLatin1Char('Y')   ? QColor(0x00, 0x99, 0x33)
                             : kind == QLatin1Char('P') ? QColor(0xE0, 0x70, 0x00)
                                                        : QColor(0x80, 0x00, 0x80);
        painter->setPen(QPen(color, 2));
        painter->setBrush(Qt::NoBrush);
        if (kind == QLatin1Char('Y')) {
            const QPointF tri[3] = {p + QPointF(0, -r), p + QPointF(r, r * 0.8),
                                    p + QPointF(-r, r * 0.8)};
            painter->drawPolygon(tri, 3);
        } else if (kind == QLatin1Char('P')) {
            painter->drawRect(QRectF(p.x() - r, p.y() - r, 2 * r, 2 * r));
        } else {
            const QPointF dia[4] = {p + QPointF(0, -r), p + QPointF(r, 0), p + QPointF(0, r),
                                    p + QPointF(-r, 0)};
            painter->drawPolygon(dia, 4);
        }
        // Labels outside the curve: above right for the positive side, below left for the negative.
        const bool positive = m.label.endsWith(QLatin1Char('+'));
        const QPointF at = positive ? p + QPointF(r + 2, -r - 2) : p + QPointF(-r - 2, r + 2);
        const QRectF box =
            positive ? QRectF(at.x(), at.y() - 20, 60, 20) : QRectF(at.x() - 60, at.y(), 60, 20);
        painter->drawText(
            box, (positive ? Qt::AlignLeft | Qt::AlignBottom : Qt::AlignRight | Qt::AlignTop),
            m.label);
    }
}
