#include "chart/reduced_line.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tc {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double cross(PixelPoint a, PixelPoint b) {
    return a.x * b.y - a.y * b.x;
}

// The piece [from, to) of a line simplified (see simplifyLine), appended to out.
void simplifyPiece(const PixelPoint* from, const PixelPoint* to, double tolerance,
                   std::vector<PixelPoint>& out) {
    // Each kept segment starts at an anchor. Every vertex after the anchor narrows the cone of
    // directions from the anchor that pass within `across` of it; a vertex whose direction lies
    // outside the cone of those before it, or that comes back towards the anchor by more than
    // `along`, ends the segment at the vertex before it. Directions are kept unnormalised: only
    // the signs of their products are read.
    const double across = tolerance / std::sqrt(2.0), along = across, across2 = across * across;
    out.push_back(*from);
    const PixelPoint* anchor = from;
    PixelPoint right{}, left{}; // the cone's edges, clockwise and counterclockwise
    bool narrowed = false;
    double farthest2 = 0; // squared: the farthest distance from the anchor so far
    // Whether a vertex at squared distance d2 has come back by more than `along` (the root is
    // taken only for a vertex nearer than the farthest one).
    auto cameBack = [&](double d2) {
        if (!(d2 < farthest2)) return false;
        const double back = std::sqrt(farthest2) - along;
        return back > 0 && d2 < back * back;
    };
    for (const PixelPoint* p = from + 1; p < to; ++p) {
        PixelPoint w{p->x - anchor->x, p->y - anchor->y};
        double d2 = w.x * w.x + w.y * w.y;
        const bool fits = !narrowed || (cross(right, w) >= 0 && cross(w, left) >= 0 &&
                                        (right.x + left.x) * w.x + (right.y + left.y) * w.y > 0);
        if (!fits || cameBack(d2)) {
            anchor = p - 1;
            out.push_back(*anchor);
            narrowed = false;
            farthest2 = 0;
            w = {p->x - anchor->x, p->y - anchor->y};
            d2 = w.x * w.x + w.y * w.y;
        }
        farthest2 = std::max(farthest2, d2);
        if (d2 <= across2) continue; // within reach of the anchor, whichever the direction
        // w turned clockwise and counterclockwise by the angle whose sine is across / |w|.
        const double k = std::sqrt(d2 - across2);
        const PixelPoint r{w.x * k + w.y * across, w.y * k - w.x * across};
        const PixelPoint l{w.x * k - w.y * across, w.y * k + w.x * across};
        if (!narrowed) {
            right = r;
            left = l;
            narrowed = true;
            continue;
        }
        if (cross(right, r) > 0) right = r;
        if (cross(l, left) > 0) left = l;
        // (Once the edges cross, the cone is empty: no direction lies clockwise of the one edge,
        // counterclockwise of the other and on their side.)
    }
    if (to - from > 1) out.push_back(*(to - 1));
}

} // namespace

void simplifyLine(const std::vector<PixelPoint>& line, double tolerance,
                  std::vector<PixelPoint>& out) {
    const PixelPoint* p = line.data();
    const PixelPoint* end = p + line.size();
    while (p < end) {
        if (std::isnan(p->x)) {
            out.push_back(*p++);
            continue;
        }
        const PixelPoint* q = p;
        while (q < end && !std::isnan(q->x))
            ++q;
        simplifyPiece(p, q, tolerance, out);
        p = q;
    }
}

void keepInBox(const std::vector<PixelPoint>& line, const PixelBox& box,
               std::vector<PixelPoint>& out) {
    bool open = false; // the last point written ends a piece that goes on
    for (size_t i = 0; i + 1 < line.size(); ++i) {
        const PixelPoint a = line[i], b = line[i + 1];
        if (std::isnan(a.x) || std::isnan(b.x)) { // a break
            open = false;
            continue;
        }
        if ((boxOutcode(a.x, a.y, box) & boxOutcode(b.x, b.y, box)) != 0) {
            open = false;
            continue;
        }
        const bool goesOn =
            !open && i == 0 && !out.empty() && out.back().x == a.x && out.back().y == a.y;
        if (!open && !goesOn) {
            if (!out.empty() && !std::isnan(out.back().x)) out.push_back({kNaN, kNaN});
            out.push_back(a);
        }
        out.push_back(b);
        open = true;
    }
    // (A piece of one point drew nothing; it is left out.)
}

} // namespace tc
