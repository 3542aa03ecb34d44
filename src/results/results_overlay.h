#pragma once
#include "chart/chart_marks.h"
#include "results/engineering_results.h"

// Marks the yield, peak and ultimate points of both skeleton curves on the chart.
class ResultsOverlay : public ChartMarks {
public:
    using ChartMarks::ChartMarks;

    // Labels "Y+", "P+", "U+", ... ("U*" when the force never fell to 85 %).
    void setResults(const tc::SkeletonResult& positive, const tc::SkeletonResult& negative);
};
