// The chart's read-outs: the data coordinates under the mouse and the node last edited in the
// status bar, the tooltip of a point under the mouse, and the legend put where it covers the
// fewest points after every import, analysis and extraction.
#include "app/tform1.h"
#include "chart/chart_readout.h"
#include "chart/chart_series.h"
#include "chart/chart_view.h"
#include "chart/legend_placement.h"
#include "workspace/point_loops.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>

void TForm1::buildReadouts() {
    chartReadout = new ChartReadout(cht1);
    chartReadout->setObjectName(QStringLiteral("chartReadout"));
    chartReadout->setDecimalSeparator(decimalSeparator());
    // The curves, in drawing order; the marker points of the selected loop are parts of it.
    chartReadout->setCurves({rawSeries, loopSeries, skeletonPosSeries, skeletonNegSeries});
    chartReadout->setPointNote(
        [this](const ChartSeries* s, int index) { return pointNote(s, index); });

    // At the right end of the status bar, after the fields of the layout.
    auto field = [this](const char* name, int minWidth) {
        auto* l = new QLabel(rzstsbr1);
        l->setObjectName(QLatin1String(name));
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        l->setMinimumWidth(minWidth);
        rzstsbr1->addPermanentWidget(l);
        return l;
    };
    rzfldsts7 = field("rzfldsts7", 0);
    rzfldsts6 = field("rzfldsts6", 190);
    connect(chartReadout, &ChartReadout::positionChanged, rzfldsts6, &QLabel::setText);

    legendPlacement = new LegendPlacement(cht1);
    // Every import writes the record's path into edt5, whichever command ran it; the analysis and
    // the extraction have their buttons.
    auto place = [this] { legendPlacement->request(); };
    connect(edt5, &QLineEdit::textChanged, this, place);
    connect(btn2, &QPushButton::clicked, this, place);
    connect(btn5, &QPushButton::clicked, this, place);
}

QString TForm1::pointNote(const ChartSeries* series, int index) {
    if (series != rawSeries || analysis.empty() || index < 0 ||
        static_cast<size_t>(index) >= rawSeriesSource.size())
        return {};
    if (rawAnalysedIndex.size() != dispRaw.size())
        rawAnalysedIndex = tc::analysedIndexOfPoints(dispRaw, forceRaw, analysis);
    const auto src = static_cast<size_t>(rawSeriesSource[static_cast<size_t>(index)]);
    if (src >= rawAnalysedIndex.size()) return {};
    const int loop = tc::loopOfAnalysedPoint(analysis, rawAnalysedIndex[src]);
    if (loop < 0) return QStringLiteral("After the last loop");
    return QStringLiteral("Loop %1").arg(loop + 1);
}

QString TForm1::nodeText(const ChartSeries* series, int index) const {
    if (!series || index < 0 || index >= series->count()) return {};
    return QStringLiteral("%1 point %2: %3")
        .arg(series->title())
        .arg(index)
        .arg(chartReadout->coordinatesText(series->x(index), series->y(index)));
}

void TForm1::showNode(const QString& text) {
    rzfldsts7->setText(text);
}
