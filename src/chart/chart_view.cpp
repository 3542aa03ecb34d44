#include "chart/chart_view.h"

#include "chart/chart_series.h"

ChartView::ChartView(QWidget* parent) : QCustomPlot(parent) {
    setObjectName(QStringLiteral("cht1"));
    xAxis->setLabel(QStringLiteral("Disp"));
    yAxis->setLabel(QStringLiteral("Force"));
    setAntialiasedElements(QCP::aeNone);
    setNoAntialiasingOnDrag(true);
    // Axes follow the data just before each replot, so a burst of point changes costs one fit.
    connect(this, &QCustomPlot::beforeReplot, this, [this] {
        if (fitPending_ && !userZoomed_ && !holdAxes_) fitToData();
        fitPending_ = false;
    });
}

ChartSeries* ChartView::addSeries(int kind) {
    auto* s = new ChartSeries(this, static_cast<ChartSeries::Kind>(kind));
    series_.push_back(s);
    return s;
}

void ChartView::fitToData() {
    bool any = false;
    for (ChartSeries* s : series_) {
        if (s->visible() && s->count() > 0) any = true;
    }
    if (!any) return;
    rescaleAxes(true);
    // A little air around the data, and a sensible range for a single point.
    for (QCPAxis* axis : {xAxis, yAxis}) {
        QCPRange r = axis->range();
        double pad = r.size() * 0.03;
        if (pad == 0) pad = std::max(1.0, std::abs(r.lower) * 0.1);
        axis->setRange(r.lower - pad, r.upper + pad);
    }
}

void ChartView::resetZoom() {
    userZoomed_ = false;
    fitToData();
    scheduleReplot();
}

void ChartView::scheduleReplot() { replot(QCustomPlot::rpQueuedReplot); }

void ChartView::seriesPointsChanged(ChartSeries*) {
    fitPending_ = true;
    scheduleReplot();
}

void ChartView::seriesPointMoved(ChartSeries*) {
    if (!holdAxes_) fitPending_ = true;
    scheduleReplot();
}

void ChartView::seriesLookChanged() { scheduleReplot(); }

void ChartView::mouseMoveEvent(QMouseEvent* event) {
    lastMouse_ = event->position();
    emit chartMouseMove(qRound(lastMouse_.x()), qRound(lastMouse_.y()));
    QCustomPlot::mouseMoveEvent(event);
}

void ChartView::mouseDoubleClickEvent(QMouseEvent* event) {
    // The pointer is where the double click happened, whether or not a move was seen before.
    lastMouse_ = event->position();
    emit chartMouseMove(qRound(lastMouse_.x()), qRound(lastMouse_.y()));
    QCustomPlot::mouseDoubleClickEvent(event);
    emit chartDoubleClick();
}
