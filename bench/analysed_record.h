#pragma once
#include "record_generator.h"
#include "workspace/loop_analysis.h"

#include <cmath>
#include <random>
#include <vector>

namespace tc::bench {

// The synthetic 1,000,000-point record, analysed once and shared by every benchmark of the run.
inline const LoopAnalysis& analysedMillion() {
    static const LoopAnalysis a = [] {
        const Record r = makeCyclicRecord(1'000'000);
        return analyzeLoops(r.disp, r.force);
    }();
    return a;
}

// 250,000 small loops (1,000,000 points) whose amplitudes spread over three decades, as the
// sampling noise around a reference gives them: about 10,000 amplitude levels.
inline const LoopAnalysis& analysedManyLoops() {
    static const LoopAnalysis a = [] {
        std::mt19937 rng(3);
        std::uniform_real_distribution<double> decades(-3, 0);
        std::vector<double> d{0}, f{0};
        for (int i = 0; i < 250'000; ++i) {
            const double up = std::pow(10.0, decades(rng)), down = -std::pow(10.0, decades(rng));
            d.insert(d.end(), {up, 0, down, 0});
            f.insert(f.end(), {10 * up, -0.1, 10 * down, 0.1});
        }
        return analyzeLoops(d, f);
    }();
    return a;
}

} // namespace tc::bench
