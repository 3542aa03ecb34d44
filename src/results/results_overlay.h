#pragma once
#include "chart/chart_marks.h"
#include "chart/chart_paths.h"
#include "results/engineering_results.h"

// The marks of the yield, peak and ultimate points of both curves: "Y+", "P+", "U+", ... ("U*"
// when the force never fell to 85 % of Pmax).
std::vector<ChartMarks::Mark> resultMarks(const tc::SkeletonResult& positive,
                                          const tc::SkeletonResult& negative);

// Marks the yield, peak and ultimate points of both evaluation curves on the chart, and draws
// the first-cycle envelope, when it is the evaluation curve, as dashed lines (the skeleton curves
// on the chart are drawn already).
class ResultsOverlay : public ChartMarks {
public:
    explicit ResultsOverlay(ChartView* chart);
    ~ResultsOverlay() override;

    // Labels "Y+", "P+", "U+", ... ("U*" when the force never fell to 85 %).
    void setResults(const tc::EngineeringResults& results);

    // The dashed curves, positive first; none unless the evaluation curve is the envelope.
    std::vector<ChartPaths::Path> curves() const {
        return curves_ ? curves_->paths() : std::vector<ChartPaths::Path>{};
    }

private:
    QPointer<ChartPaths> curves_; // a child of the chart too: gone when the chart goes first
};
