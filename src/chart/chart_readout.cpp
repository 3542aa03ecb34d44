#include "chart/chart_readout.h"

#include "chart/chart_series.h"
#include "chart/chart_view.h"
#include "ui/qt_number.h"

#include <QMouseEvent>
#include <QToolTip>

#include <cmath>

namespace {

// A value rounded to the decimal step that one pixel of an axis spans, so the read-out shows the
// digits the mouse can tell apart and no more.
double roundToPixel(double value, const QCPAxis* axis) {
    const double perPixel =
        std::abs(axis->pixelToCoord(1) - axis->pixelToCoord(0)); // value units per pixel
    if (!(perPixel > 0) || !std::isfinite(perPixel) || !std::isfinite(value)) return value;
    const double step = std::pow(10.0, std::floor(std::log10(perPixel)));
    const double rounded = std::round(value / step) * step;
    return std::isfinite(rounded) ? rounded : value;
}

} // namespace

ChartReadout::ChartReadout(ChartView* chart) : ChartTool(chart) {}

void ChartReadout::setCurves(std::vector<ChartSeries*> curves) {
    curves_ = std::move(curves);
}

ChartReadout::Hit ChartReadout::pointAt(const QPointF& pixel) const {
    Hit best;
    double bestDist = 0;
    for (ChartSeries* s : curves_) {
        const int i = s->pointAt(pixel, kHoverPixels);
        if (i < 0) continue;
        const QPointF p = s->valueToScreen(s->x(i), s->y(i));
        const double d = std::hypot(p.x() - pixel.x(), p.y() - pixel.y());
        if (!best || d <= bestDist) {
            best = {s, i};
            bestDist = d;
        }
    }
    return best;
}

QString ChartReadout::positionText(const QPointF& pixel) const {
    ChartView* c = chart();
    if (!QRectF(c->axisRect()->rect()).contains(pixel)) return {};
    const double x = roundToPixel(c->xAxis->pixelToCoord(pixel.x()), c->xAxis);
    const double y = roundToPixel(c->yAxis->pixelToCoord(pixel.y()), c->yAxis);
    return QStringLiteral("%1: %2   %3: %4")
        .arg(c->xAxis->label(), tc::gui::numberText(x, separator_), c->yAxis->label(),
             tc::gui::numberText(y, separator_));
}

QString ChartReadout::coordinatesText(double x, double y) const {
    return QStringLiteral("%1 %2, %3 %4")
        .arg(chart()->xAxis->label(), tc::gui::numberText(x, separator_), chart()->yAxis->label(),
             tc::gui::numberText(y, separator_));
}

QString ChartReadout::xTitle() const {
    return chart()->xAxis->label();
}
QString ChartReadout::yTitle() const {
    return chart()->yAxis->label();
}
QString ChartReadout::valueText(double v) const {
    return tc::gui::numberText(v, separator_);
}

QString ChartReadout::pointText(const Hit& hit) const {
    if (!hit || hit.index >= hit.series->count()) return {};
    const ChartSeries* s = hit.series;
    QString text =
        QStringLiteral("%1, point %2\n%3: %4\n%5: %6")
            .arg(s->title())
            .arg(hit.index)
            .arg(s->keyAxis()->label(), tc::gui::numberText(s->x(hit.index), separator_),
                 s->valueAxis()->label(), tc::gui::numberText(s->y(hit.index), separator_));
    if (note_) {
        const QString note = note_(s, hit.index);
        if (!note.isEmpty()) text += QLatin1Char('\n') + note;
    }
    return text;
}

void ChartReadout::readAt(const QPointF& pixel, bool buttonsHeld) {
    setPosition(positionText(pixel));
    // While a button is held the mouse zooms, scrolls or drags: no tooltip in the way.
    showTip(buttonsHeld ? Hit{} : pointAt(pixel), pixel);
}

void ChartReadout::mouseMoved(QMouseEvent* event, bool) {
    readAt(event->position(), event->buttons() != Qt::NoButton);
}

void ChartReadout::mouseLeft() {
    setPosition({});
    showTip({}, {});
}

void ChartReadout::setPosition(const QString& text) {
    if (text == position_) return;
    position_ = text;
    emit positionChanged(text);
}

void ChartReadout::showTip(const Hit& hit, const QPointF& pixel) {
    hovered_ = hit;
    const QString text = pointText(hit);
    if (text.isEmpty()) {
        if (!tip_.isEmpty()) QToolTip::hideText();
        tip_.clear();
        return;
    }
    if (text == tip_ && QToolTip::isVisible()) return;
    tip_ = text;
    // Beside the point rather than under the pointer, so the point stays visible.
    const QPoint at = chart()->mapToGlobal(pixel.toPoint() + QPoint(12, 12));
    QToolTip::showText(at, text, chart());
}
