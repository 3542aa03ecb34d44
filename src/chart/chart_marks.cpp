#include "chart/chart_marks.h"

#include "chart/chart_view.h"

#include <algorithm>
#include <cmath>

ChartMarks::ChartMarks(ChartView* chart)
    : QCPLayerable(chart, ChartView::kMarkerLayer), chart_(chart) {
    // Deleted with the chart's children, after the chart has stopped being a ChartView.
    connect(chart, &ChartView::closing, this, [this] { chart_ = nullptr; });
}

ChartMarks::~ChartMarks() {
    if (chart_) chart_->refresh();
}

void ChartMarks::setMarks(std::vector<Mark> marks) {
    marks_ = std::move(marks);
    if (chart_) chart_->refresh();
}

void ChartMarks::applyDefaultAntialiasingHint(QCPPainter* painter) const {
    painter->setAntialiasing(true);
}

// The whole widget: a mark on the edge of the plot area stays whole.
QRect ChartMarks::clipRect() const {
    return mParentPlot->viewport();
}

void ChartMarks::draw(QCPPainter* painter) {
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
        painter->setPen(QPen(m.color, 2));
        painter->setBrush(Qt::NoBrush);
        switch (m.shape) {
        case Shape::Triangle: {
            const QPointF tri[3] = {p + QPointF(0, -r), p + QPointF(r, r * 0.8),
                                    p + QPointF(-r, r * 0.8)};
            painter->drawPolygon(tri, 3);
            break;
        }
        case Shape::Square:
            painter->drawRect(QRectF(p.x() - r, p.y() - r, 2 * r, 2 * r));
            break;
        case Shape::Diamond: {
            const QPointF dia[4] = {p + QPointF(0, -r - 2), p + QPointF(r + 2, 0),
                                    p + QPointF(0, r + 2), p + QPointF(-r - 2, 0)};
            painter->drawPolygon(dia, 4);
            break;
        }
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
