#pragma once
#include "skeleton/skeleton_curve.h"
#include "workspace/loop_analysis.h"

namespace tc {

// Point-selection rule; the value is the number of its radio button (rb1..rb5).
enum class SkeletonRule {
    None = 0,                       // no button checked: both curves stay empty
    ForcePeak = 1,                  // the force peak of each half
    DisplacementPeak = 2,           // the displacement peak recorded by the loop analysis
    ForceThenDisplacementPeak = 3,  // rule 1's point, then rule 2's point
    EnvelopeToForcePeak = 4,        // every point from the start of the half up to its force peak
    EnvelopeToDisplacementPeak = 5, // every point from the start of the half up to its disp. peak
};

// Which half of every loop feeds the positive curve: the first ("Positive", item 0 of the loop
// direction list) or the second ("Negative", item 1).
enum class LoopDirection { Positive = 0, Negative = 1 };

struct SkeletonSettings {
    SkeletonRule rule = SkeletonRule::ForcePeak;
    // "control displacement increasing": rules 1 to 3 append a point only when it carries its
    // curve outwards in x. Rules 4 and 5 always do so and ignore this flag.
    bool keepIncreasing = false;
    LoopDirection direction = LoopDirection::Positive;
};

// Builds both skeleton curves from the analysed loops 0..loopCount-1 (loopCount is the number of
// entries of the loop list). The first point of the analysed curve opens both curves, positive
// first; then the points of every loop follow, first half before second half. Without an
// analysis (no crossings), without a rule, or with loopCount <= 0 both curves are empty.
// Inconsistent input never leads to a read outside the arrays: loops whose start crossing is
// missing or outside the analysed curve end the extraction, loop bounds are clipped to the
// analysed curve, and a recorded peak outside it counts as not recorded.
SkeletonCurves extractSkeleton(const LoopAnalysis& analysis, int loopCount,
                               const SkeletonSettings& settings);

} // namespace tc
