#pragma once
#include <vector>

namespace tc {

// The analysed record: the imported curve with repeated points dropped and an explicit point at
// every passage through the reference displacement (the first imported displacement), the
// crossings, and the largest-displacement point of each half of each loop.
// Loop n (from 1) spans crossings 2n-2..2n; crossing 2n-1 splits it into a first and second half.
struct LoopAnalysis {
    std::vector<double> loopDisp;
    std::vector<double> loopForce;
    std::vector<int> crossIndex; // indices into loopDisp, ascending, first 0
    std::vector<int> peakIndex1; // per loop, first half
    std::vector<int> peakIndex2; // per loop, second half (never longer than peakIndex1)
    std::vector<double> maxDisp1, maxDispForce1;
    std::vector<double> maxDisp2, maxDispForce2;
    int loopCount = 0; // 0 only when nothing was analysed

    bool empty() const { return crossIndex.empty(); }
};

// Start, middle and end index of loop k (0-based) in the analysed curve. middle is -1 when the
// loop has no middle crossing; end is the last point when there is no closing crossing.
struct LoopBounds {
    int start = 0;
    int middle = -1;
    int end = 0;
};
LoopBounds loopBounds(const std::vector<int>& crossIndex, int loopDispSize, int k);

// Analyses a record of at least 3 points (fewer gives an empty result). disp and force have the
// same length. With deadBand 0 every passage through the reference is a crossing. With a dead
// band b > 0 a passage counts only when the curve has been more than b away from the reference
// on one side since the last counted crossing and next gets more than b away on the other side;
// the crossing is the last passage onto that side before it gets there, and the passages of the
// jitter in between are ignored (no crossing, no inserted point).
LoopAnalysis analyzeLoops(const std::vector<double>& disp, const std::vector<double>& force,
                          double deadBand = 0);

} // namespace tc
