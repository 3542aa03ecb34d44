#pragma once
#include "skeleton/skeleton_curve.h"
#include "workspace/loop_analysis.h"

#include <optional>
#include <vector>

namespace tc {

// ---- per loop ----

// The engineering quantities of one loop of the loop list. Peak points are the largest-
// displacement points the loop analysis recorded for the loop's two halves.
struct LoopResult {
    int loop = 0;                  // 1-based loop number, as in the loop list
    bool hasFirstHalf = false;     // the loop reaches its middle crossing
    bool hasSecondHalf = false;    // the loop has points after its middle crossing
    double d1 = 0, f1 = 0;         // peak point of the first half (valid with hasFirstHalf)
    double d2 = 0, f2 = 0;         // peak point of the second half (valid with hasSecondHalf)
    double energy = 0;             // enclosed area, force x displacement units
    double cumulativeEnergy = 0;   // energy of loops 1..loop
    std::optional<double> damping; // equivalent viscous damping coefficient he
    std::optional<double> secantStiffness; // peak-to-peak secant stiffness
    int level = 0;                         // amplitude level from 1; 0 without both halves
    std::optional<double> degradation;     // strength degradation factor within the level
};

// Signed area enclosed by the polygon of points from..to (inclusive) of d/f, closed by the chord
// from the last point back to the first: the trapezoidal integral of f dd around the loop.
// Positive for a loop that dissipates energy (loading path above the unloading path).
double loopEnergy(const std::vector<double>& d, const std::vector<double>& f, int from, int to);

// he = E / (2 pi (F1 D1 / 2 + F2 D2 / 2)); none when the denominator is not positive.
std::optional<double> equivalentDamping(double energy, double d1, double f1, double d2, double f2);

// K = (|F1| + |F2|) / (|D1| + |D2|); none when the denominator is zero.
std::optional<double> peakToPeakStiffness(double d1, double f1, double d2, double f2);

// The per-loop table for loops 0..loopCount-1 of the analysis. levelTolerance is the relative
// tolerance (0.05 = 5 %) within which two loops' peak displacements count as one amplitude level.
std::vector<LoopResult> loopResults(const LoopAnalysis& analysis, int loopCount,
                                    double levelTolerance = 0.05);

// ---- skeleton ----

enum class YieldMethod {
    GeneralYieldMoment = 0, // geometric (general yield moment) method
    Eeep = 1,               // equivalent energy elastic-plastic
    Park = 2,               // secant through 0.75 Pmax
    FarthestPoint = 3,      // point farthest from the chord origin-peak
};

// The characteristic points of one skeleton curve (one direction). Coordinates are the chart's;
// the curve's first point is its origin and displacements for ductility and stiffness are
// measured from it, in the direction of the curve (negative curves are mirrored, computed and
// mirrored back, so their points carry negative coordinates).
struct SkeletonResult {
    bool valid = false; // at least two points and a peak away from the origin
    CurvePoint origin;
    CurvePoint peak;                        // (Dmax, Pmax)
    std::optional<CurvePoint> yield;        // (Dy, Py) by the chosen method
    CurvePoint ultimate;                    // (Du, Pu)
    bool ultimateReached = false;           // force fell to 85 % of Pmax; otherwise the last point
    std::optional<double> ductility;        // mu = Du / Dy, measured from the origin
    std::optional<double> initialStiffness; // slope from the origin to the next point
};

// sign: +1 for the positive curve, -1 for the negative curve.
SkeletonResult skeletonResult(const PointList& curve, int sign, YieldMethod method);

// ---- everything the results window shows ----

struct EngineeringResults {
    std::vector<LoopResult> loops;
    SkeletonResult positive;
    SkeletonResult negative;
    YieldMethod method = YieldMethod::GeneralYieldMoment;
};

} // namespace tc
