#pragma once
#include "skeleton/skeleton_curve.h"
#include "skeleton/skeleton_extraction.h"
#include "workspace/loop_analysis.h"

#include <optional>
#include <string>
#include <vector>

namespace tc {

// ---- per loop ----

// The engineering quantities of one loop of the loop list. Peak points are the largest-
// displacement points the loop analysis recorded for the loop's two halves.
struct LoopResult {
    int loop = 0;                  // 1-based loop number, as in the loop list
    bool hasFirstHalf = false;     // the loop reaches its middle crossing
    bool hasSecondHalf = false;    // the loop has points after its middle crossing
    bool open = false;             // the loop does not end on a crossing: unfinished
    double d1 = 0, f1 = 0;         // peak point of the first half (valid with hasFirstHalf)
    double d2 = 0, f2 = 0;         // peak point of the second half (valid with hasSecondHalf)
    std::optional<double> energy;  // enclosed area, force x displacement units; none when open
    double cumulativeEnergy = 0;   // energy of the closed loops 1..loop
    std::optional<double> damping; // equivalent viscous damping coefficient he
    std::optional<double> secantStiffness; // peak-to-peak secant stiffness
    int level = 0;                         // amplitude level from 1; 0 when open or half missing
    std::optional<double> degradation;     // strength degradation factor within the level
    // Residual displacements: where the force passes zero on the unloading branch of the first
    // and of the second half (from the half's peak to its closing crossing); none when it does
    // not pass zero there.
    std::optional<double> residual1, residual2;
};

// Signed area enclosed by the polygon of points from..to (inclusive) of d/f, closed by the chord
// from the last point back to the first: the trapezoidal integral of f dd around the loop.
// Positive for a loop that dissipates energy (loading path above the unloading path).
double loopEnergy(const std::vector<double>& d, const std::vector<double>& f, int from, int to);

// The plain trapezoidal integral of f dd along the whole curve, without a closing chord.
double curveEnergy(const std::vector<double>& d, const std::vector<double>& f);

// he = E / (2 pi (F1 D1 / 2 + F2 D2 / 2)); none when the denominator is not positive.
std::optional<double> equivalentDamping(double energy, double d1, double f1, double d2, double f2);

// K = (|F1| + |F2|) / (|D1| + |D2|); none when the denominator is zero.
std::optional<double> peakToPeakStiffness(double d1, double f1, double d2, double f2);

// The per-loop table for loops 0..loopCount-1 of the analysis. levelTolerance is the relative
// tolerance (0.05 = 5 %) within which two loops' peak displacements count as one amplitude level.
std::vector<LoopResult> loopResults(const LoopAnalysis& analysis, int loopCount,
                                    double levelTolerance = 0.05);

// ---- per amplitude level ----

struct LevelResult {
    int level = 0;                              // from 1
    int firstLoop = 0;                          // 1-based number of the level's first loop
    int loops = 0;                              // how many loops the level holds
    double d1 = 0, d2 = 0;                      // peak displacements of the first loop
    std::optional<double> secantStiffness;      // of the first loop
    std::optional<double> stiffnessDegradation; // secantStiffness over level 1's
};

// One row per amplitude level of the loop table, in level order.
std::vector<LevelResult> levelResults(const std::vector<LoopResult>& loops);

// ---- evaluation curves ----

enum class EvaluationCurve {
    SkeletonOnChart = 0,    // the two skeleton curves as they are on the chart
    FirstCycleEnvelope = 1, // the force peaks of the first loop of every amplitude level
};

// Per direction: the first point of the analysed curve, then, for each amplitude level in order,
// the force-peak point of the half of the level's first loop that feeds this direction (the
// largest force for the positive curve, the smallest for the negative), appended only when it
// lies further out in displacement than the curve's last point. loops gives the levels (from
// loopResults of the same analysis). Both curves are empty without an analysis.
SkeletonCurves firstCycleEnvelope(const LoopAnalysis& analysis,
                                  const std::vector<LoopResult>& loops, LoopDirection direction);

// ---- skeleton ----

enum class YieldMethod {
    GeneralYieldMoment = 0, // geometric (general yield moment) method
    Eeep = 1,               // equivalent energy elastic-plastic
    Park = 2,               // secant through 0.75 Pmax
    FarthestPoint = 3,      // point farthest from the chord origin-peak
    Asce41 = 4,             // bilinear idealisation: secant through 0.6 Py, equal areas to Du
    Eccs = 5,               // initial tangent meets the tangent of slope K0 / 10
};

// The characteristic points of one curve (one direction). Coordinates are the chart's; the
// curve's first point is its origin and displacements for ductility and stiffness are measured
// from it, forces from its force, in the direction of the curve (negative curves are mirrored,
// computed and mirrored back, so their points carry negative coordinates).
struct SkeletonResult {
    bool valid = false; // at least two points and a peak away from the origin
    CurvePoint origin;
    CurvePoint peak;                        // (Dmax, Pmax)
    std::optional<CurvePoint> yield;        // (Dy, Py) by the chosen method
    CurvePoint ultimate;                    // (Du, Pu)
    bool ultimateReached = false;           // force fell to 85 % of Pmax; otherwise the last point
    std::optional<double> ductility;        // mu = Du / Dy, measured from the origin
    std::optional<double> initialStiffness; // secant from the origin to 0.4 Pmax on the curve
    std::vector<std::string> notes;         // why a value is missing
};

// sign: +1 for the positive curve, -1 for the negative curve.
SkeletonResult skeletonResult(const PointList& curve, int sign, YieldMethod method);

// ---- warnings and the dead band ----

// +1 when the first halves of most loops (more than half of those that have one) lie above the
// reference displacement, -1 when most lie below it, 0 otherwise.
int firstHalfSide(const LoopAnalysis& analysis, int loopCount);

// What the results window and the status bar warn of: a Loop Direction against the record, a
// curve of the evaluation or extraction with fewer than 3 points, and jitter (loops shorter than
// 1 % of the displacement range: 100 or more, or at least 5 and a quarter of all loops, or any
// with more than 5 times as many loops as levels).
// extracted: the skeleton curves on the chart (both empty before an extraction).
std::vector<std::string> resultWarnings(const LoopAnalysis& analysis,
                                        const std::vector<LoopResult>& loops,
                                        LoopDirection direction, const SkeletonCurves& extracted,
                                        EvaluationCurve curve, const SkeletonCurves& evaluated);

// A dead band read from the record's jitter around the reference: the excursions of the
// displacement between two passages through the reference are sorted by depth; where the depths
// jump by a factor of 4 or more below 5 % of the displacement range, the shallow ones are jitter
// and the band is twice the deepest of them. No such jump: band 0, the record does not jitter.
struct DeadBandSuggestion {
    double band = 0;
    double jitter = 0;    // depth of the deepest jitter excursion, 0 without jitter
    int jitterCount = 0;  // how many excursions are jitter
    int loops = 0;        // loop count of the analysis with the band
    int loopsWithout = 0; // loop count without a dead band
};
DeadBandSuggestion suggestDeadBand(const std::vector<double>& disp,
                                   const std::vector<double>& force);

// ---- everything the results window shows ----

struct ResultSettings {
    double levelTolerance = 0.05; // relative
    LoopDirection direction = LoopDirection::Positive;
    EvaluationCurve curve = EvaluationCurve::FirstCycleEnvelope;
    YieldMethod method = YieldMethod::GeneralYieldMoment;
};

struct EngineeringResults {
    std::vector<LoopResult> loops;
    std::vector<LevelResult> levels;
    SkeletonResult positive;
    SkeletonResult negative;
    YieldMethod method = YieldMethod::GeneralYieldMoment;
    EvaluationCurve curve = EvaluationCurve::FirstCycleEnvelope;
    SkeletonCurves evaluated;    // the curves the skeleton results are computed on
    int closedLoops = 0;         // loops that end on a crossing
    double closedLoopEnergy = 0; // the energy of the closed loops
    double recordEnergy = 0;     // integral of F dD over the whole analysed curve
    std::vector<std::string> warnings;
};

// All results of the analysed loops 0..loopCount-1; extracted: the skeleton curves on the chart.
EngineeringResults engineeringResults(const LoopAnalysis& analysis, int loopCount,
                                      const SkeletonCurves& extracted,
                                      const ResultSettings& settings);

} // namespace tc
