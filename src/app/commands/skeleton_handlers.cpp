// Skeleton extraction and the region tolerance filter: read the window's settings, call the core,
// hand the point lists to the two skeleton series.
#include "app/tform1.h"
#include "chart/chart_series.h"
#include "chart/series_conversion.h"
#include "skeleton/region_filter.h"
#include "skeleton/skeleton_extraction.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

void TForm1::btn5Click() {
    skeletonPosSeries->clear();
    skeletonNegSeries->clear();
    tc::SkeletonSettings settings;
    settings.keepIncreasing = chk1->isChecked();
    settings.rule = tc::SkeletonRule::None;
    const QRadioButton* rules[] = {rb1, rb2, rb3, rb4, rb5};
    for (int i = 0; i < 5; ++i) {
        if (rules[i]->isChecked()) {
            settings.rule = static_cast<tc::SkeletonRule>(i + 1);
            break;
        }
    }
    settings.direction =
        cbb4->currentIndex() == 1 ? tc::LoopDirection::Negative : tc::LoopDirection::Positive;
    const tc::SkeletonCurves curves = tc::extractSkeleton(analysis, cbb1->count(), settings);
    tc::gui::setSeriesPoints(*skeletonPosSeries, curves.positive);
    tc::gui::setSeriesPoints(*skeletonNegSeries, curves.negative);
}

void TForm1::btn6Click() {
    // All three fields are converted before either curve is touched.
    const tc::RegionFilterValues v =
        tc::readRegionFilterFields(edt9->text().toStdString(), edt10->text().toStdString(),
                                   edt11->text().toStdString(), decimalSeparator());
    const tc::PointList positive = tc::gui::seriesPoints(*skeletonPosSeries);
    const tc::PointList negative = tc::gui::seriesPoints(*skeletonNegSeries);
    const tc::SkeletonCurves kept =
        tc::filterSkeletonRegion(v.end1, v.end2, v.tolerance, positive, negative);
    if (kept.positive != positive) tc::gui::setSeriesPoints(*skeletonPosSeries, kept.positive);
    if (kept.negative != negative) tc::gui::setSeriesPoints(*skeletonNegSeries, kept.negative);
}
