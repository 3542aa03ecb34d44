#pragma once
#include "workspace/loop_analysis.h"

#include <vector>

namespace tc {

// For every imported point, the index of the analysed point it became; a repeated point gets the
// index of the point it repeats. The analysed curve is the imported one without repeats and with
// at most one crossing inserted between two kept points, so each imported point is found at most
// two places after the one before it. A point changed since the analysis (a dragged point) is
// taken to be the next analysed point. Empty when the analysis is empty.
std::vector<int> analysedIndexOfPoints(const std::vector<double>& disp,
                                       const std::vector<double>& force,
                                       const LoopAnalysis& analysis);

// The loop (0-based) that analysed point `index` belongs to: loop k runs from crossing 2k up to
// crossing 2k+2, which starts loop k+1 unless loop k is the last loop. -1 for an index outside
// the analysed curve, past the last counted loop (a half loop) or of an empty analysis.
int loopOfAnalysedPoint(const LoopAnalysis& analysis, int index);

} // namespace tc
