#include "chart/chart_series.h"

#include "chart/chart_view.h"

#include <algorithm>
#include <limits>

ChartSeries::ChartSeries(ChartView* chart, Kind kind)
    : QCPCurve(chart->xAxis, chart->yAxis), kind_(kind) {
    if (kind_ == Kind::Point) {
        setLineStyle(QCPCurve::lsNone);
        pointerVisible_ = true;
    }
    applyStyle();
}

ChartView* ChartSeries::chart() const { return static_cast<ChartView*>(parentPlot()); }

void ChartSeries::setTitle(const QString& title) {
    setName(title);
    chart()->seriesLookChanged();
}

void ChartSeries::setSeriesColor(const QColor& color) {
    color_ = color;
    applyStyle();
}

void ChartSeries::setLineWidth(double width) {
    lineWidth_ = width;
    applyStyle();
}

void ChartSeries::setActive(bool active) {
    if (active == visible()) return;
    setVisible(active);
    chart()->seriesLookChanged();
}

void ChartSeries::setPointerStyle(QCPScatterStyle::ScatterShape shape) {
    shape_ = shape;
    applyStyle();
}

void ChartSeries::setPointerSize(double size) {
    size_ = size;
    applyStyle();
}

void ChartSeries::setPointerVisible(bool visible) {
    pointerVisible_ = visible;
    applyStyle();
}

void ChartSeries::setLegendVisible(bool visible) {
    legendVisible_ = visible;
    chart()->seriesLookChanged();
}

void ChartSeries::applyStyle() {
    if (kind_ == Kind::Line) setPen(QPen(color_, lineWidth_));
    else setPen(Qt::NoPen);
    if (pointerVisible_) {
        // The marker size is its diameter in pixels, a little larger than the nominal size so a
        // size-3 marker is still seen on a width-1 line.
        QCPScatterStyle style(shape_, color_, color_, 2 * size_ + 1);
        setScatterStyle(style);
    } else {
        setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssNone));
    }
    if (parentPlot()) chart()->seriesLookChanged();
}

QColor ChartSeries::pointColor(int i) const {
    if (colorEachPoint_ && i >= 0 && static_cast<size_t>(i) < pointColors_.size() &&
        pointColors_[static_cast<size_t>(i)].isValid())
        return pointColors_[static_cast<size_t>(i)];
    return color_;
}

std::vector<double> ChartSeries::xs() const {
    std::vector<double> v;
    v.reserve(static_cast<size_t>(count()));
    for (auto it = data()->constBegin(); it != data()->constEnd(); ++it) v.push_back(it->key);
    return v;
}

std::vector<double> ChartSeries::ys() const {
    std::vector<double> v;
    v.reserve(static_cast<size_t>(count()));
    for (auto it = data()->constBegin(); it != data()->constEnd(); ++it) v.push_back(it->value);
    return v;
}

void ChartSeries::renumber() {
    // The curve keeps its points sorted by t: t is the point's place in the series.
    double t = 0;
    for (auto it = data()->begin(); it != data()->end(); ++it) it->t = t++;
}

void ChartSeries::changed() { chart()->seriesPointsChanged(this); }

void ChartSeries::addXY(double x, double y, const QColor& color) {
    const int n = count();
    int at = n;
    if (ascendingX_) {
        at = 0;
        while (at < n && this->x(at) <= x) ++at;
    }
    if (at == n) {
        const double t = n == 0 ? 0.0 : data()->at(n - 1)->t + 1.0;
        data()->add(QCPCurveData(t, x, y));
    } else {
        QVector<QCPCurveData> pts;
        pts.reserve(n + 1);
        for (int i = 0; i < n; ++i) {
            if (i == at) pts.append(QCPCurveData(0, x, y));
            pts.append(*data()->at(i));
        }
        data()->set(pts, true);
        renumber();
    }
    if (colorEachPoint_) {
        pointColors_.insert(pointColors_.begin() + at, color.isValid() ? color : color_);
    }
    changed();
}

void ChartSeries::clear() {
    data()->clear();
    pointColors_.clear();
    changed();
}

void ChartSeries::deleteAt(int index) {
    if (index < 0 || index >= count()) return;
    data()->remove(data()->at(index)->t);
    if (colorEachPoint_ && static_cast<size_t>(index) < pointColors_.size())
        pointColors_.erase(pointColors_.begin() + index);
    changed();
}

void ChartSeries::setPoints(const std::vector<double>& xs, const std::vector<double>& ys) {
    const size_t n = std::min(xs.size(), ys.size());
    QVector<QCPCurveData> pts;
    pts.reserve(static_cast<qsizetype>(n));
    for (size_t i = 0; i < n; ++i) pts.append(QCPCurveData(static_cast<double>(i), xs[i], ys[i]));
    if (ascendingX_)
        std::stable_sort(pts.begin(), pts.end(),
                         [](const QCPCurveData& a, const QCPCurveData& b) { return a.key < b.key; });
    data()->set(pts, true);
    if (ascendingX_) renumber();
    pointColors_.assign(colorEachPoint_ ? n : 0, color_);
    changed();
}

void ChartSeries::movePoint(int index, double x, double y) {
    if (index < 0 || index >= count()) return;
    auto it = data()->begin() + index;
    it->key = x;
    it->value = y;
    chart()->seriesPointMoved(this);
}

double ChartSeries::xScreenToValue(double pixel) const { return keyAxis()->pixelToCoord(pixel); }
double ChartSeries::yScreenToValue(double pixel) const { return valueAxis()->pixelToCoord(pixel); }

int ChartSeries::pointAt(const QPointF& pixel, double tolerance) const {
    if (!visible() || count() == 0) return -1;
    // Work in value units: a box of +-tolerance pixels around the mouse, then pixel distances.
    const QCPAxis* kx = keyAxis();
    const QCPAxis* vy = valueAxis();
    const double x0 = kx->pixelToCoord(pixel.x() - tolerance), x1 = kx->pixelToCoord(pixel.x() + tolerance);
    const double y0 = vy->pixelToCoord(pixel.y() - tolerance), y1 = vy->pixelToCoord(pixel.y() + tolerance);
    const double xlo = std::min(x0, x1), xhi = std::max(x0, x1);
    const double ylo = std::min(y0, y1), yhi = std::max(y0, y1);
    int best = -1;
    double bestDist = std::numeric_limits<double>::max();
    int i = 0;
    for (auto it = data()->constBegin(); it != data()->constEnd(); ++it, ++i) {
        if (it->key < xlo || it->key > xhi || it->value < ylo || it->value > yhi) continue;
        const double dx = kx->coordToPixel(it->key) - pixel.x();
        const double dy = vy->coordToPixel(it->value) - pixel.y();
        const double d = dx * dx + dy * dy;
        if (d < bestDist) {
            bestDist = d;
            best = i;
        }
    }
    return bestDist <= tolerance * tolerance * 2 ? best : -1;
}

int ChartSeries::cursorValueIndex() const { return pointAt(chart()->lastMousePos()); }

void ChartSeries::draw(QCPPainter* painter) {
    if (!colorEachPoint_) {
        QCPCurve::draw(painter);
        return;
    }
    // Markers only, each in its point's colour.
    QCPScatterStyle style = scatterStyle();
    if (style.isNone()) return;
    const int n = count();
    for (int i = 0; i < n; ++i) {
        const QPointF p = coordsToPixels(x(i), y(i));
        const QColor c = pointColor(i);
        style.setPen(QPen(c.darker(150)));
        style.setBrush(c);
        style.applyTo(painter, QPen(c));
        style.drawShape(painter, p);
    }
}
