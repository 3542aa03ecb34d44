#include "results/engineering_results.h"

#include "results/result_math.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <numbers>
#include <utility>

namespace tc {

namespace {

using result_math::finite;
using result_math::interpolate;

// The trapezoidal integral of f dd over points from..to, plus the closing chord from to back to
// from when closed. An elastic path (out and back along one line) encloses nothing; what is left
// of it below the precision of the recorded numbers themselves (a few units in their 16th digit)
// is 0, not 1E-19. Extended precision: a long record sums up to a million small terms.
double trapezoidArea(const std::vector<double>& d, const std::vector<double>& f, std::size_t a,
                     std::size_t b, bool closed) {
    long double sum = 0, gross = 0;
    auto add = [&](long double term) {
        sum += term;
        gross += term < 0 ? -term : term;
    };
    for (std::size_t i = a; i < b; ++i)
        add((static_cast<long double>(f[i]) + f[i + 1]) *
            (static_cast<long double>(d[i + 1]) - d[i]));
    if (closed)
        add((static_cast<long double>(f[b]) + f[a]) * (static_cast<long double>(d[a]) - d[b]));
    constexpr long double kRecordedPrecision = 8 * std::numeric_limits<double>::epsilon();
    if ((sum < 0 ? -sum : sum) <= gross * kRecordedPrecision) return 0;
    return static_cast<double>(sum / 2);
}

} // namespace

// ---- per loop ----

// Energy dissipated in one cycle, the area enclosed by the hysteresis loop (JGJ/T 101-2015,
// energy dissipation; Chopra, Dynamics of Structures: E_D = closed integral of f dd), by the
// trapezoidal rule (the shoelace formula) over the recorded polygon. The closing chord is zero
// for a complete loop, whose ends both lie on the reference.
double loopEnergy(const std::vector<double>& d, const std::vector<double>& f, int from, int to) {
    const std::size_t n = std::min(d.size(), f.size());
    if (from < 0 || to < from || static_cast<std::size_t>(to) >= n) return 0;
    return trapezoidArea(d, f, static_cast<std::size_t>(from), static_cast<std::size_t>(to), true);
}

// The work done on the specimen over the whole record, W = integral of F dD along the recorded
// path (Chopra, Dynamics of Structures: the energy input), by the trapezoidal rule with no
// closing chord: nothing of an unfinished last cycle is lost or invented.
double curveEnergy(const std::vector<double>& d, const std::vector<double>& f) {
    const std::size_t n = std::min(d.size(), f.size());
    if (n < 2) return 0;
    return trapezoidArea(d, f, 0, n - 1, false);
}

// Equivalent viscous damping coefficient he = E / (2 pi (S_OBE + S_ODF)), the loop energy over
// 2 pi times the strain energy of the two peak triangles (JGJ/T 101-2015 equivalent viscous
// damping; Chopra, Dynamics of Structures: zeta_eq = E_D / (4 pi E_So), here with the two
// half-cycles' strain energies averaged).
std::optional<double> equivalentDamping(double energy, double d1, double f1, double d2, double f2) {
    const double strain = f1 * d1 / 2 + f2 * d2 / 2;
    if (!(strain > 0)) return std::nullopt;
    return finite(energy / (2 * std::numbers::pi * strain));
}

// Peak-to-peak secant stiffness K = (|+F| + |-F|) / (|+D| + |-D|) of one cycle (JGJ/T 101-2015
// secant stiffness for stiffness degradation).
std::optional<double> peakToPeakStiffness(double d1, double f1, double d2, double f2) {
    const double den = std::fabs(d1) + std::fabs(d2);
    if (den == 0) return std::nullopt;
    return finite((std::fabs(f1) + std::fabs(f2)) / den);
}

namespace {

// The amplitude levels of a loading protocol (JGJ/T 101-2015 strength degradation factor: the
// peak force of a cycle over that of the first cycle at the same displacement amplitude). A loop
// joins the most recent level whose first loop (its leader) has both peak displacements within
// the relative tolerance of its own; otherwise it leads a new level.
//
// A long noisy record holds many small loops and thus thousands of levels, so instead of trying
// every leader the leaders are filed in a grid over (ln |D1|, ln |D2|) and a loop tries only the
// cells within reach: for tol < 1, |Dj - Di| <= tol |Di| means Di has the sign of Dj and
// ln |Di| lies in [ln |Dj| - ln(1 + tol), ln |Dj| - ln(1 - tol)] (Di = 0 only for Dj = 0). The
// reach is widened against rounding, the test itself is always the exact one, and among all
// matches the most recent leader wins, as in a backward scan. Large tolerances and displacements
// too small for full precision take the backward scan itself.
class LevelIndex {
public:
    explicit LevelIndex(double tol) : tol_(tol), gridded_(tol < 0.9) {
        if (!gridded_) return;
        width_ = std::max(std::log((1 + tol) / (1 - tol)), 1e-5);
        reachLo_ = -std::log1p(tol) - 1e-9;
        reachHi_ = -std::log1p(-tol) + 1e-9;
        slots_.assign(64, Slot{});
    }

    // Level number (from 1) for peak displacements (a, b); a new level, led by them, when no
    // leader matches.
    int place(double a, double b) {
        std::size_t best = none;
        if (std::isfinite(a) && std::isfinite(b)) {
            if (gridded_ && precise(a) && precise(b))
                best = searchGrid(a, b);
            else
                for (std::size_t i = leaders_.size(); i-- > 0;)
                    if (matches(a, b, leaders_[i])) {
                        best = i;
                        break;
                    }
        }
        if (best != none) return static_cast<int>(best) + 1;
        leaders_.push_back({a, b, none});
        if (gridded_ && std::isfinite(a) && std::isfinite(b)) file(leaders_.size() - 1);
        return static_cast<int>(leaders_.size());
    }

private:
    static constexpr std::size_t none = static_cast<std::size_t>(-1);

    struct Leader {
        double a, b;
        std::size_t older; // the previous leader of the same cell, or none
    };

    bool matches(double a, double b, const Leader& l) const {
        return std::fabs(a - l.a) <= tol_ * std::fabs(l.a) &&
               std::fabs(b - l.b) <= tol_ * std::fabs(l.b);
    }

    // Far enough above the subnormal range for the rounding bound of the reach.
    static bool precise(double x) { return x == 0 || std::fabs(x) >= 1e-280; }

    // Cell code of a displacement along one axis: 1 for zero, otherwise the sign and the cell of
    // ln |x|. |ln x| <= 745 and a width >= 1e-5 keep cells within +-2^27, codes below 2^30.
    static std::uint64_t code(bool negative, long long cell) {
        return 2 + (negative ? 1 : 0) + 2 * static_cast<std::uint64_t>(cell + (1LL << 27));
    }
    long long cellIndex(double lnx) const {
        return static_cast<long long>(std::floor(lnx / width_));
    }
    std::uint64_t cellOf(double x) const {
        if (x == 0) return 1;
        return code(x < 0, cellIndex(std::log(std::fabs(x))));
    }
    // Never 0, the mark of a free slot.
    static std::uint64_t key(std::uint64_t ca, std::uint64_t cb) { return ca << 32 | cb; }

    // First and last cell code a matching leader's displacement can have, for displacement x;
    // the codes of one sign step by 2.
    std::pair<std::uint64_t, std::uint64_t> reach(double x) const {
        if (x == 0) return {1, 1};
        const double lnx = std::log(std::fabs(x));
        return {code(x < 0, cellIndex(lnx + reachLo_)), code(x < 0, cellIndex(lnx + reachHi_))};
    }

    // A cell of the grid: its key (0 when free) and its newest leader.
    struct Slot {
        std::uint64_t key = 0;
        std::size_t newest = none;
    };

    // Open addressing with linear probing over a power-of-two table at most half full: the slot
    // holding key k, or the free slot where it would go.
    std::size_t slot(std::uint64_t k) const {
        const std::size_t mask = slots_.size() - 1;
        std::size_t i = static_cast<std::size_t>((k * 0x9E3779B97F4A7C15ull) >> 32) & mask;
        while (slots_[i].key != 0 && slots_[i].key != k)
            i = (i + 1) & mask;
        return i;
    }

    void file(std::size_t id) {
        if (2 * (cells_ + 1) > slots_.size()) {
            std::vector<Slot> old(2 * slots_.size());
            old.swap(slots_);
            for (const Slot& c : old)
                if (c.key != 0) slots_[slot(c.key)] = c;
        }
        Leader& l = leaders_[id];
        const std::uint64_t k = key(cellOf(l.a), cellOf(l.b));
        Slot& c = slots_[slot(k)];
        if (c.key == 0) {
            c.key = k;
            ++cells_;
        }
        l.older = c.newest;
        c.newest = id;
    }

    std::size_t searchGrid(double a, double b) const {
        const auto [a0, a1] = reach(a);
        const auto [b0, b1] = reach(b);
        std::size_t best = none;
        for (std::uint64_t ca = a0; ca <= a1; ca += 2)
            for (std::uint64_t cb = b0; cb <= b1; cb += 2) {
                // A cell's leaders from the newest back: its first match is its most recent.
                for (std::size_t id = slots_[slot(key(ca, cb))].newest; id != none;
                     id = leaders_[id].older)
                    if (matches(a, b, leaders_[id])) {
                        if (best == none || id > best) best = id;
                        break;
                    }
            }
        return best;
    }

    double tol_;
    bool gridded_;
    double width_ = 1, reachLo_ = 0, reachHi_ = 0;
    std::vector<Leader> leaders_;
    std::vector<Slot> slots_;
    std::size_t cells_ = 0;
};

// The residual displacement of one unloading branch, points from..to of the analysed curve (the
// half's peak to its closing crossing): the displacement where the force first reaches zero
// after the peak, interpolated linearly between the recorded points (FEMA 461, residual
// deformation at zero force; JGJ/T 101-2015 residual deformation); none when it never does.
std::optional<double> residualDisplacement(const std::vector<double>& d,
                                           const std::vector<double>& f, int from, int to) {
    if (from < 0 || to < from) return std::nullopt;
    const auto a = static_cast<std::size_t>(from), b = static_cast<std::size_t>(to);
    if (f[a] == 0) return finite(d[a]);
    for (std::size_t j = a + 1; j <= b; ++j) {
        if (f[j] == 0) return finite(d[j]);
        if ((f[j - 1] > 0) != (f[j] > 0))
            return finite(interpolate(d[j - 1], f[j - 1], d[j], f[j], 0));
    }
    return std::nullopt;
}

} // namespace

std::vector<LoopResult> loopResults(const LoopAnalysis& analysis, int loopCount,
                                    double levelTolerance) {
    std::vector<LoopResult> out;
    const auto& d = analysis.loopDisp;
    const auto& f = analysis.loopForce;
    const std::size_t n = std::min(d.size(), f.size());
    if (analysis.crossIndex.empty() || n == 0 || loopCount <= 0) return out;
    const int size = static_cast<int>(std::min(n, static_cast<std::size_t>(INT_MAX)));
    const double d0 = d[0];
    const std::size_t halves1 = std::min(
        {analysis.peakIndex1.size(), analysis.maxDisp1.size(), analysis.maxDispForce1.size()});
    const std::size_t halves2 = std::min(
        {analysis.peakIndex2.size(), analysis.maxDisp2.size(), analysis.maxDispForce2.size()});

    out.reserve(static_cast<std::size_t>(std::min<long long>(
        loopCount, static_cast<long long>(analysis.crossIndex.size() + 1) / 2)));
    long double cumulative = 0;
    for (int k = 0; k < loopCount; ++k) {
        // A loop whose start crossing is missing or outside the analysed curve ends the table.
        const std::size_t kk = static_cast<std::size_t>(k);
        if (2 * kk >= analysis.crossIndex.size()) break;
        LoopBounds b = loopBounds(analysis.crossIndex, size, k);
        if (b.start < 0 || b.start >= size) break;
        b.end = std::clamp(b.end, b.start, size - 1);
        const bool middleInside = b.middle >= b.start && b.middle <= b.end;

        LoopResult r;
        r.loop = k + 1;
        // Loop n closes on crossing 2n; without it the record stopped inside the loop.
        r.open = 2 * kk + 2 >= analysis.crossIndex.size();
        r.hasFirstHalf = kk < halves1;
        r.hasSecondHalf = kk < halves2;
        if (r.hasFirstHalf) {
            r.d1 = analysis.maxDisp1[kk];
            r.f1 = analysis.maxDispForce1[kk];
            if (middleInside)
                r.residual1 = residualDisplacement(d, f, analysis.peakIndex1[kk], b.middle);
        }
        if (r.hasSecondHalf) {
            r.d2 = analysis.maxDisp2[kk];
            r.f2 = analysis.maxDispForce2[kk];
            if (middleInside)
                r.residual2 = residualDisplacement(d, f, analysis.peakIndex2[kk], b.end);
        }
        if (!r.open) {
            r.energy = finite(loopEnergy(d, f, b.start, b.end));
            if (r.energy) cumulative += *r.energy;
        }
        r.cumulativeEnergy = static_cast<double>(cumulative);
        if (r.hasFirstHalf && r.hasSecondHalf) {
            const double dd1 = r.d1 - d0, dd2 = r.d2 - d0;
            if (r.energy) r.damping = equivalentDamping(*r.energy, dd1, r.f1, dd2, r.f2);
            r.secantStiffness = peakToPeakStiffness(dd1, r.f1, dd2, r.f2);
        }
        out.push_back(r);
    }

    const double tol = std::isfinite(levelTolerance) ? std::fabs(levelTolerance) : 0.0;
    LevelIndex levels(tol);
    std::vector<double> leaderForce; // |F1| + |F2| of each level's leader
    for (LoopResult& r : out) {
        if (!r.hasFirstHalf || !r.hasSecondHalf || r.open) continue;
        const double force = std::fabs(r.f1) + std::fabs(r.f2);
        r.level = levels.place(r.d1 - d0, r.d2 - d0);
        if (static_cast<std::size_t>(r.level) > leaderForce.size()) leaderForce.push_back(force);
        const double den = leaderForce[static_cast<std::size_t>(r.level) - 1];
        if (den != 0) r.degradation = finite(force / den);
    }
    return out;
}

// ---- per amplitude level ----

// Stiffness degradation: the secant stiffness of the first cycle of each displacement level over
// that of the first level (JGJ/T 101-2015 stiffness degradation, K_i = (|+F_i| + |-F_i|) /
// (|+X_i| + |-X_i|)).
std::vector<LevelResult> levelResults(const std::vector<LoopResult>& loops) {
    std::vector<LevelResult> out;
    for (const LoopResult& l : loops) {
        if (l.level <= 0) continue;
        const auto i = static_cast<std::size_t>(l.level) - 1;
        if (i < out.size()) {
            ++out[i].loops;
            continue;
        }
        if (i != out.size()) continue; // levels are numbered in order of their first loop
        LevelResult r;
        r.level = l.level;
        r.firstLoop = l.loop;
        r.loops = 1;
        r.d1 = l.d1;
        r.d2 = l.d2;
        r.secantStiffness = l.secantStiffness;
        out.push_back(r);
    }
    const std::optional<double> k1 = out.empty() ? std::nullopt : out.front().secantStiffness;
    for (LevelResult& r : out)
        if (k1 && *k1 > 0 && r.secantStiffness)
            r.stiffnessDegradation = finite(*r.secantStiffness / *k1);
    return out;
}

// ---- evaluation curves ----

// The initial envelope: the envelope through the peaks of the first cycle of each amplitude
// level (ASTM E2126-19, 3.2.4 envelope curve and 9.1.1 initial envelope; FEMA 461, 2007, the
// backbone from the first cycles of each amplitude), one point per level and direction.
SkeletonCurves firstCycleEnvelope(const LoopAnalysis& analysis,
                                  const std::vector<LoopResult>& loops, LoopDirection direction) {
    SkeletonCurves out;
    const auto& d = analysis.loopDisp;
    const auto& f = analysis.loopForce;
    const std::size_t n = std::min(d.size(), f.size());
    if (analysis.crossIndex.empty() || n == 0 || loops.empty()) return out;
    const int size = static_cast<int>(std::min(n, static_cast<std::size_t>(INT_MAX)));
    const CurvePoint origin{d[0], f[0]};
    out.positive.push_back(origin);
    out.negative.push_back(origin);
    const bool firstHalfPositive = direction == LoopDirection::Positive;

    // The strongest force of points first..last, the earliest of equals; appended when further out.
    auto half = [&](int first, int last, bool positive) {
        auto i = static_cast<std::size_t>(first);
        for (auto j = i + 1; j <= static_cast<std::size_t>(last); ++j)
            if (positive ? f[j] > f[i] : f[j] < f[i]) i = j;
        PointList& c = positive ? out.positive : out.negative;
        if (positive ? d[i] > c.back().x : d[i] < c.back().x) c.push_back({d[i], f[i]});
    };
    int levels = 0;
    for (const LoopResult& l : loops) {
        if (l.level != levels + 1) continue; // not the first loop of a new level
        ++levels;
        const int k = l.loop - 1;
        if (k < 0 || 2 * static_cast<std::size_t>(k) + 2 >= analysis.crossIndex.size()) continue;
        const LoopBounds b = loopBounds(analysis.crossIndex, size, k);
        if (b.start < 0 || b.middle < b.start || b.end < b.middle || b.end >= size) continue;
        half(b.start, b.middle, firstHalfPositive);
        half(b.middle, b.end, !firstHalfPositive);
    }
    return out;
}

// ---- everything the results window shows ----

EngineeringResults engineeringResults(const LoopAnalysis& analysis, int loopCount,
                                      const SkeletonCurves& extracted,
                                      const ResultSettings& settings) {
    EngineeringResults r;
    r.method = settings.method;
    r.curve = settings.curve;
    r.loops = loopResults(analysis, loopCount, settings.levelTolerance);
    r.levels = levelResults(r.loops);
    r.evaluated = settings.curve == EvaluationCurve::FirstCycleEnvelope
                      ? firstCycleEnvelope(analysis, r.loops, settings.direction)
                      : extracted;
    r.positive = skeletonResult(r.evaluated.positive, 1, r.method);
    r.negative = skeletonResult(r.evaluated.negative, -1, r.method);
    for (const LoopResult& l : r.loops)
        if (!l.open) ++r.closedLoops;
    if (!r.loops.empty()) r.closedLoopEnergy = r.loops.back().cumulativeEnergy;
    r.recordEnergy = curveEnergy(analysis.loopDisp, analysis.loopForce);
    r.warnings = resultWarnings(analysis, r.loops, settings.direction, extracted, settings.curve,
                                r.evaluated);
    return r;
}

} // namespace tc
