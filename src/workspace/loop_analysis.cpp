#include "workspace/loop_analysis.h"

#include <cmath>

namespace tc {

LoopBounds loopBounds(const std::vector<int>& crossIndex, int loopDispSize, int k) {
    LoopBounds b;
    const size_t m = crossIndex.size();
    const size_t i = 2 * static_cast<size_t>(k);
    b.start = crossIndex[i];
    b.middle = i + 1 < m ? crossIndex[i + 1] : -1;
    b.end = i + 2 < m ? crossIndex[i + 2] : loopDispSize - 1;
    return b;
}

namespace {

// Index of the largest |disp| in [from, to); the earliest wins on ties; from itself when nothing
// beats it.
int peakOfHalf(const std::vector<double>& d, int from, int to) {
    double best = std::fabs(d[static_cast<size_t>(from)]);
    int p = from;
    for (int j = from + 1; j < to; ++j) {
        const double a = std::fabs(d[static_cast<size_t>(j)]);
        if (a > best) {
            best = a;
            p = j;
        }
    }
    return p;
}

// Interpolated force where the segment (xl, fl)-(x, f) passes the reference d0, in extended
// precision.
double forceAtReference(double d0, double xl, double fl, double x, double f) {
    const long double fc = static_cast<long double>(fl) + (static_cast<long double>(d0) - xl) *
                                                              (static_cast<long double>(f) - fl) /
                                                              (static_cast<long double>(x) - xl);
    return static_cast<double>(fc);
}

// Loop count and the largest-displacement point of each half, from the crossings.
void finishAnalysis(LoopAnalysis& r) {
    const auto& ld = r.loopDisp;
    const auto& lf = r.loopForce;
    const int m = static_cast<int>(r.crossIndex.size());
    const int L = static_cast<int>(ld.size());
    if (m <= 2)
        r.loopCount = 1;
    else
        r.loopCount = (m - 1) / 2 + (r.crossIndex.back() != L - 1 ? 1 : 0);

    for (int k = 0; k < r.loopCount; ++k) {
        const LoopBounds b = loopBounds(r.crossIndex, L, k);
        if (b.middle < 0) continue;
        const int p1 = peakOfHalf(ld, b.start, b.middle);
        r.peakIndex1.push_back(p1);
        r.maxDisp1.push_back(ld[static_cast<size_t>(p1)]);
        r.maxDispForce1.push_back(lf[static_cast<size_t>(p1)]);
        if (b.end <= b.middle) continue;
        const int p2 = peakOfHalf(ld, b.middle, b.end);
        r.peakIndex2.push_back(p2);
        r.maxDisp2.push_back(ld[static_cast<size_t>(p2)]);
        r.maxDispForce2.push_back(lf[static_cast<size_t>(p2)]);
    }
}

// Every passage through the reference counts.
LoopAnalysis analyzeExact(const std::vector<double>& disp, const std::vector<double>& force) {
    LoopAnalysis r;
    const size_t n = disp.size();
    if (n < 3 || force.size() != n) return r;

    const double d0 = disp[0];
    auto& ld = r.loopDisp;
    auto& lf = r.loopForce;
    ld.reserve(n + n / 8);
    lf.reserve(n + n / 8);
    ld.push_back(disp[0]);
    lf.push_back(force[0]);
    r.crossIndex.push_back(0);

    for (size_t i = 1; i < n; ++i) {
        const double x = disp[i], f = force[i];
        const double xl = ld.back(), fl = lf.back();
        if (x == d0 && xl != d0) {
            // landing on the reference
            ld.push_back(x);
            lf.push_back(f);
            r.crossIndex.push_back(static_cast<int>(ld.size() - 1));
        } else if ((x > d0 && d0 > xl) || (x < d0 && d0 < xl)) {
            // passing the reference: insert the crossing, force interpolated in extended precision
            const double fc = forceAtReference(d0, xl, fl, x, f);
            ld.push_back(d0);
            lf.push_back(fc);
            r.crossIndex.push_back(static_cast<int>(ld.size() - 1));
            ld.push_back(x);
            lf.push_back(f);
        } else if (x == xl && f == fl) {
            // repeated point: dropped
        } else {
            ld.push_back(x);
            lf.push_back(f);
        }
    }

    finishAnalysis(r);
    return r;
}

// A passage of the curve through the reference between two kept points: either between kept
// points at - 1 and at (the crossing point is interpolated and inserted) or at the kept point at
// itself, which lies on the reference (the first reference point after the other side).
struct Passage {
    size_t at = 0;
    bool interpolated = false;
    double force = 0;
};

// Schmitt-trigger crossings: a passage counts only when the curve has been more than band away
// from the reference on one side since the last counted crossing and then gets more than band
// away on the other side. The counted crossing is the last passage onto that other side before
// it got there; the passages of the jitter in between are not crossings and add no points.
LoopAnalysis analyzeWithDeadBand(const std::vector<double>& disp, const std::vector<double>& force,
                                 double band) {
    LoopAnalysis r;
    const size_t n = disp.size();
    if (n < 3 || force.size() != n) return r;
    const double d0 = disp[0];

    // The curve without repeated points.
    std::vector<double> kd, kf;
    kd.reserve(n);
    kf.reserve(n);
    kd.push_back(disp[0]);
    kf.push_back(force[0]);
    for (size_t i = 1; i < n; ++i) {
        if (disp[i] == kd.back() && force[i] == kf.back()) continue;
        kd.push_back(disp[i]);
        kf.push_back(force[i]);
    }

    std::vector<Passage> counted;
    Passage passageOnto[2]; // onto the negative [0] and the positive [1] side
    int lastSide = 0;       // side of the last kept point off the reference
    size_t lastOff = 0;     // its index
    int armed = 0;          // side beyond the band since the last counted crossing
    for (size_t j = 1; j < kd.size(); ++j) {
        const double x = kd[j];
        const int side = x > d0 ? 1 : (x < d0 ? -1 : 0);
        if (side == 0) continue;
        if (side == -lastSide) {
            Passage& p = passageOnto[side > 0 ? 1 : 0];
            if (lastOff + 1 == j) {
                p = {j, true, forceAtReference(d0, kd[j - 1], kf[j - 1], x, kf[j])};
            } else {
                p = {lastOff + 1, false, 0};
            }
        }
        lastSide = side;
        lastOff = j;
        const int beyond = x - d0 > band ? 1 : (d0 - x > band ? -1 : 0);
        if (beyond == 0 || beyond == armed) continue;
        if (armed != 0) counted.push_back(passageOnto[beyond > 0 ? 1 : 0]);
        armed = beyond;
    }

    auto& ld = r.loopDisp;
    auto& lf = r.loopForce;
    ld.reserve(kd.size() + counted.size());
    lf.reserve(kd.size() + counted.size());
    r.crossIndex.push_back(0);
    size_t c = 0;
    for (size_t j = 0; j < kd.size(); ++j) {
        if (c < counted.size() && counted[c].at == j) {
            if (counted[c].interpolated) {
                ld.push_back(d0);
                lf.push_back(counted[c].force);
            }
            r.crossIndex.push_back(
                static_cast<int>(counted[c].interpolated ? ld.size() - 1 : ld.size()));
            ++c;
        }
        ld.push_back(kd[j]);
        lf.push_back(kf[j]);
    }
    finishAnalysis(r);
    return r;
}

} // namespace

LoopAnalysis analyzeLoops(const std::vector<double>& disp, const std::vector<double>& force,
                          double deadBand) {
    if (deadBand > 0) return analyzeWithDeadBand(disp, force, deadBand);
    return analyzeExact(disp, force);
}

} // namespace tc
