#include "skeleton/skeleton_extraction.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <utility>

namespace tc {

namespace {

// A half of a loop: the index range first..last (inclusive) of the analysed curve, the curve it
// feeds, and which recorded peak belongs to it.
struct Half {
    int first = 0;
    int last = 0;
    bool positive = true;
    bool isFirstHalf = true;
};

class Extractor {
public:
    Extractor(const LoopAnalysis& a, const SkeletonSettings& s, int size)
        : a_(a), rule_(s.rule), plainForPeaks_(!s.keepIncreasing),
          firstHalfPositive_(s.direction == LoopDirection::Positive), size_(size) {}

    SkeletonCurves run(int loopCount) {
        for (int k = 0; k < loopCount; ++k) {
            if (k == 0) {
                const CurvePoint origin{a_.loopDisp[0], a_.loopForce[0]};
                out_.positive.push_back(origin);
                out_.negative.push_back(origin);
            }
            if (!loop(k)) break;
        }
        return std::move(out_);
    }

private:
    double force(int i) const { return a_.loopForce[static_cast<std::size_t>(i)]; }
    CurvePoint point(int i) const {
        return {a_.loopDisp[static_cast<std::size_t>(i)], a_.loopForce[static_cast<std::size_t>(i)]};
    }

    // Appends p to the positive or negative curve. A monotonic append takes p only when it lies
    // strictly further out than the curve's last point (which always exists: the origin).
    void append(bool positive, CurvePoint p, bool plain) {
        PointList& c = positive ? out_.positive : out_.negative;
        if (!plain) {
            const double last = c.back().x;
            if (positive ? !(p.x > last) : !(p.x < last)) return;
        }
        c.push_back(p);
    }

    // Index of the strongest force of the half (largest when it feeds the positive curve,
    // smallest otherwise), measured against the force of the loop's start s; fallback when no
    // point of the half goes strictly beyond it. Equal forces keep the lower index.
    int forcePeak(const Half& h, int s, int fallback) const {
        double best = force(s);
        int p = fallback;
        for (int i = h.first; i <= h.last; ++i) {
            const double f = force(i);
            if (h.positive ? f > best : f < best) {
                best = f;
                p = i;
            }
        }
        return p;
    }

    void ruleForcePeak(const Half& h, int s) {
        append(h.positive, point(forcePeak(h, s, s)), plainForPeaks_);
    }

    // Loop geometry plays no part: the recorded peak of the half, if loop k has one.
    void ruleDisplacementPeak(bool firstHalf, std::size_t k) {
        const auto& d = firstHalf ? a_.maxDisp1 : a_.maxDisp2;
        const auto& f = firstHalf ? a_.maxDispForce1 : a_.maxDispForce2;
        const bool positive = firstHalf == firstHalfPositive_;
        if (k < d.size() && k < f.size()) append(positive, {d[k], f[k]}, plainForPeaks_);
    }

    void walk(const Half& h, int upTo) {
        for (int i = h.first; i <= upTo; ++i)
            append(h.positive, point(i), false);
    }

    void ruleEnvelopeToForcePeak(const Half& h, int s) { walk(h, forcePeak(h, s, h.first)); }

    // A half without a recorded peak (or with one outside the analysed curve) gives nothing.
    void ruleEnvelopeToDisplacementPeak(const Half& h, std::size_t k) {
        const auto& peaks = h.isFirstHalf ? a_.peakIndex1 : a_.peakIndex2;
        if (k >= peaks.size() || peaks[k] >= size_) return;
        walk(h, peaks[k]);
    }

    // Applies the rule to loop k; false when the loop does not exist in the analysed curve.
    bool loop(int k) {
        const std::size_t ci = 2 * static_cast<std::size_t>(k);
        if (ci >= a_.crossIndex.size()) return false;
        LoopBounds b = loopBounds(a_.crossIndex, size_, k);
        if (b.start < 0 || b.start >= size_) return false;
        const bool hasMiddle = ci + 1 < a_.crossIndex.size();
        // s <= m <= e <= last point, whatever the crossings say.
        b.end = std::clamp(b.end, b.start, size_ - 1);
        if (hasMiddle) b.middle = std::clamp(b.middle, b.start, b.end);

        const int s = b.start;
        Half halves[2];
        int count = 1;
        halves[0] = {s, hasMiddle ? b.middle : b.end, firstHalfPositive_, true};
        if (hasMiddle) {
            halves[1] = {b.middle, b.end, !firstHalfPositive_, false};
            count = 2;
        }
        const std::size_t kk = static_cast<std::size_t>(k);
        switch (rule_) {
        case SkeletonRule::ForcePeak:
            for (int h = 0; h < count; ++h)
                ruleForcePeak(halves[h], s);
            break;
        case SkeletonRule::DisplacementPeak:
            ruleDisplacementPeak(true, kk);
            ruleDisplacementPeak(false, kk);
            break;
        case SkeletonRule::ForceThenDisplacementPeak:
            for (int h = 0; h < count; ++h)
                ruleForcePeak(halves[h], s);
            ruleDisplacementPeak(true, kk);
            ruleDisplacementPeak(false, kk);
            break;
        case SkeletonRule::EnvelopeToForcePeak:
            for (int h = 0; h < count; ++h)
                ruleEnvelopeToForcePeak(halves[h], s);
            break;
        case SkeletonRule::EnvelopeToDisplacementPeak:
            for (int h = 0; h < count; ++h)
                ruleEnvelopeToDisplacementPeak(halves[h], kk);
            break;
        default:
            break;
        }
        return true;
    }

    const LoopAnalysis& a_;
    SkeletonRule rule_;
    bool plainForPeaks_;
    bool firstHalfPositive_;
    int size_;
    SkeletonCurves out_;
};

} // namespace

SkeletonCurves extractSkeleton(const LoopAnalysis& analysis, int loopCount,
                               const SkeletonSettings& settings) {
    const int rule = static_cast<int>(settings.rule);
    if (rule < 1 || rule > 5 || analysis.crossIndex.empty()) return {};
    const std::size_t n = std::min(analysis.loopDisp.size(), analysis.loopForce.size());
    if (n == 0) return {};
    const int size = static_cast<int>(std::min(n, static_cast<std::size_t>(INT_MAX)));
    return Extractor(analysis, settings, size).run(loopCount);
}

} // namespace tc
