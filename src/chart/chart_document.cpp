#include "chart/chart_document.h"

#include "chart/chart_view.h"

DocumentPainter::DocumentPainter(QPaintDevice* device) : painter_(new QCPPainter(device)) {}

DocumentPainter::~DocumentPainter() {
    if (painter_->isActive()) painter_->end();
}

bool DocumentPainter::isActive() const {
    return painter_->isActive();
}

QPainter* DocumentPainter::painter() {
    return painter_.get();
}

bool DocumentPainter::end() {
    return painter_->end();
}

void DocumentPainter::drawChart(ChartView* chart, const QRectF& target) {
    if (!chart || !painter_->isActive()) return;
    painter_->save();
    painter_->translate(target.topLeft());
    chart->paintInto(painter_.get(), target.size().toSize());
    painter_->restore();
}
