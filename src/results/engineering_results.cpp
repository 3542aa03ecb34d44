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

} // namespace

// ---- per loop ----

// Energy dissipated in one cycle, the area enclosed by the hysteresis loop (JGJ/T 101-2015,
// energy dissipation; Chopra, Dynamics of Structures: E_D = closed integral of f dd), by the
// trapezoidal rule (the shoelace formula) over the recorded polygon.
double loopEnergy(const std::vector<double>& d, const std::vector<double>& f, int from, int to) {
    const std::size_t n = std::min(d.size(), f.size());
    if (from < 0 || to < from || static_cast<std::size_t>(to) >= n) return 0;
    const std::size_t a = static_cast<std::size_t>(from), b = static_cast<std::size_t>(to);
    // Extended precision: a loop of a long record sums up to a million small terms.
    long double sum = 0, gross = 0;
    auto add = [&](long double term) {
        sum += term;
        gross += term < 0 ? -term : term;
    };
    for (std::size_t i = a; i < b; ++i)
        add((static_cast<long double>(f[i]) + f[i + 1]) *
            (static_cast<long double>(d[i + 1]) - d[i]));
    // The closing chord; zero for a complete loop, whose ends both lie on the reference.
    add((static_cast<long double>(f[b]) + f[a]) * (static_cast<long double>(d[a]) - d[b]));
    // An elastic loop (out and back along one line) encloses nothing; what is left of it below
    // the precision of the recorded numbers themselves (a few units in their 16th digit) is 0,
    // not 1E-19.
    constexpr long double kRecordedPrecision = 8 * std::numeric_limits<double>::epsilon();
    if ((sum < 0 ? -sum : sum) <= gross * kRecordedPrecision) return 0;
    return static_cast<double>(sum / 2);
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
        if (2 * static_cast<std::size_t>(k) >= analysis.crossIndex.size()) break;
        LoopBounds b = loopBounds(analysis.crossIndex, size, k);
        if (b.start < 0 || b.start >= size) break;
        b.end = std::clamp(b.end, b.start, size - 1);

        LoopResult r;
        const std::size_t kk = static_cast<std::size_t>(k);
        r.loop = k + 1;
        r.hasFirstHalf = kk < halves1;
        r.hasSecondHalf = kk < halves2;
        if (r.hasFirstHalf) {
            r.d1 = analysis.maxDisp1[kk];
            r.f1 = analysis.maxDispForce1[kk];
        }
        if (r.hasSecondHalf) {
            r.d2 = analysis.maxDisp2[kk];
            r.f2 = analysis.maxDispForce2[kk];
        }
        r.energy = loopEnergy(d, f, b.start, b.end);
        cumulative += r.energy;
        r.cumulativeEnergy = static_cast<double>(cumulative);
        if (r.hasFirstHalf && r.hasSecondHalf) {
            const double dd1 = r.d1 - d0, dd2 = r.d2 - d0;
            r.damping = equivalentDamping(r.energy, dd1, r.f1, dd2, r.f2);
            r.secantStiffness = peakToPeakStiffness(dd1, r.f1, dd2, r.f2);
        }
        out.push_back(r);
    }

    const double tol = std::isfinite(levelTolerance) ? std::fabs(levelTolerance) : 0.0;
    LevelIndex levels(tol);
    std::vector<double> leaderForce; // |F1| + |F2| of each level's leader
    for (LoopResult& r : out) {
        if (!r.hasFirstHalf || !r.hasSecondHalf) continue;
        const double force = std::fabs(r.f1) + std::fabs(r.f2);
        r.level = levels.place(r.d1 - d0, r.d2 - d0);
        if (static_cast<std::size_t>(r.level) > leaderForce.size()) leaderForce.push_back(force);
        const double den = leaderForce[static_cast<std::size_t>(r.level) - 1];
        if (den != 0) r.degradation = finite(force / den);
    }
    return out;
}

// ---- skeleton ----

namespace {

// A skeleton curve in coordinates relative to its origin and mirrored into the first quadrant:
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
            if (x == ub) return v[i];
            return v[i - 1] + (x - ua) * (v[i] - v[i - 1]) / (ub - ua);
        }
        return pmax;
    }

    // Displacement at which the rising branch (origin to peak) first reaches force y.
    std::optional<double> risingDispAt(double y) const {
        for (std::size_t i = 1; i <= peak; ++i) {
            const double va = v[i - 1], vb = v[i];
            if (y < std::min(va, vb) || y > std::max(va, vb)) continue;
            if (y == va) return u[i - 1];
            if (y == vb) return u[i];
            return u[i - 1] + (y - va) * (u[i] - u[i - 1]) / (vb - va);
        }
        return std::nullopt;
    }
};

// A point in relative coordinates; index is the curve point it coincides with, or -1.
struct RelPoint {
    double u = 0, v = 0;
    long long index = -1;
};

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
            r.at = {c.u[i - 1] +
                        (target - c.v[i - 1]) * (c.u[i] - c.u[i - 1]) / (c.v[i] - c.v[i - 1]),
                    target};
        return r;
    }
    const std::size_t last = c.size() - 1;
    return {{c.u[last], c.v[last], static_cast<long long>(last)}, last, false};
}

// Geometric (general yield moment) method of Chinese test practice: the initial tangent meets
// P = Pmax at A; the curve's point B below A defines the secant OB, which meets P = Pmax at C;
// the yield point is the curve's point below C.
std::optional<RelPoint> yieldGeneralYieldMoment(const Relative& c, std::optional<double> k0) {
    if (!k0 || !(*k0 > 0)) return std::nullopt;
    const double uA = c.pmax / *k0;
    if (!std::isfinite(uA) || !(uA > 0)) return std::nullopt;
    const double vB = uA >= c.u[c.peak] ? c.pmax : c.forceAt(uA);
    if (!(vB > 0)) return std::nullopt;
    const double uC = c.pmax * uA / vB; // Pmax / (vB / uA)
    // Beyond the peak the construction has left the rising branch (a curve that stiffens
    // towards its peak): the method gives no yield point.
    if (!std::isfinite(uC) || uC > c.u[c.peak]) return std::nullopt;
    return RelPoint{uC, c.forceAt(uC)};
}

// Equivalent energy elastic-plastic curve (ASTM E2126 EEEP): elastic slope
// through 0.4 Pmax on the rising branch, plastic plateau Py chosen so that the bilinear curve
// encloses the same area as the skeleton up to the ultimate point.
std::optional<RelPoint> yieldEeep(const Relative& c, const Ultimate& ult) {
    const auto u40 = c.risingDispAt(0.4 * c.pmax);
    if (!u40 || !(*u40 > 0)) return std::nullopt;
    const double ke = 0.4 * c.pmax / *u40;
    double area = 0;
    for (std::size_t i = 1; i < ult.segEnd; ++i)
        area += (c.v[i - 1] + c.v[i]) / 2 * (c.u[i] - c.u[i - 1]);
    const std::size_t a = ult.segEnd - 1;
    area += (c.v[a] + ult.at.v) / 2 * (ult.at.u - c.u[a]);
    const double du = ult.at.u;
    const double disc = du * du - 2 * area / ke;
    const double py = disc >= 0 ? (du - std::sqrt(disc)) * ke : 0.85 * c.pmax;
    return RelPoint{py / ke, py};
}

// Park (1989) 0.75 Pmax secant ("equivalent elasto-plastic yield"): the secant through 0.75 Pmax on
// the rising branch meets P = Pmax at Dy = D(0.75 Pmax) / 0.75; the yield point is the curve's
// point at Dy.
std::optional<RelPoint> yieldPark(const Relative& c) {
    const auto u75 = c.risingDispAt(0.75 * c.pmax);
    if (!u75 || !(*u75 > 0)) return std::nullopt;
    const double dy = *u75 / 0.75;
    if (dy > c.u[c.peak]) return std::nullopt; // beyond the peak: see the geometric method
    return RelPoint{dy, c.forceAt(dy)};
}

// Farthest point method (Feng, Qiang and Ye (2017), Engineering Mechanics): the rising-branch
// point with the largest perpendicular distance above the chord from the origin to the peak;
// the distance is proportional to v up - u vp.
std::optional<RelPoint> yieldFarthestPoint(const Relative& c) {
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
    return best;
}

} // namespace

SkeletonResult skeletonResult(const PointList& curve, int sign, YieldMethod method) {
    SkeletonResult r;
    const std::size_t n = curve.size();
    if (n == 0) return r;
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
    if (n < 2 || c.peak == 0 || !(c.pmax > 0) || !allFinite) return r;
    r.valid = true;

    // Back to chart coordinates; a point on the curve is taken as it is.
    const auto chart = [&](const RelPoint& p) {
        if (p.index >= 0) return curve[static_cast<std::size_t>(p.index)];
        return CurvePoint{o.x + s * p.u, o.y + s * p.v};
    };

    // Initial (elastic) stiffness: the secant from the origin to the first recorded point;
    // mirroring leaves the slope unchanged.
    if (c.u[1] > 0) r.initialStiffness = finite(c.v[1] / c.u[1]);

    const Ultimate ult = ultimatePoint(c);
    r.ultimate = chart(ult.at);
    r.ultimateReached = ult.reached;

    std::optional<RelPoint> y;
    switch (method) {
    case YieldMethod::GeneralYieldMoment:
        y = yieldGeneralYieldMoment(c, r.initialStiffness);
        break;
    case YieldMethod::Eeep:
        y = yieldEeep(c, ult);
        break;
    case YieldMethod::Park:
        y = yieldPark(c);
        break;
    case YieldMethod::FarthestPoint:
        y = yieldFarthestPoint(c);
        break;
    }
    if (y && std::isfinite(y->u) && std::isfinite(y->v)) {
        const CurvePoint p = chart(*y);
        if (std::isfinite(p.x) && std::isfinite(p.y)) {
            r.yield = p;
            // Displacement ductility mu = Du / Dy (Park, 1989).
            if (y->u > 0) r.ductility = finite(ult.at.u / y->u);
        }
    }
    return r;
}

} // namespace tc
