#include "results/results_overlay.h"

#include <algorithm>
#include <cmath>

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

// The whole widget: a mark on the edge of the plot area stays whole.
QRect ResultsOverlay::clipRect() const {
    return mParentPlot->viewport();
}

void ResultsOverlay::draw(QCPPainter* painter) {
    QCPAxis* xa = mParentPlot->xAxis;
    QCPAxis* ya = mParentPlot->yAxis;
    const QRectF area = mParentPlot->axisRect()->rect();
    QFont f = mParentPlot->font();
    f.setBold(true);
    painter->setFont(f);
    const QFontMetricsF metrics(f);
    const double r = 6;
    // Marks on one spot (a peak that is also the ultimate point) share one label.
    std::vector<std::pair<QPointF, QString>> labels;
    for (const Mark& m : marks_) {
        const QPointF p(xa->coordToPixel(m.point.x()), ya->coordToPixel(m.point.y()));
        if (!std::isfinite(p.x()) || !std::isfinite(p.y())) continue;
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
            const QPointF dia[4] = {p + QPointF(0, -r - 2), p + QPointF(r + 2, 0),
                                    p + QPointF(0, r + 2), p + QPointF(-r - 2, 0)};
            painter->drawPolygon(dia, 4);
        }
        auto same = std::find_if(labels.begin(), labels.end(), [&](const auto& l) {
            return std::abs(l.first.x() - p.x()) < 3 && std::abs(l.first.y() - p.y()) < 3;
        });
        if (same == labels.end())
            labels.emplace_back(p, m.label);
        else
            same->second += QLatin1Char(' ') + m.label;
    }
    // Labels away from the curve: above right on the positive side, below left on the negative,
    // turned to the other side where they would leave the plot area.
    painter->setPen(QPen(QColor(0x30, 0x30, 0x30)));
    for (const auto& [p, text] : labels) {
        const QSizeF size = metrics.size(Qt::TextSingleLine, text);
        const bool positive = text.endsWith(QLatin1Char('+'));
        double x = positive ? p.x() + r + 3 : p.x() - r - 3 - size.width();
        double y = positive ? p.y() - r - 3 - size.height() : p.y() + r + 3;
        if (x + size.width() > area.right()) x = p.x() - r - 3 - size.width();
        if (x < area.left()) x = p.x() + r + 3;
        if (y < area.top()) y = p.y() + r + 3;
        if (y + size.height() > area.bottom()) y = p.y() - r - 3 - size.height();
        painter->drawText(QRectF(QPointF(x, y), size), Qt::AlignLeft | Qt::AlignVCenter, text);
    }
}
