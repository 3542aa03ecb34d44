#pragma once
#include "results/engineering_results.h"

#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

namespace tc {

// The points of one curve of a result plot, in drawing order. A value that does not exist
// ("--" in the tables) or is not finite is never a point: it is counted in `missing`.
struct PlotPoints {
    std::vector<double> x, y;
    std::size_t missing = 0;

    std::size_t size() const { return x.size(); }
    // Appends (x, y) when both are finite; otherwise counts it as missing.
    void add(double px, double py) {
        if (std::isfinite(px) && std::isfinite(py)) {
            x.push_back(px);
            y.push_back(py);
        } else {
            ++missing;
        }
    }
    void addOptional(double px, const std::optional<double>& py);
    void reserve(std::size_t n);
};

// The load protocol: the displacement of the analysed curve against its point index, the
// loop boundaries (the start crossing of every loop and the end crossing of the last closed
// one) and every amplitude level as two level lines at the peak displacements of its first
// loop, from the start of its first loop to the end of its last.
struct ProtocolLevel {
    int level = 0;
    double firstPoint = 0, lastPoint = 0; // point indices of the analysed curve
    double d1 = 0, d2 = 0;                // peak displacements of the level's first loop
};
struct ProtocolPlot {
    PlotPoints curve;
    PlotPoints boundaries;
    std::vector<ProtocolLevel> levels;
};
ProtocolPlot protocolPlot(const LoopAnalysis& analysis, const std::vector<LoopResult>& loops,
                          const std::vector<LevelResult>& levels);

// The energy of every closed loop and the cumulative energy against the loop number, and the
// cumulative energy against the cumulative displacement: the path length |dD| summed along the
// analysed curve from its first point to the end of the loop.
struct EnergyPlot {
    PlotPoints perLoop;
    PlotPoints cumulative;
    PlotPoints versusTravel;
};
EnergyPlot energyPlot(const LoopAnalysis& analysis, const std::vector<LoopResult>& loops);

// The peak displacement amplitude of a loop from the reference displacement d0: the mean of the
// distances of its two peaks, (|D1 - d0| + |D2 - d0|) / 2; none without both halves.
std::optional<double> loopAmplitude(const LoopResult& loop, double d0);

// Equivalent damping he of every loop against its amplitude.
PlotPoints dampingPlot(const std::vector<LoopResult>& loops, double d0);

// Per direction, the secant stiffness of each amplitude level (its first loop) and its
// degradation factor against the level's peak displacement in that direction: the positive
// curves take the larger of the two peak displacements, the negative ones the smaller.
struct StiffnessPlot {
    PlotPoints positive, negative;                       // K
    PlotPoints positiveDegradation, negativeDegradation; // K / K of level 1
};
StiffnessPlot stiffnessPlot(const std::vector<LevelResult>& levels);

// The strength degradation factor of every loop against the loop number, one curve per level
// (levels in order of their first loop); loops without a level are left out.
struct StrengthLevel {
    int level = 0;
    PlotPoints points;
};
std::vector<StrengthLevel> strengthPlot(const std::vector<LoopResult>& loops);

// The bilinear idealisation that belongs to a yield method, in chart coordinates: from the
// curve's origin through the knee to the end point, on the side of the curve (sign +1 or -1).
//   general yield moment, 0.75 Pmax secant: the elastic line to (Dy, Pmax), flat to Du;
//   EEEP: to (Dy, Py), flat to Du;
//   farthest point: to (Dy, Py), on to the peak;
//   ASCE 41: to (Dy, Py), on to (Du, Pu);
//   ECCS: to (Dy, Py), on with slope K0 / 10 to Du.
// Empty for a curve without results or without a yield point.
PointList bilinearIdealisation(const SkeletonResult& result, YieldMethod method);

// The evaluation curve of one direction with its characteristic points and idealisation.
struct EvaluationPlot {
    PlotPoints curve;
    PointList bilinear;
    SkeletonResult result; // its yield, peak and ultimate points
};

// Everything the result plots show, taken from the results and, for the protocol and the
// travelled displacement, from the analysis they were computed on.
struct ResultPlots {
    ProtocolPlot protocol;
    EnergyPlot energy;
    PlotPoints damping;
    StiffnessPlot stiffness;
    std::vector<StrengthLevel> strength;
    EvaluationPlot positive, negative;
};
ResultPlots resultPlots(const LoopAnalysis& analysis, const EngineeringResults& results);

} // namespace tc
