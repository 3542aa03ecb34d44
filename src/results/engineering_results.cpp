#include "results/engineering_results.h"

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

std::optional<double> finite(double x) {
    if (!std::isfinite(x)) return std::nullopt;
    return x;
}

bool finite(const CurvePoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// Where target lies between a and b (a != b, target between them), as a fraction from 0 at a to
// 1 at b. The quotient comes first, so values near the largest double do not overflow.
double fractionBetween(double a, double target, double b) {
    double num = target - a, den = b - a;
    if (!std::isfinite(num) || !std::isfinite(den)) {
        num = target / 2 - a / 2;
        den = b / 2 - a / 2;
    }
    const double t = num / den;
    return t > 0 ? (t < 1 ? t : 1.0) : 0.0; // NaN (never expected) as 0
}

// The x at which the segment (xa, ya)-(xb, yb) reaches y (ya != yb, y between them); finite for
// finite ends (std::lerp neither overflows nor leaves the segment).
double interpolate(double xa, double ya, double xb, double yb, double y) {
    if (y == ya) return xa;
    if (y == yb) return xb;
    return std::lerp(xa, xb, fractionBetween(ya, y, yb));
}

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

// ---- skeleton ----

namespace {

// A curve in coordinates relative to its origin and mirrored into the first quadrant:
// u = sign (x - Ox), v = sign (y - Oy).
struct Relative {
    std::vector<double> u, v;
    std::size_t peak = 0; // index of the largest v, the earliest of equals
    double pmax = 0;

    std::size_t size() const { return u.size(); }

    // Force at displacement x along the curve: the first segment, from the origin on, whose
    // displacement range holds x, interpolated linearly; Pmax when no segment holds it.
    double forceAt(double x) const {
        for (std::size_t i = 1; i < size(); ++i) {
            const double ua = u[i - 1], ub = u[i];
            if (x < std::min(ua, ub) || x > std::max(ua, ub)) continue;
            if (x == ua) return v[i - 1];
            return interpolate(v[i - 1], ua, v[i], ub, x);
        }
        return pmax;
    }

    // Displacement at which the rising branch (origin to peak) first reaches force y.
    std::optional<double> risingDispAt(double y) const {
        for (std::size_t i = 1; i <= peak; ++i) {
            const double va = v[i - 1], vb = v[i];
            if (y < std::min(va, vb) || y > std::max(va, vb)) continue;
            if (y == va) return u[i - 1];
            return interpolate(u[i - 1], va, u[i], vb, y);
        }
        return std::nullopt;
    }
};

// A point in relative coordinates; index is the curve point it coincides with, or -1.
struct RelPoint {
    double u = 0, v = 0;
    long long index = -1;
};

// A yield point, or why there is none.
struct Yield {
    std::optional<RelPoint> point;
    const char* reason = nullptr;
};

Yield none(const char* reason) {
    return {std::nullopt, reason};
}

constexpr const char* kNeedsK0 = "Dy needs K0";
constexpr const char* kBeyondPeak =
    "the yield construction ends beyond the peak (the curve stiffens towards it)";

// The ultimate point: where the force first falls to 85 % of Pmax after the peak (JGJ/T
// 101-2015 failure load 0.85 Pmax; Park (1989), "Evaluation of ductility of structures and
// structural assemblages from laboratory testing"), or the last point when it never does. segEnd is
// the index of the point ending the segment that holds it.
struct Ultimate {
    RelPoint at;
    std::size_t segEnd = 0;
    bool reached = false;
};

Ultimate ultimatePoint(const Relative& c) {
    const double target = 0.85 * c.pmax;
    for (std::size_t i = c.peak + 1; i < c.size(); ++i) {
        if (!(c.v[i] <= target)) continue;
        // v[i - 1] > target >= v[i]: the segment falls through the target.
        Ultimate r{{}, i, true};
        if (c.v[i] == target)
            r.at = {c.u[i], c.v[i], static_cast<long long>(i)};
        else
            r.at = {interpolate(c.u[i - 1], c.v[i - 1], c.u[i], c.v[i], target), target};
        return r;
    }
    const std::size_t last = c.size() - 1;
    return {{c.u[last], c.v[last], static_cast<long long>(last)}, last, false};
}

// The area under the curve from the origin to the ultimate point, by the trapezoidal rule.
double areaToUltimate(const Relative& c, const Ultimate& ult) {
    double area = 0;
    for (std::size_t i = 1; i < ult.segEnd; ++i)
        area += (c.v[i - 1] / 2 + c.v[i] / 2) * (c.u[i] - c.u[i - 1]);
    const std::size_t a = ult.segEnd - 1;
    area += (c.v[a] / 2 + ult.at.v / 2) * (ult.at.u - c.u[a]);
    return area;
}

// Initial (elastic) stiffness: the secant from the origin to the point where the curve first
// reaches 0.4 Pmax, interpolated (ASTM E2126-19, 9.1.4 elastic shear stiffness, the secant
// through 0.4 Pmax on the envelope); mirroring leaves the slope unchanged. A first point that
// already carries force (loop 1's middle crossing) does not set it.
std::optional<double> initialStiffness(const Relative& c, std::vector<std::string>& notes) {
    const auto u40 = c.risingDispAt(0.4 * c.pmax);
    if (!u40 || !(*u40 > 0)) {
        notes.emplace_back("K0: the curve reaches 0.4 Pmax at no displacement beyond the origin");
        return std::nullopt;
    }
    const double k0 = 0.4 * c.pmax / *u40;
    if (!(k0 > 0) || !std::isfinite(k0)) {
        notes.emplace_back("K0 is beyond the range of numbers");
        return std::nullopt;
    }
    return k0;
}

// Geometric (general yield moment) method of Chinese test practice: the initial tangent meets
// P = Pmax at A; the curve's point B below A defines the secant OB, which meets P = Pmax at C;
// the yield point is the curve's point below C.
Yield yieldGeneralYieldMoment(const Relative& c, std::optional<double> k0) {
    if (!k0) return none(kNeedsK0);
    const double uA = c.pmax / *k0;
    if (!std::isfinite(uA) || !(uA > 0)) return none("Pmax / K0 is beyond the range of numbers");
    const double vB = uA >= c.u[c.peak] ? c.pmax : c.forceAt(uA);
    if (!(vB > 0)) return none("the curve carries no force below Pmax / K0");
    const double uC = c.pmax * (uA / vB); // Pmax / (vB / uA)
    // Beyond the peak the construction has left the rising branch (a curve that stiffens
    // towards its peak): the method gives no yield point.
    if (!std::isfinite(uC) || uC > c.u[c.peak]) return none(kBeyondPeak);
    return {RelPoint{uC, c.forceAt(uC)}};
}

// Equivalent energy elastic-plastic curve (ASTM E2126 EEEP): elastic slope K0 through 0.4 Pmax
// on the rising branch, plastic plateau Py chosen so that the bilinear curve encloses the same
// area as the curve up to the ultimate point.
Yield yieldEeep(const Relative& c, const Ultimate& ult, std::optional<double> k0) {
    if (!k0) return none(kNeedsK0);
    const double ke = *k0;
    const double area = areaToUltimate(c, ult);
    const double du = ult.at.u;
    const double disc = du * du - 2 * (area / ke);
    const double py = disc >= 0 ? (du - std::sqrt(disc)) * ke : 0.85 * c.pmax;
    return {RelPoint{py / ke, py}};
}

// Park (1989) 0.75 Pmax secant ("equivalent elasto-plastic yield"): the secant through 0.75 Pmax on
// the rising branch meets P = Pmax at Dy = D(0.75 Pmax) / 0.75; the yield point is the curve's
// point at Dy.
Yield yieldPark(const Relative& c) {
    const auto u75 = c.risingDispAt(0.75 * c.pmax);
    if (!u75 || !(*u75 > 0))
        return none("the curve reaches 0.75 Pmax at no displacement beyond the origin");
    const double dy = *u75 / 0.75;
    if (dy > c.u[c.peak]) return none(kBeyondPeak);
    return {RelPoint{dy, c.forceAt(dy)}};
}

// Farthest point method (Feng, Qiang and Ye (2017), Engineering Mechanics): the rising-branch
// point with the largest perpendicular distance above the chord from the origin to the peak;
// the distance is proportional to v up - u vp.
Yield yieldFarthestPoint(const Relative& c) {
    const double up = c.u[c.peak], vp = c.v[c.peak];
    std::optional<RelPoint> best;
    double bestDist = 0;
    for (std::size_t i = 1; i < c.peak; ++i) {
        const double dist = c.v[i] * up - c.u[i] * vp;
        if (dist > bestDist) {
            bestDist = dist;
            best = RelPoint{c.u[i], c.v[i], static_cast<long long>(i)};
        }
    }
    if (!best) return none("no point of the curve lies above the line from the origin to the peak");
    return {best};
}

// Bilinear idealisation of ASCE/SEI 41-17, 7.4.3.2.5 (FEMA 356, 3.3.3.2.5): the elastic line is
// the secant through the curve's point at 0.6 Py, the second line runs from (Dy, Py) to the
// curve's point at the target displacement, here Du, and Py balances the areas under the
// bilinear and the curve up to Du. With A that area and Pu the curve's force at Du the balance
// A = Py Dy / 2 + (Py + Pu) (Du - Dy) / 2 with Dy = Py / Ke gives Py = (2 A - Pu Du) /
// (Du - Pu / Ke); Ke depends on Py, so the two are iterated to a fixed point.
Yield yieldAsce41(const Relative& c, const Ultimate& ult) {
    const double du = ult.at.u, pu = ult.at.v;
    const double area = areaToUltimate(c, ult);
    if (!(du > 0) || !std::isfinite(area)) return none("the curve has no area up to Du");
    const char* noBalance = "no bilinear curve balances the areas up to Du";
    double py = c.pmax, step = py;
    for (int iteration = 0; iteration < 500 && step > 1e-15 * py; ++iteration) {
        const auto u60 = c.risingDispAt(0.6 * py);
        if (!u60 || !(*u60 > 0)) return none(noBalance);
        const double den = du - pu * (*u60 / (0.6 * py)); // Du - Pu / Ke
        if (!(den > 0)) return none(noBalance);
        const double next = (2 * area - pu * du) / den;
        if (!(next > 0) || !std::isfinite(next)) return none(noBalance);
        step = std::fabs(next - py);
        py = next;
    }
    const auto u60 = c.risingDispAt(0.6 * py);
    if (step > 1e-9 * py || !u60 || !(*u60 > 0)) return none(noBalance);
    const double dy = *u60 / 0.6; // Py / Ke
    if (!(dy <= du)) return none("the bilinear curve yields beyond Du");
    return {RelPoint{dy, py}};
}

// ECCS (1986), "Recommended testing procedure for assessing the behaviour of structural steel
// elements under cyclic loads", Publication No. 45: the yield point is where the tangent at the
// origin (slope K0) meets the tangent to the curve of slope K0 / 10 (the curve's tangent in the
// peak region); for the recorded polygon that tangent touches it at the point up to the peak
// with the largest v - u K0 / 10.
Yield yieldEccs(const Relative& c, std::optional<double> k0) {
    if (!k0) return none(kNeedsK0);
    const double k2 = *k0 / 10;
    double b = 0;
    for (std::size_t i = 0; i <= c.peak; ++i)
        b = std::max(b, c.v[i] - k2 * c.u[i]);
    const double uy = b / (*k0 - k2);
    if (!(uy > 0) || !std::isfinite(uy))
        return none("the two tangents do not meet beyond the origin");
    if (uy > c.u[c.peak]) return none(kBeyondPeak);
    return {RelPoint{uy, *k0 * uy}};
}

} // namespace

SkeletonResult skeletonResult(const PointList& curve, int sign, YieldMethod method) {
    SkeletonResult r;
    const std::size_t n = curve.size();
    if (n == 0) {
        r.notes.emplace_back("the curve has no points");
        return r;
    }
    const double s = sign < 0 ? -1.0 : 1.0;
    const CurvePoint o = curve[0];
    r.origin = o;

    Relative c;
    c.u.resize(n);
    c.v.resize(n);
    bool allFinite = true;
    for (std::size_t i = 0; i < n; ++i) {
        c.u[i] = s * (curve[i].x - o.x);
        c.v[i] = s * (curve[i].y - o.y);
        allFinite = allFinite && std::isfinite(c.u[i]) && std::isfinite(c.v[i]);
        if (c.v[i] > c.v[c.peak]) c.peak = i;
    }
    c.pmax = c.v[c.peak];
    r.peak = curve[c.peak];
    if (n < 2) {
        r.notes.emplace_back("the curve has only its origin");
        return r;
    }
    if (!allFinite) {
        r.notes.emplace_back("a point lies beyond the range of numbers");
        return r;
    }
    if (c.peak == 0 || !(c.pmax > 0)) {
        r.notes.emplace_back("no force beyond the origin's in this direction");
        return r;
    }
    r.valid = true;

    // Back to chart coordinates; a point on the curve is taken as it is.
    const auto chart = [&](const RelPoint& p) {
        if (p.index >= 0) return curve[static_cast<std::size_t>(p.index)];
        return CurvePoint{o.x + s * p.u, o.y + s * p.v};
    };

    r.initialStiffness = initialStiffness(c, r.notes);

    const Ultimate ult = ultimatePoint(c);
    r.ultimate = chart(ult.at);
    r.ultimateReached = ult.reached;
    if (!finite(r.ultimate)) {
        // Only where the origin and a point lie at the two ends of the range of numbers.
        r.valid = false;
        r.notes.emplace_back("the ultimate point lies beyond the range of numbers");
        return r;
    }

    Yield y;
    switch (method) {
    case YieldMethod::GeneralYieldMoment:
        y = yieldGeneralYieldMoment(c, r.initialStiffness);
        break;
    case YieldMethod::Eeep:
        y = yieldEeep(c, ult, r.initialStiffness);
        break;
    case YieldMethod::Park:
        y = yieldPark(c);
        break;
    case YieldMethod::FarthestPoint:
        y = yieldFarthestPoint(c);
        break;
    case YieldMethod::Asce41:
        y = yieldAsce41(c, ult);
        break;
    case YieldMethod::Eccs:
        y = yieldEccs(c, r.initialStiffness);
        break;
    }
    if (y.point && std::isfinite(y.point->u) && std::isfinite(y.point->v)) {
        const CurvePoint p = chart(*y.point);
        if (finite(p)) {
            r.yield = p;
            // Displacement ductility mu = Du / Dy (Park, 1989).
            if (y.point->u > 0) r.ductility = finite(ult.at.u / y.point->u);
            if (!r.ductility)
                r.notes.emplace_back("Du/Dy needs a yield displacement beyond the origin");
        } else {
            y.reason = "the yield point lies beyond the range of numbers";
        }
    } else if (y.point) {
        y.reason = "the yield point lies beyond the range of numbers";
    }
    if (!r.yield)
        r.notes.emplace_back(std::string("no yield point: ") + (y.reason ? y.reason : "--"));
    return r;
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
