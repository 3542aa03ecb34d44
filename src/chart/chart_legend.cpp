// The chart's legend: an entry per listed series, with its check box, and where they are.
#include "chart/chart_view.h"

#include "chart/chart_series.h"

namespace {

// Legend entry geometry, in pixels.
constexpr int kBoxSide = 11;
constexpr int kSymbolWidth = 18;
constexpr int kGap = 4;

} // namespace

// One legend entry: a check box showing whether its series is shown, a short sample of the
// series' line and marker, and the title in the series' colour. It reads the series when drawn,
// so a new title or colour needs no rebuild of the legend.
class ChartView::LegendEntry : public QCPAbstractLegendItem {
public:
    LegendEntry(QCPLegend* legend, ChartSeries* series)
        : QCPAbstractLegendItem(legend), series_(series) {
        setSelectable(false);
    }
    ChartSeries* series() const { return series_; }
    // Empty in the legend of a saved image, which has no check boxes.
    QRect checkBoxRect() const {
        const QRect r = rect();
        if (imageLook()) return QRect(r.left(), r.center().y() - kBoxSide / 2, 0, kBoxSide);
        return QRect(r.left(), r.center().y() - kBoxSide / 2, kBoxSide, kBoxSide);
    }

protected:
    bool imageLook() const { return static_cast<const ChartView*>(mParentPlot)->imageLegend_; }

    QSize minimumOuterSizeHint() const override {
        const QFontMetrics fm(mFont);
        const QSize text = fm.size(Qt::TextSingleLine, series_->title());
        const int box = imageLook() ? 0 : kBoxSide + kGap;
        QSize s(box + kSymbolWidth + kGap + text.width(), std::max(text.height(), kBoxSide + 2));
        s.rwidth() += mMargins.left() + mMargins.right();
        s.rheight() += mMargins.top() + mMargins.bottom();
        return s;
    }

    void draw(QCPPainter* painter) override {
        const QRect box = checkBoxRect();
        painter->setAntialiasing(false);
        if (!imageLook()) {
            painter->setPen(QPen(QColor(0x80, 0x80, 0x80)));
            painter->setBrush(Qt::white);
            painter->drawRect(box.adjusted(0, 0, -1, -1));
        }
        if (!imageLook() && series_->active()) {
            painter->setAntialiasing(true);
            painter->setPen(QPen(Qt::black, 1.6));
            const QPointF a(box.left() + 2.5, box.top() + 5.5),
                b(box.left() + 4.5, box.bottom() - 2.5), c(box.right() - 2.0, box.top() + 2.5);
            painter->drawPolyline(QPolygonF{a, b, c});
            painter->setAntialiasing(false);
        }

        const QColor color = series_->seriesColor();
        const int cy = rect().center().y();
        const int sampleLeft = imageLook() ? box.left() : box.right() + 1 + kGap;
        const QRect sample(sampleLeft, cy - kBoxSide / 2, kSymbolWidth, kBoxSide);
        if (series_->kind() == ChartSeries::Kind::Bar) {
            painter->setPen(QPen(color.darker(140)));
            painter->setBrush(color);
            painter->drawRect(sample.adjusted(4, 1, -5, -2));
        }
        if (series_->kind() == ChartSeries::Kind::Line) {
            QPen pen(color, std::min(2.0, series_->lineWidth()));
            if (series_->dashed()) pen.setStyle(Qt::DashLine);
            painter->setPen(pen);
            painter->drawLine(QPointF(sample.left(), cy + 0.5), QPointF(sample.right(), cy + 0.5));
        }
        if (series_->pointerVisible()) {
            QCPScatterStyle marker = series_->scatterStyle();
            marker.setSize(std::min(marker.size(), 7.0));
            marker.applyTo(painter, QPen(color));
            marker.drawShape(painter, QPointF(sample.center().x() + 0.5, cy + 0.5));
        }

        painter->setFont(mFont);
        painter->setPen(QPen(color));
        const QRect textRect(sample.right() + 1 + kGap, rect().top(),
                             rect().right() - sample.right() - kGap, rect().height());
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, series_->title());
    }

private:
    ChartSeries* series_;
};

void ChartView::rebuildLegend() {
    legend->clearItems();
    for (ChartSeries* s : series_) {
        // A saved image lists the series it shows, and only those.
        if (s->legendVisible() && (!imageLegend_ || s->active()))
            legend->addItem(new LegendEntry(legend, s));
    }
    scheduleReplot();
}

void ChartView::setImageLegend(bool on) {
    if (on == imageLegend_) return;
    imageLegend_ = on;
    rebuildLegend();
    // With every series hidden an image has no legend at all.
    if (on) {
        legendWasVisible_ = legend->visible();
        legend->setVisible(legendWasVisible_ && legend->itemCount() > 0);
    } else {
        legend->setVisible(legendWasVisible_);
    }
}

std::vector<ChartSeries*> ChartView::legendSeries() const {
    std::vector<ChartSeries*> out;
    for (int i = 0; i < legend->itemCount(); ++i)
        if (auto* e = dynamic_cast<LegendEntry*>(legend->item(i))) out.push_back(e->series());
    return out;
}

ChartView::LegendEntry* ChartView::legendEntryOf(const ChartSeries* series) const {
    for (int i = 0; i < legend->itemCount(); ++i) {
        auto* e = dynamic_cast<LegendEntry*>(legend->item(i));
        if (e && e->series() == series) return e;
    }
    return nullptr;
}

ChartSeries* ChartView::legendSeriesAt(const QPointF& pixel) const {
    for (int i = 0; i < legend->itemCount(); ++i) {
        auto* e = dynamic_cast<LegendEntry*>(legend->item(i));
        if (e && QRectF(e->outerRect()).contains(pixel)) return e->series();
    }
    return nullptr;
}

QRect ChartView::legendRect() {
    updateLayout();
    return legend->visible() && legend->itemCount() > 0 ? legend->outerRect() : QRect();
}

QRect ChartView::legendEntryRect(const ChartSeries* series) {
    updateLayout();
    const LegendEntry* e = legendEntryOf(series);
    return e ? e->outerRect() : QRect();
}

QRect ChartView::legendCheckBoxRect(const ChartSeries* series) {
    updateLayout();
    const LegendEntry* e = legendEntryOf(series);
    return e ? e->checkBoxRect() : QRect();
}
