#include "chart/chart_series.h"

#include "chart/chart_view.h"

#include <algorithm>
#include <cmath>

namespace {

// Series up to this many points are hit-tested by a plain scan; larger ones through a grid.
constexpr int kGridAbove = 2048;
// Moves of points kept for updating the reduction; after more, it is made afresh.
constexpr size_t kMaxMoves = 4096;

static_assert(sizeof(QCPCurveData) == 3 * sizeof(double),
              "curve points are stored as t, key, value");

QCPScatterStyle::ScatterShape shapeOf(ChartSeries::PointerStyle s) {
    using P = ChartSeries::PointerStyle;
    switch (s) {
    case P::Rectangle:
        return QCPScatterStyle::ssSquare;
    case P::Circle:
        return QCPScatterStyle::ssCircle;
    case P::Triangle:
        return QCPScatterStyle::ssTriangle;
    case P::DownTriangle:
        return QCPScatterStyle::ssTriangleInverted;
    case P::Diamond:
        return QCPScatterStyle::ssDiamond;
    case P::Cross:
        return QCPScatterStyle::ssPlus;
    case P::DiagCross:
        return QCPScatterStyle::ssCross;
    case P::Star:
        return QCPScatterStyle::ssStar;
    case P::SmallDot:
        return QCPScatterStyle::ssDisc;
    }
    return QCPScatterStyle::ssCircle;
}

} // namespace

ChartSeries::ChartSeries(ChartView* chart, Kind kind)
    : QCPCurve(chart->xAxis, chart->yAxis), kind_(kind) {
    if (kind_ == Kind::Point) {
        setLineStyle(QCPCurve::lsNone);
        pointerVisible_ = true;
    }
    if (kind_ == Kind::Bar) setLineStyle(QCPCurve::lsNone);
    applyStyle();
}

ChartView* ChartSeries::chart() const {
    return static_cast<ChartView*>(parentPlot());
}

void ChartSeries::setTitle(const QString& title) {
    if (title == name()) return;
    setName(title);
    chart()->seriesLookChanged(this);
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
    chart()->seriesActiveChanged(this);
}

void ChartSeries::setPointerStyle(PointerStyle style) {
    pointerStyle_ = style;
    applyStyle();
}

void ChartSeries::setPointerSize(double size) {
    pointerSize_ = size;
    applyStyle();
}

void ChartSeries::setPointerVisible(bool visible) {
    pointerVisible_ = visible;
    applyStyle();
}

void ChartSeries::setDashed(bool on) {
    dashed_ = on;
    applyStyle();
}

void ChartSeries::setBarWidth(double width) {
    if (!(width > 0) || !std::isfinite(width)) return;
    barWidth_ = width;
    chart()->seriesPointsChanged(this); // the axes make room for the bars
}

void ChartSeries::setOnRightAxis(bool on) {
    if (on == rightAxis_) return;
    rightAxis_ = on;
    ChartView* c = chart();
    setValueAxis(on ? c->yAxis2 : c->yAxis);
    if (on) c->yAxis2->setVisible(true);
    c->seriesPointsChanged(this);
}

void ChartSeries::setColorEachPoint(bool on) {
    colorEachPoint_ = on;
    if (on)
        pointColors_.resize(static_cast<size_t>(count()), color_);
    else
        pointColors_.clear();
    chart()->seriesLookChanged(this);
}

void ChartSeries::setLegendVisible(bool visible) {
    if (visible == legendVisible_) return;
    legendVisible_ = visible;
    chart()->seriesLegendChanged(this);
}

void ChartSeries::applyStyle() {
    if (kind_ == Kind::Line)
        setPen(QPen(color_, lineWidth_, dashed_ ? Qt::DashLine : Qt::SolidLine));
    else
        setPen(Qt::NoPen);
    if (pointerVisible_) {
        QCPScatterStyle style(shapeOf(pointerStyle_), color_, color_, 2 * pointerSize_ + 1);
        setScatterStyle(style);
    } else {
        setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssNone));
    }
    chart()->seriesLookChanged(this);
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
    for (auto it = data()->constBegin(); it != data()->constEnd(); ++it)
        v.push_back(it->key);
    return v;
}

std::vector<double> ChartSeries::ys() const {
    std::vector<double> v;
    v.reserve(static_cast<size_t>(count()));
    for (auto it = data()->constBegin(); it != data()->constEnd(); ++it)
        v.push_back(it->value);
    return v;
}

void ChartSeries::renumber() {
    // The curve keeps its points sorted by t, so t is the point's place in the series.
    double t = 0;
    for (auto it = data()->begin(); it != data()->end(); ++it)
        it->t = t++;
}

void ChartSeries::pointsChanged() {
    ++generation_;
    moves_.clear();
    movesFrom_ = generation_;
    gridValid_ = false;
    grid_.clear();
    runsValid_ = false;
    runs_.clear();
    chart()->seriesPointsChanged(this);
}

void ChartSeries::addXY(double x, double y, const QColor& color) {
    const int n = count();
    int at = n;
    if (ascendingX_) {
        at = 0;
        while (at < n && this->x(at) <= x)
            ++at;
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
        pointColors_.resize(static_cast<size_t>(n), color_);
        pointColors_.insert(pointColors_.begin() + at, color.isValid() ? color : color_);
    }
    pointsChanged();
}

void ChartSeries::clear() {
    data()->clear();
    pointColors_.clear();
    pointsChanged();
}

void ChartSeries::deleteAt(int index) {
    if (index < 0 || index >= count()) return;
    data()->remove(data()->at(index)->t);
    if (colorEachPoint_ && static_cast<size_t>(index) < pointColors_.size())
        pointColors_.erase(pointColors_.begin() + index);
    pointsChanged();
}

void ChartSeries::setPoints(const std::vector<double>& xs, const std::vector<double>& ys) {
    const size_t n = std::min(xs.size(), ys.size());
    QVector<QCPCurveData> pts;
    pts.reserve(static_cast<qsizetype>(n));
    for (size_t i = 0; i < n; ++i)
        pts.append(QCPCurveData(static_cast<double>(i), xs[i], ys[i]));
    if (ascendingX_)
        std::stable_sort(pts.begin(), pts.end(), [](const QCPCurveData& a, const QCPCurveData& b) {
            return a.key < b.key;
        });
    data()->set(pts, true);
    if (ascendingX_) renumber();
    pointColors_.assign(colorEachPoint_ ? n : 0, color_);
    pointsChanged();
}

void ChartSeries::movePoint(int index, double x, double y) {
    if (index < 0 || index >= count()) return;
    auto it = data()->begin() + index;
    if (moves_.size() == kMaxMoves) {
        moves_.clear();
        movesFrom_ = generation_ + 1;
    } else {
        moves_.push_back({static_cast<size_t>(index), it->key, it->value});
    }
    it->key = x;
    it->value = y;
    if (gridValid_) grid_.move(static_cast<size_t>(index), x, y);
    if (runsValid_) runs_.update(points(), static_cast<size_t>(index));
    ++generation_;
    chart()->seriesPointMoved(this);
}

double ChartSeries::xScreenToValue(double pixel) const {
    return keyAxis()->pixelToCoord(pixel);
}
double ChartSeries::yScreenToValue(double pixel) const {
    return valueAxis()->pixelToCoord(pixel);
}

QPointF ChartSeries::valueToScreen(double x, double y) const {
    return coordsToPixels(x, y);
}

double ChartSeries::hitTolerance() const {
    return std::max(4.0, pointerVisible_ ? pointerSize_ + 1.0 : 0.0);
}

tc::StridedPoints ChartSeries::points() const {
    if (data()->isEmpty()) return {nullptr, nullptr, 0, 3};
    const QCPCurveData* first = &*data()->constBegin();
    return {&first->key, &first->value, static_cast<size_t>(count()), 3};
}

const tc::PointGrid& ChartSeries::grid() const {
    if (!gridValid_ || grid_.stale()) {
        const QCPCurveData* first = &*data()->constBegin();
        grid_.build(&first->key, &first->value, static_cast<size_t>(count()), 3);
        gridValid_ = true;
    }
    return grid_;
}

int ChartSeries::pointAt(const QPointF& pixel, double tolerance) const {
    const int n = count();
    if (!visible() || n == 0) return -1;
    if (tolerance < 0) tolerance = hitTolerance();
    const QCPAxis* kx = keyAxis();
    const QCPAxis* vy = valueAxis();
    const QRectF area = kx->axisRect()->rect();
    if (!area.adjusted(-tolerance, -tolerance, tolerance, tolerance).contains(pixel)) return -1;

    const double ax = kx->pixelToCoord(pixel.x() - tolerance),
                 bx = kx->pixelToCoord(pixel.x() + tolerance);
    const double ay = vy->pixelToCoord(pixel.y() - tolerance),
                 by = vy->pixelToCoord(pixel.y() + tolerance);
    const double xlo = std::min(ax, bx), xhi = std::max(ax, bx);
    const double ylo = std::min(ay, by), yhi = std::max(ay, by);
    const double limit = tolerance * tolerance;
    size_t best = 0;
    double bestDist = -1;
    auto consider = [&](size_t i, double x, double y) {
        const double px = kx->coordToPixel(x), py = vy->coordToPixel(y);
        if (!area.contains(px, py)) return; // drawn outside the plot area: not on screen
        const double dx = px - pixel.x(), dy = py - pixel.y();
        const double d = dx * dx + dy * dy;
        if (d > limit) return;
        if (bestDist < 0 || d < bestDist || (d == bestDist && i < best)) {
            best = i;
            bestDist = d;
        }
    };
    if (n <= kGridAbove) {
        size_t i = 0;
        for (auto it = data()->constBegin(); it != data()->constEnd(); ++it, ++i) {
            if (it->key >= xlo && it->key <= xhi && it->value >= ylo && it->value <= yhi)
                consider(i, it->key, it->value);
        }
    } else {
        grid().forEachInBox(xlo, xhi, ylo, yhi, consider);
    }
    return bestDist < 0 ? -1 : static_cast<int>(best);
}

int ChartSeries::cursorValueIndex() const {
    return pointAt(chart()->lastMousePos());
}

void ChartSeries::setPixelReduction(bool on) {
    if (on == pixelReduction_) return;
    pixelReduction_ = on;
    chart()->seriesLookChanged(this);
}
