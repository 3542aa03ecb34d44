#include "chart/chart_view.h"

#include "chart/chart_series.h"
#include "chart/chart_tool.h"
#include "chart/legend_placement.h"

#include <QBuffer>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>

namespace {

// A left drag must cover this many pixels in a direction before it zooms or resets the zoom.
constexpr double kMinBandPixels = 4;
// Wheel: each notch scales the axes by this factor (towards the data under the mouse).
constexpr double kWheelFactor = 0.85;

const QString kCrossHairLayer = QStringLiteral("crosshair");
const QString kBandLayer = QStringLiteral("overlay"); // buffered by QCustomPlot itself

} // namespace

const QString ChartView::kMarkerLayer = QStringLiteral("markers");

// The zoom rectangle while the left button is dragged.
class ChartView::Band : public QCPLayerable {
public:
    explicit Band(QCustomPlot* plot) : QCPLayerable(plot, kBandLayer) { setVisible(false); }
    QRect rect;

protected:
    void applyDefaultAntialiasingHint(QCPPainter* painter) const override {
        painter->setAntialiasing(false);
    }
    void draw(QCPPainter* painter) override {
        painter->setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(rect.normalized());
    }
    QRect clipRect() const override { return mParentPlot->viewport(); }
};

// Two lines through the mouse position across the plot area.
class ChartView::CrossHair : public QCPLayerable {
public:
    explicit CrossHair(QCustomPlot* plot) : QCPLayerable(plot, kCrossHairLayer) {
        setVisible(false);
    }
    QPointF pos;

protected:
    void applyDefaultAntialiasingHint(QCPPainter* painter) const override {
        painter->setAntialiasing(false);
    }
    void draw(QCPPainter* painter) override {
        const QRect area = mParentPlot->axisRect()->rect();
        if (!QRectF(area).contains(pos)) return;
        painter->setPen(QPen(QColor(0x40, 0x40, 0x40), 1, Qt::DashLine));
        const double x = std::floor(pos.x()) + 0.5, y = std::floor(pos.y()) + 0.5;
        painter->drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        painter->drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    }
    QRect clipRect() const override { return mParentPlot->axisRect()->rect(); }
};

ChartView::ChartView(QWidget* parent) : QCustomPlot(parent) {
    setObjectName(QStringLiteral("cht1"));
    setMouseTracking(true);
    xAxis->setLabel(QStringLiteral("Disp"));
    yAxis->setLabel(QStringLiteral("Force"));
    setAntialiasedElements(QCP::aeNone);
    setAutoAddPlottableToLegend(false);

    // Layers, bottom to top: background, grid, main (line series), markers (point series), axes,
    // legend, overlay (zoom rectangle), crosshair. The last two are buffered on their own.
    addLayer(kMarkerLayer, layer(QStringLiteral("main")), limAbove);
    addLayer(kCrossHairLayer, layer(QStringLiteral("overlay")), limAbove);
    crossHairLayer_ = layer(kCrossHairLayer);
    crossHairLayer_->setMode(QCPLayer::lmBuffered);
    layer(kBandLayer)->setMode(QCPLayer::lmBuffered);

    // The legend sits in the top right corner inside the plot area and never shrinks it. It is
    // drawn over the curves, so its check boxes stay readable, on a translucent ground, so the
    // curves under it stay visible.
    legend->setVisible(true);
    legend->setFont(font());
    legend->setBrush(QBrush(QColor(255, 255, 255, 210)));
    legend->setBorderPen(QPen(QColor(0x80, 0x80, 0x80)));
    legend->setRowSpacing(1);
    legend->setMargins(QMargins(5, 3, 6, 3));
    legend->setSelectableParts(QCPLegend::spNone);
    axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignRight);

    band_ = new Band(this);
    crossHair_ = new CrossHair(this);

    // Axes follow the data just before each redraw, so a burst of point changes costs one fit.
    connect(this, &QCustomPlot::beforeReplot, this, [this] {
        if (!fitPending_ || holdAxes_) return;
        fitPending_ = false;
        if (!userZoomed_) fitToData();
    });
}

void ChartView::setAxisTitles(const QString& x, const QString& y) {
    if (xAxis->label() == x && yAxis->label() == y) return;
    xAxis->setLabel(x);
    yAxis->setLabel(y);
    scheduleReplot();
}

QString ChartView::xAxisTitle() const {
    return xAxis->label();
}

QString ChartView::yAxisTitle() const {
    return yAxis->label();
}

void ChartView::setRightAxisTitle(const QString& title) {
    if (yAxis2->label() == title) return;
    yAxis2->setLabel(title);
    scheduleReplot();
}

QString ChartView::rightAxisTitle() const {
    return yAxis2->label();
}

ChartView::~ChartView() {
    emit closing();
}

QByteArray ChartView::pngBytes(int width, int height) {
    QImage image = toPixmap(width, height, 1.0).toImage();
    if (image.isNull()) return {};
    const int dotsPerMeter = static_cast<int>(96 / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) return {};
    return bytes;
}

QByteArray ChartView::pdfBytes(int width, int height) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) return {};
    bool drawn = false;
    {
        QPdfWriter pdf(&buffer);
        // One page of width x height points, one point to a pixel of the layout.
        pdf.setPageLayout(QPageLayout(
            QPageSize(QSizeF(width, height), QPageSize::Point, QString(), QPageSize::ExactMatch),
            QPageLayout::Portrait, QMarginsF(), QPageLayout::Point));
        pdf.setResolution(72);
        const QRect oldViewport = viewport();
        setViewport(QRect(0, 0, width, height));
        QCPPainter painter;
        if (painter.begin(&pdf)) {
            painter.setMode(QCPPainter::pmVectorized);
            painter.setMode(QCPPainter::pmNoCaching);
            painter.setWindow(viewport());
            if (mBackgroundBrush.style() != Qt::NoBrush && mBackgroundBrush.color() != Qt::white &&
                mBackgroundBrush.color().alpha() > 0)
                painter.fillRect(viewport(), mBackgroundBrush);
            draw(&painter);
            drawn = painter.end();
        }
        setViewport(oldViewport);
    } // the writer finishes the document when it goes
    return drawn ? bytes : QByteArray();
}

void ChartView::paintInto(QCPPainter* painter, const QSize& size) {
    if (!painter || !painter->isActive() || size.isEmpty()) return;
    replot(QCustomPlot::rpImmediateRefresh); // axes fitted to the data as on screen
    const bool crossHair = crossHairShown();
    const QPointF crossHairPos = crossHair_->pos;
    if (crossHair) hideCrossHair();
    setImageLegend(true);
    const QRect oldViewport = viewport();
    setViewport(QRect(QPoint(0, 0), size));
    painter->save();
    painter->setMode(QCPPainter::pmVectorized);
    painter->setMode(QCPPainter::pmNoCaching);
    painter->setClipRect(QRect(QPoint(0, 0), size));
    draw(painter);
    painter->restore();
    setViewport(oldViewport);
    setImageLegend(false);
    replot(QCustomPlot::rpImmediateRefresh);
    if (crossHair) showCrossHair(crossHairPos);
}

// ---- series ----

ChartSeries* ChartView::addSeries(ChartSeries::Kind kind) {
    auto* s = new ChartSeries(this, kind);
    if (kind == ChartSeries::Kind::Point) s->setLayer(kMarkerLayer);
    series_.push_back(s);
    rebuildLegend();
    return s;
}

QRect ChartView::plotArea() {
    updateLayout();
    return axisRect()->rect();
}

double ChartView::xScreenToValue(double pixel) const {
    return xAxis->pixelToCoord(pixel);
}
double ChartView::yScreenToValue(double pixel) const {
    return yAxis->pixelToCoord(pixel);
}

void ChartView::scheduleReplot() {
    replot(QCustomPlot::rpQueuedReplot);
}

void ChartView::seriesPointsChanged(ChartSeries*) {
    // An empty chart has nothing left to be zoomed into: the next data is shown whole.
    if (std::all_of(series_.begin(), series_.end(),
                    [](const ChartSeries* s) { return s->count() == 0; }))
        userZoomed_ = false;
    fitPending_ = true;
    scheduleReplot();
}

void ChartView::seriesPointMoved(ChartSeries*) {
    if (holdAxes_)
        movedWhileHeld_ = true;
    else
        fitPending_ = true;
    scheduleReplot();
}

void ChartView::seriesLookChanged(ChartSeries*) {
    scheduleReplot();
}

void ChartView::seriesActiveChanged(ChartSeries*) {
    fitPending_ = true;
    scheduleReplot();
}

void ChartView::seriesLegendChanged(ChartSeries*) {
    rebuildLegend();
}

// ---- axes ----

void ChartView::fitToData() {
    const bool any = std::any_of(series_.begin(), series_.end(), [](const ChartSeries* s) {
        return s->visible() && s->count() > 0;
    });
    if (!any) return;
    rescaleAxes(true);
    // Bars stand on 0 and take their width.
    for (const ChartSeries* s : series_) {
        if (s->kind() != ChartSeries::Kind::Bar || !s->visible() || s->count() == 0) continue;
        QCPAxis* v = s->valueAxis();
        v->setRange(std::min(v->range().lower, 0.0), std::max(v->range().upper, 0.0));
        bool found = false;
        const QCPRange keys = s->getKeyRange(found);
        if (found)
            xAxis->setRange(std::min(xAxis->range().lower, keys.lower - s->barWidth() / 2),
                            std::max(xAxis->range().upper, keys.upper + s->barWidth() / 2));
    }
    // A little air around the data, and a sensible range for a single value.
    for (QCPAxis* axis : valueAxes()) {
        const QCPRange r = axis->range();
        double pad = r.size() * 0.03;
        if (pad == 0) pad = std::max(1.0, std::abs(r.lower) * 0.1);
        axis->setRange(r.lower - pad, r.upper + pad);
    }
}

std::vector<QCPAxis*> ChartView::valueAxes() const {
    if (yAxis2->visible()) return {xAxis, yAxis, yAxis2};
    return {xAxis, yAxis};
}

void ChartView::resetZoom() {
    userZoomed_ = false;
    fitToData();
    scheduleReplot();
}

void ChartView::zoomToRect(const QRect& pixels) {
    const QRect r = pixels.normalized();
    const double x0 = xAxis->pixelToCoord(r.left()), x1 = xAxis->pixelToCoord(r.right());
    const double y0 = yAxis->pixelToCoord(r.bottom()), y1 = yAxis->pixelToCoord(r.top());
    const double z0 = yAxis2->pixelToCoord(r.bottom()), z1 = yAxis2->pixelToCoord(r.top());
    xAxis->setRange(std::min(x0, x1), std::max(x0, x1));
    yAxis->setRange(std::min(y0, y1), std::max(y0, y1));
    if (yAxis2->visible()) yAxis2->setRange(std::min(z0, z1), std::max(z0, z1));
    userZoomed_ = true;
    scheduleReplot();
}

void ChartView::scrollBy(const QPointF& pixels) {
    if (pixels.isNull()) return;
    const QRect area = axisRect()->rect();
    if (area.width() <= 0 || area.height() <= 0) return;
    const double dx = -pixels.x() * xAxis->range().size() / area.width();
    const double dy = pixels.y() * yAxis->range().size() / area.height();
    xAxis->moveRange(dx);
    yAxis->moveRange(dy);
    if (yAxis2->visible()) yAxis2->moveRange(pixels.y() * yAxis2->range().size() / area.height());
    userZoomed_ = true;
    scheduleReplot();
}

void ChartView::zoomAt(const QPointF& pixel, double factor) {
    if (!(factor > 0)) return;
    xAxis->scaleRange(factor, xAxis->pixelToCoord(pixel.x()));
    yAxis->scaleRange(factor, yAxis->pixelToCoord(pixel.y()));
    if (yAxis2->visible()) yAxis2->scaleRange(factor, yAxis2->pixelToCoord(pixel.y()));
    userZoomed_ = true;
    scheduleReplot();
}

void ChartView::setHoldAxes(bool hold) {
    if (hold == holdAxes_) return;
    holdAxes_ = hold;
    if (!hold && movedWhileHeld_) {
        movedWhileHeld_ = false;
        fitPending_ = true;
        scheduleReplot();
    }
}

// ---- overlays ----

void ChartView::showCrossHair(const QPointF& pixel) {
    if (crossHair_->visible() && crossHair_->pos == pixel) return;
    crossHair_->pos = pixel;
    crossHair_->setVisible(true);
    crossHairLayer_->replot();
}

void ChartView::hideCrossHair() {
    if (!crossHair_->visible()) return;
    crossHair_->setVisible(false);
    crossHairLayer_->replot();
}

bool ChartView::crossHairShown() const {
    return crossHair_->visible();
}
QPointF ChartView::crossHairPos() const {
    return crossHair_->pos;
}

QRect ChartView::zoomBand() const {
    return band_->visible() ? band_->rect.normalized() : QRect();
}

// ---- tools and mouse ----

void ChartView::addTool(ChartTool* tool) {
    tools_.push_back(tool);
}

void ChartView::noteMouse(const QPointF& pixel) {
    lastMouse_ = pixel;
    emit chartMouseMove(qRound(pixel.x()), qRound(pixel.y()));
}

void ChartView::mousePressEvent(QMouseEvent* event) {
    event->accept();
    const QPointF pos = event->position();
    noteMouse(pos);
    if (drag_ != Drag::None) return; // another button is already held

    if (legend->visible() && legend->itemCount() > 0 && QRectF(legend->outerRect()).contains(pos)) {
        legendToggled_ = nullptr;
        if (event->button() == Qt::LeftButton) {
            if (ChartSeries* series = legendSeriesAt(pos)) {
                series->setActive(!series->active());
                legendToggled_ = series;
            }
            // The press may turn out to be the start of a drag of the legend.
            drag_ = Drag::Legend;
            dragButton_ = Qt::LeftButton;
            pressPos_ = pos;
            legendMoved_ = false;
        }
        emit legendClicked();
        return;
    }

    for (ChartTool* tool : tools_) {
        if (tool->mousePressed(event)) {
            drag_ = Drag::Tool;
            dragTool_ = tool;
            dragButton_ = event->button();
            return;
        }
    }

    pressPos_ = pos;
    if (event->button() == Qt::LeftButton) {
        drag_ = Drag::ZoomBand;
        band_->rect = QRect(pos.toPoint(), pos.toPoint());
    } else if (event->button() == Qt::RightButton) {
        drag_ = Drag::Scroll;
        pressXRange_ = xAxis->range();
        pressYRange_ = yAxis->range();
        pressY2Range_ = yAxis2->range();
    } else {
        return;
    }
    dragButton_ = event->button();
}

void ChartView::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    const QPointF pos = event->position();
    noteMouse(pos);
    switch (drag_) {
    case Drag::Tool:
        dragTool_->mouseMoved(event, true);
        break;
    case Drag::ZoomBand: {
        band_->rect = QRect(pressPos_.toPoint(), pos.toPoint());
        const QPointF d = pos - pressPos_;
        const bool show = std::abs(d.x()) >= kMinBandPixels || std::abs(d.y()) >= kMinBandPixels;
        if (show || band_->visible()) {
            band_->setVisible(show);
            layer(kBandLayer)->replot();
        }
        break;
    }
    case Drag::Scroll: {
        const QRect area = axisRect()->rect();
        if (area.width() > 0 && area.height() > 0) {
            const QPointF d = pos - pressPos_;
            const double dx = -d.x() * pressXRange_.size() / area.width();
            const double dy = d.y() * pressYRange_.size() / area.height();
            xAxis->setRange(pressXRange_.lower + dx, pressXRange_.upper + dx);
            yAxis->setRange(pressYRange_.lower + dy, pressYRange_.upper + dy);
            const double dy2 = d.y() * pressY2Range_.size() / area.height();
            if (yAxis2->visible())
                yAxis2->setRange(pressY2Range_.lower + dy2, pressY2Range_.upper + dy2);
            if (!d.isNull()) userZoomed_ = true;
            scheduleReplot();
        }
        break;
    }
    case Drag::Legend: {
        const QPointF d = pos - pressPos_;
        if (!legendMoved_ && std::abs(d.x()) < kMinBandPixels && std::abs(d.y()) < kMinBandPixels)
            break;
        if (!legendMoved_) {
            // A drag, not a click: the entry pressed keeps its state.
            legendMoved_ = true;
            if (legendToggled_) {
                legendToggled_->setActive(!legendToggled_->active());
                legendToggled_ = nullptr;
                emit legendClicked();
            }
            setCursor(Qt::ClosedHandCursor);
        }
        setLegendCorner(this, cornerAt(this, pos));
        break;
    }
    case Drag::None:
        break;
    }
    for (ChartTool* tool : tools_) {
        if (tool != dragTool_) tool->mouseMoved(event, false);
    }
}

void ChartView::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    noteMouse(event->position());
    if (drag_ == Drag::None || event->button() != dragButton_) return;
    const Drag drag = drag_;
    ChartTool* tool = dragTool_;
    drag_ = Drag::None;
    dragTool_ = nullptr;
    dragButton_ = Qt::NoButton;
    if (drag == Drag::Tool)
        tool->mouseReleased(event);
    else if (drag == Drag::ZoomBand)
        finishZoomBand(event->position());
    else if (drag == Drag::Legend && legendMoved_)
        unsetCursor();
}

void ChartView::finishZoomBand(const QPointF& end) {
    if (band_->visible()) {
        band_->setVisible(false);
        layer(kBandLayer)->replot();
    }
    const QPointF d = end - pressPos_;
    if (d.x() >= kMinBandPixels && d.y() >= kMinBandPixels)
        zoomToRect(QRect(pressPos_.toPoint(), end.toPoint()));
    else if (d.x() <= -kMinBandPixels || d.y() <= -kMinBandPixels)
        resetZoom();
}

void ChartView::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    // The pointer is where the double click happened, whether or not a move was seen before.
    noteMouse(event->position());
    emit chartDoubleClick();
}

void ChartView::wheelEvent(QWheelEvent* event) {
    event->accept();
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0) return;
    zoomAt(event->position(), std::pow(kWheelFactor, notches));
}

void ChartView::leaveEvent(QEvent* event) {
    QCustomPlot::leaveEvent(event);
    for (ChartTool* tool : tools_)
        tool->mouseLeft();
}
