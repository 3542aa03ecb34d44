#pragma once
#include "results/engineering_results.h"

namespace tc {

// The settings of the loop analysis and of the engineering results. The defaults give the plain
// analysis: every passage through the reference displacement is a crossing.
struct AnalysisOptions {
    double deadBand = 0;              // displacement dead band of the crossing test, >= 0
    double levelTolerancePercent = 5; // peak displacements within this share form one level
    YieldMethod yieldMethod = YieldMethod::GeneralYieldMoment;
    EvaluationCurve evaluationCurve = EvaluationCurve::FirstCycleEnvelope;
};

} // namespace tc
