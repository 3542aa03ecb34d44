#pragma once
#include "record_generator.h"
#include "workspace/loop_analysis.h"

namespace tc::bench {

// The synthetic 1,000,000-point record, analysed once and shared by every benchmark of the run.
inline const LoopAnalysis& analysedMillion() {
    static const LoopAnalysis a = [] {
        const Record r = makeCyclicRecord(1'000'000);
        return analyzeLoops(r.disp, r.force);
    }();
    return a;
}

} // namespace tc::bench
