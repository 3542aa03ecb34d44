// The results of a skeleton curve: its peak, yield point by each method, ultimate point,
// ductility and initial stiffness.
#include "results/engineering_results.h"

#include "results/result_math.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace tc {

using result_math::finite;
using result_math::interpolate;

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

} // namespace tc
