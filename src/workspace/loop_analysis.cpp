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

} // namespace

LoopAnalysis analyzeLoops(const std::vector<double>& disp, const std::vector<double>& force) {
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
            const long double fc = static_cast<long double>(fl) +
                                   (static_cast<long double>(d0) - xl) *
                                       (static_cast<long double>(f) - fl) /
                                       (static_cast<long double>(x) - xl);
            ld.push_back(d0);
            lf.push_back(static_cast<double>(fc));
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

    const int m = static_cast<int>(r.crossIndex.size());
    const int L = static_cast<int>(ld.size());
    if (m <= 2) r.loopCount = 1;
    else r.loopCount = (m - 1) / 2 + (r.crossIndex.back() != L - 1 ? 1 : 0);

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
    return r;
}

} // namespace tc
