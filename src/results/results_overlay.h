#pragma once
#include "results/engineering_results.h"

#include <qcustomplot.h>

// Marks the yield, peak and ultimate points of both skeleton curves on the chart. Not a series:
// it is drawn on the chart's marker layer and never appears in the series list or the legend.
class ResultsOverlay : public QCPLayerable {
public:
    explicit ResultsOverlay(QCustomPlot* plot);

    void setResults(const tc::SkeletonResult& positive, const tc::SkeletonResult& negative);
    void clearResults();

    // What is drawn, for the tests: one mark per point, in chart coordinates.
    struct Mark {
        QPointF point;
        QString label; // "Y+", "P+", "U+", ... ("U*" when the force never fell to 85 %)
    };
    const std::vector<Mark>& marks() const { return marks_; }

protected:
    void applyDefaultAntialiasingHint(QCPPainter* painter) const override;
    void draw(QCPPainter* painter) override;
    QRect clipRect() const override;

private:
    std::vector<Mark> marks_;
};
