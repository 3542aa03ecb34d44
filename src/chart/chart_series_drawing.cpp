// The drawing of a series: bars, markers, and a large series drawn from its points reduced to
// device pixels, kept and redrawn in part where points moved.
#include "chart/chart_series.h"

#include "chart/chart_view.h"
#include "chart/reduced_line.h"
#include "common/two_threads.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <functional>
#include <future>
#include <optional>

namespace {

// Above this many points, markers that would land on a pixel already holding one of the same
// series are skipped: the picture is the same, the drawing far cheaper.
constexpr int kThinMarkersAbove = 2048;
// Above this many points, the series is drawn from its reduction to device pixels.
constexpr int kReduceAbove = 2048;
// Cells of the marker mask along each axis of a device pixel.
constexpr int kMarkerCells = 2;
// Points of a stretch of the reduced line (and one more, shared with the next stretch).
constexpr size_t kStretchPoints = size_t(1) << 15;
// How far, in device pixels, the drawn line may pass from a vertex of the reduced line: the
// painter's cost follows the vertices, and straight runs of pixels need only their ends.
constexpr double kLineTolerance = 0.4;

size_t stretchCount(size_t points) {
    return points < 2 ? 1 : (points - 2) / kStretchPoints + 1;
}

// The linear map of an axis from values to pixels; none for a logarithmic or empty axis.
std::optional<tc::PixelAxis> pixelAxisOf(const QCPAxis* axis, double ratio) {
    if (axis->scaleType() != QCPAxis::stLinear) return std::nullopt;
    const QCPRange r = axis->range();
    if (!(r.size() > 0)) return std::nullopt;
    const double p0 = axis->coordToPixel(r.lower);
    const double scale = (axis->coordToPixel(r.upper) - p0) / r.size();
    if (!std::isfinite(p0) || !std::isfinite(scale)) return std::nullopt;
    return tc::PixelAxis{r.lower, p0 * ratio, scale * ratio};
}

} // namespace

void ChartSeries::draw(QCPPainter* painter) {
    drawnLinePoints_ = 0;
    if (kind_ == Kind::Bar) {
        drawBars(painter);
        return;
    }
    if (!pixelReduction_) {
        QCPCurve::draw(painter);
        return;
    }
    if (drawReduced(painter)) return;
    const bool ownMarkers = pointerVisible_ && (colorEachPoint_ || count() > kThinMarkersAbove);
    if (!ownMarkers) {
        QCPCurve::draw(painter);
        return;
    }
    if (lineStyle() != QCPCurve::lsNone && pen().style() != Qt::NoPen) {
        // The line alone; the markers follow.
        const QCPScatterStyle markers = mScatterStyle;
        mScatterStyle = QCPScatterStyle(QCPScatterStyle::ssNone);
        QCPCurve::draw(painter);
        mScatterStyle = markers;
    }
    drawMarkers(painter);
}

void ChartSeries::drawBars(QCPPainter* painter) {
    const QCPAxis* kx = keyAxis();
    const QCPAxis* vy = valueAxis();
    const QRect area = clipRect();
    if (count() == 0 || area.isEmpty()) return;
    const double base = vy->coordToPixel(0);
    const double half = std::abs(kx->coordToPixel(barWidth_ / 2) - kx->coordToPixel(0));
    painter->setAntialiasing(false);
    const double lo = std::min(kx->range().lower, kx->range().upper) - barWidth_;
    const double hi = std::max(kx->range().lower, kx->range().upper) + barWidth_;
    if (half >= 1 && count() <= 4 * area.width()) {
        // Bars wide enough to be seen apart: each drawn with an outline when there is room.
        painter->setPen(half >= 3 ? QPen(color_.darker(140)) : QPen(Qt::NoPen));
        painter->setBrush(color_);
        for (auto it = data()->constBegin(); it != data()->constEnd(); ++it) {
            if (!(it->key >= lo && it->key <= hi) || !std::isfinite(it->value)) continue;
            const double px = kx->coordToPixel(it->key), py = vy->coordToPixel(it->value);
            painter->drawRect(QRectF(px - half, std::min(py, base), 2 * half, std::abs(py - base)));
        }
        return;
    }
    // One span per pixel column: from the base to the farthest bar above and below it.
    const int left = area.left(), width = area.width();
    std::vector<double> top(static_cast<std::size_t>(width), base),
        bottom(static_cast<std::size_t>(width), base);
    std::vector<uint8_t> used(static_cast<std::size_t>(width), 0);
    for (auto it = data()->constBegin(); it != data()->constEnd(); ++it) {
        if (!(it->key >= lo && it->key <= hi) || !std::isfinite(it->value)) continue;
        const double px = kx->coordToPixel(it->key);
        const double py = vy->coordToPixel(it->value);
        const int from = static_cast<int>(std::floor(px - half)) - left;
        const int to = static_cast<int>(std::floor(px + half)) - left;
        for (int c = std::max(0, from); c <= std::min(width - 1, to); ++c) {
            const auto i = static_cast<std::size_t>(c);
            used[i] = 1;
            top[i] = std::min(top[i], py);
            bottom[i] = std::max(bottom[i], py);
        }
    }
    painter->setPen(Qt::NoPen);
    painter->setBrush(color_);
    for (int c = 0; c < width; ++c) {
        const auto i = static_cast<std::size_t>(c);
        if (!used[i]) continue;
        const double t = std::max(top[i], static_cast<double>(area.top()) - 1);
        const double b = std::min(bottom[i], static_cast<double>(area.bottom()) + 1);
        painter->drawRect(QRectF(left + c, t, 1, std::max(1.0, b - t)));
    }
}

void ChartSeries::drawMarkers(QCPPainter* painter) {
    QCPScatterStyle style = mScatterStyle;
    if (style.isNone()) return;
    const QRect area = clipRect();
    const int margin = static_cast<int>(style.size()) + 1;
    const QRect bounds = area.adjusted(-margin, -margin, margin, margin);
    const bool thin = !colorEachPoint_ && count() > kThinMarkersAbove;
    std::vector<uint8_t> taken;
    if (thin)
        taken.assign(static_cast<size_t>(bounds.width()) * static_cast<size_t>(bounds.height()), 0);

    applyScattersAntialiasingHint(painter);
    if (!colorEachPoint_) style.applyTo(painter, pen());
    int i = 0;
    for (auto it = data()->constBegin(); it != data()->constEnd(); ++it, ++i) {
        const QPointF p = coordsToPixels(it->key, it->value);
        if (!(p.x() >= bounds.left() && p.x() < bounds.right() && p.y() >= bounds.top() &&
              p.y() < bounds.bottom()))
            continue;
        if (thin) {
            const size_t cell = static_cast<size_t>(static_cast<int>(p.y()) - bounds.top()) *
                                    static_cast<size_t>(bounds.width()) +
                                static_cast<size_t>(static_cast<int>(p.x()) - bounds.left());
            if (taken[cell]) continue;
            taken[cell] = 1;
        }
        if (colorEachPoint_) {
            const QColor c = pointColor(i);
            style.setPen(QPen(c.darker(150)));
            style.setBrush(c);
            style.applyTo(painter, QPen(c));
        }
        style.drawShape(painter, p);
    }
}

std::optional<std::span<const ChartSeries::PointMove>>
ChartSeries::movesSince(uint64_t generation) const {
    if (generation < movesFrom_ || generation > generation_) return std::nullopt;
    return std::span<const PointMove>(moves_).subspan(generation - movesFrom_);
}

void ChartSeries::reduceStretches(size_t from, size_t to, const tc::PixelAxis& ax,
                                  const tc::PixelAxis& ay, const tc::PixelBox& box,
                                  tc::PixelMask* cells) {
    const tc::StridedPoints pts = points();
    std::vector<tc::PixelPoint> reduced;
    for (size_t s = from; s < to; ++s) {
        reduced.clear();
        tc::reduceLineStretch(pts, ax, ay, box, reduced, &runs_, s * kStretchPoints,
                              std::min(pts.count, (s + 1) * kStretchPoints + 1), cells,
                              kMarkerCells);
        stretches_[s].clear();
        tc::simplifyLine(reduced, kLineTolerance, stretches_[s]);
    }
}

void ChartSeries::reduceMovedStretches(std::span<const PointMove> moves, const tc::PixelAxis& ax,
                                       const tc::PixelAxis& ay, const tc::PixelBox& box) {
    // The segments of point i are (i - 1, i) and (i, i + 1); segment (j, j + 1) lies in stretch
    // j / kStretchPoints.
    std::vector<size_t> redo;
    for (const PointMove& m : moves) {
        if (m.index > 0) redo.push_back((m.index - 1) / kStretchPoints);
        redo.push_back(std::min(m.index / kStretchPoints, stretches_.size() - 1));
    }
    std::sort(redo.begin(), redo.end());
    redo.erase(std::unique(redo.begin(), redo.end()), redo.end());
    for (size_t s : redo)
        reduceStretches(s, s + 1, ax, ay, box);
}

std::vector<QPoint> ChartSeries::updateOccupied(std::span<const PointMove> moves,
                                                const tc::PixelAxis& cx, const tc::PixelAxis& cy) {
    std::vector<QPoint> changed, left;
    int u = 0, v = 0;
    for (const PointMove& m : moves) {
        if (occupied_.pixelOf(cx(m.x), cy(m.y), u, v)) left.emplace_back(u, v);
        const int i = static_cast<int>(m.index);
        if (occupied_.pixelOf(cx(x(i)), cy(y(i)), u, v) && !occupied_.test(u, v)) {
            occupied_.put(u, v, true);
            changed.emplace_back(u, v);
        }
    }
    std::sort(left.begin(), left.end(),
              [](QPoint a, QPoint b) { return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x(); });
    left.erase(std::unique(left.begin(), left.end()), left.end());
    // The values of a cell's edges, a little wider: the candidates' cells are then computed
    // as the mask computes them.
    auto valuesOf = [](const tc::PixelAxis& a, int c) {
        double lo = a.v0 + (c - a.p0) / a.scale, hi = a.v0 + (c + 1 - a.p0) / a.scale;
        if (hi < lo) std::swap(lo, hi);
        const double pad = (hi - lo) / 64;
        return std::pair(lo - pad, hi + pad);
    };
    for (const QPoint cell : left) {
        if (!occupied_.test(cell.x(), cell.y())) continue;
        const auto [xlo, xhi] = valuesOf(cx, cell.x());
        const auto [ylo, yhi] = valuesOf(cy, cell.y());
        bool held = false;
        grid().forEachInBox(xlo, xhi, ylo, yhi, [&](size_t, double px, double py) {
            held =
                held || (occupied_.pixelOf(cx(px), cy(py), u, v) && u == cell.x() && v == cell.y());
        });
        if (held) continue;
        occupied_.put(cell.x(), cell.y(), false);
        changed.push_back(cell);
    }
    return changed;
}

bool ChartSeries::drawReduced(QCPPainter* painter) {
    const int n = count();
    if (n <= kReduceAbove || colorEachPoint_ || brush().style() != Qt::NoBrush) return false;
    // Vector output (PDF) has no pixels to reduce to.
    if (painter->modes().testFlag(QCPPainter::pmVectorized)) return false;
    if (keyAxis()->orientation() != Qt::Horizontal) return false;
    // Reduced in device pixels; the painter works in widget pixels.
    const double ratio = parentPlot()->bufferDevicePixelRatio();
    const auto ax = pixelAxisOf(keyAxis(), ratio);
    const auto ay = pixelAxisOf(valueAxis(), ratio);
    if (!ax || !ay || !(ratio > 0)) return false;

    const bool line =
        lineStyle() != QCPCurve::lsNone && pen().style() != Qt::NoPen && pen().color().alpha() != 0;
    const bool markers = !mScatterStyle.isNone();
    if (!line && !markers) return true;

    const QRect area = clipRect();
    const QRect device(QPoint(static_cast<int>(std::floor(area.left() * ratio)),
                              static_cast<int>(std::floor(area.top() * ratio))),
                       QPoint(static_cast<int>(std::ceil((area.right() + 1) * ratio)) - 1,
                              static_cast<int>(std::ceil((area.bottom() + 1) * ratio)) - 1));
    // Line ends and cuts at the box's edges stay out of sight beyond the pen's width.
    const double margin = std::ceil(pen().widthF() * ratio) + 2;
    const tc::PixelBox box{device.left() - margin, device.top() - margin,
                           device.right() + 1 + margin, device.bottom() + 1 + margin};
    const tc::StridedPoints pts = points();
    if (!runsValid_ || runs_.count() != pts.count) {
        runs_.build(pts);
        runsValid_ = true;
    }
    ReducedFrom from{pts.x, pts.count, generation_, *ax, *ay, box, QRect()};
    // The line is reduced for a box reaching half the view beyond it on every side: a scroll,
    // which moves the view by whole device pixels, draws the kept line moved, as long as the
    // view stays within that box. A moved point reduces again the stretches it lies on, in the
    // pixels the kept line was reduced in.
    const double reachX = std::floor(device.width() / 2.0),
                 reachY = std::floor(device.height() / 2.0);
    ReducedFrom lineKey = from;
    lineKey.box = {box.left - reachX, box.top - reachY, box.right + reachX, box.bottom + reachY};
    // The marker cells: half pixels, so that a marker lands within a quarter pixel of its point.
    const tc::PixelAxis cellsX{ax->v0, ax->p0 * kMarkerCells, ax->scale * kMarkerCells};
    const tc::PixelAxis cellsY{ay->v0, ay->p0 * kMarkerCells, ay->scale * kMarkerCells};
    const std::vector<QPoint>* changedCells = nullptr;
    std::vector<QPoint> changed;
    bool freshCells = false;
    if (markers) {
        // A point just outside the plot area still shows part of its marker.
        const int reach = static_cast<int>(std::ceil(mScatterStyle.size() * ratio / 2)) + 3;
        from.mask =
            QRect(kMarkerCells * (device.left() - reach), kMarkerCells * (device.top() - reach),
                  kMarkerCells * (device.width() + 2 * reach),
                  kMarkerCells * (device.height() + 2 * reach));
        if (markersFrom_ && markersFrom_->sameView(from)) {
            // The occupied cells of a moment ago, updated for the points moved since; that
            // needs the hit-test grid, which a drag has built.
            const auto moves = movesSince(markersFrom_->generation);
            if (markersFrom_->generation == generation_) {
                changedCells = &changed; // none
            } else if (moves && gridValid_ && !grid_.stale()) {
                changed = updateOccupied(*moves, cellsX, cellsY);
                changedCells = &changed;
                markersFrom_->generation = generation_;
            }
        }
        freshCells = markersFrom_ != from;
    }
    // The cells found afresh, into occupied_ (and `other`, to be added to it, on a second
    // thread): by the line's reduction as it goes when that is made afresh too.
    auto cellsFound = [&](tc::PixelMask* other) {
        if (other) occupied_.add(*other);
        markersFrom_ = from;
        changedCells = nullptr;
        freshCells = false;
        ++markerSearches_;
    };
    if (freshCells)
        occupied_.reset(from.mask.left(), from.mask.top(), from.mask.width(), from.mask.height());
    std::optional<QPointF> moved;
    bool lineChanged = false;
    if (line && lineFrom_ && stretches_.size() == stretchCount(pts.count)) {
        moved = lineFrom_->movedTo(lineKey, box);
        if (moved && lineFrom_->generation != generation_) {
            if (const auto moves = movesSince(lineFrom_->generation)) {
                reduceMovedStretches(*moves, lineFrom_->ax, lineFrom_->ay, lineFrom_->box);
                lineFrom_->generation = generation_;
                lineChanged = true;
            } else {
                moved.reset();
            }
        }
    }
    auto toWidget = [ratio](const std::vector<tc::PixelPoint>& in, QVector<QPointF>& out) {
        out.resize(static_cast<qsizetype>(in.size()));
        QPointF* o = out.data();
        for (const tc::PixelPoint& p : in)
            *o++ = QPointF(p.x / ratio, p.y / ratio);
    };
    auto drawStretch = [&](const QVector<QPointF>& stretch) {
        if (stretch.isEmpty()) return;
        painter->setPen(pen());
        painter->setBrush(Qt::NoBrush);
        drawCurveLine(painter, stretch);
    };
    // What of the kept stretches [first, last) shows in the view: their pieces that may reach
    // into the view's box, in widget pixels, before the move.
    auto show = [&](size_t first, size_t last, std::vector<tc::PixelPoint>& shown,
                    QVector<QPointF>& out) {
        const QPointF d = *moved; // set before any line is shown
        const tc::PixelBox view{box.left - d.x(), box.top - d.y(), box.right - d.x(),
                                box.bottom - d.y()};
        shown.clear();
        for (size_t s = first; s < last; ++s)
            tc::keepInBox(stretches_[s], view, shown);
        toWidget(shown, out);
    };
    bool lineDrawn = false;
    if (line && !moved) {
        const size_t count = stretchCount(pts.count);
        stretches_.resize(count);
        moved = QPointF(0, 0);
        const bool twoThreads = tc::worthTwoThreads(pts.count, tc::kTwoThreadPoints) && count > 1;
        const tc::PixelAxis &kx = lineKey.ax, &ky = lineKey.ay;
        const tc::PixelBox& kbox = lineKey.box;
        if (twoThreads && !markers) {
            // The first part, the smaller, is drawn while the second one is being reduced.
            firstPart_ = std::max<size_t>(1, count * 2 / 5);
            auto second = std::async(std::launch::async, [&] {
                reduceStretches(firstPart_, count, kx, ky, kbox);
                show(firstPart_, count, shown2_, lines2_);
            });
            reduceStretches(0, firstPart_, kx, ky, kbox);
            show(0, firstPart_, shown_, lines_);
            drawStretch(lines_);
            second.get();
            drawStretch(lines2_);
            lineDrawn = true;
        } else {
            firstPart_ = count;
            tc::PixelMask* cells = freshCells ? &occupied_ : nullptr;
            if (twoThreads) {
                if (cells) otherCells_ = occupied_;
                auto second = std::async(std::launch::async, [&] {
                    reduceStretches(count / 2, count, kx, ky, kbox, cells ? &otherCells_ : nullptr);
                });
                reduceStretches(0, count / 2, kx, ky, kbox, cells);
                second.get();
                if (cells) cellsFound(&otherCells_);
            } else {
                reduceStretches(0, count, kx, ky, kbox, cells);
                if (cells) cellsFound(nullptr);
            }
            show(0, count, shown_, lines_);
            lines2_.clear();
        }
        lineFrom_ = lineKey;
        shownAt_ = moved;
        ++lineReductions_;
    } else if (line && (lineChanged || shownAt_ != moved)) {
        show(0, firstPart_, shown_, lines_);
        show(firstPart_, stretches_.size(), shown2_, lines2_);
        shownAt_ = moved;
    }

    if (freshCells) {
        tc::reduceToPixels(pts, cellsX, cellsY, box, nullptr, &occupied_, &runs_);
        cellsFound(nullptr);
    }
    // The moves so far are no longer needed: a kept reduction they have not reached (the line
    // or the markers, not drawn now) is made afresh when next drawn.
    moves_.clear();
    movesFrom_ = generation_;

    auto drawLine = [&] {
        if (!line) return;
        drawnLinePoints_ = static_cast<int>(lines_.size() + lines2_.size());
        if (lineDrawn) return;
        painter->save();
        painter->translate(*moved / ratio);
        drawStretch(lines_);
        drawStretch(lines2_);
        painter->restore();
    };
    if (markers)
        drawOccupiedMarkers(painter, device, ratio, drawLine, changedCells);
    else
        drawLine();
    return true;
}

std::optional<QPointF> ChartSeries::ReducedFrom::movedTo(const ReducedFrom& now,
                                                         const tc::PixelBox& view) const {
    if (x != now.x || count != now.count || mask != now.mask) return std::nullopt;
    // The same scale (to rounding) and the same box size; the move in whole device pixels.
    auto by = [](const tc::PixelAxis& was, const tc::PixelAxis& is) -> std::optional<double> {
        if (!(std::abs(is.scale - was.scale) <= 1e-12 * std::abs(was.scale))) return std::nullopt;
        const double d = is(was.v0) - was.p0, whole = std::round(d);
        if (!(std::abs(d - whole) <= 1e-6)) return std::nullopt;
        return whole;
    };
    const auto dx = by(ax, now.ax), dy = by(ay, now.ay);
    if (!dx || !dy) return std::nullopt;
    if (box.right - box.left != now.box.right - now.box.left ||
        box.bottom - box.top != now.box.bottom - now.box.top)
        return std::nullopt;
    // The view, moved back onto the kept line, within the box it was reduced for.
    if (!(view.left - *dx >= box.left && view.right - *dx <= box.right &&
          view.top - *dy >= box.top && view.bottom - *dy <= box.bottom))
        return std::nullopt;
    return QPointF(*dx, *dy);
}

bool ChartSeries::ReducedFrom::sameView(const ReducedFrom& o) const {
    auto same = [](const tc::PixelAxis& a, const tc::PixelAxis& b) {
        return a.v0 == b.v0 && a.p0 == b.p0 && a.scale == b.scale;
    };
    return x == o.x && count == o.count && same(ax, o.ax) && same(ay, o.ay) &&
           box.left == o.box.left && box.top == o.box.top && box.right == o.box.right &&
           box.bottom == o.box.bottom && mask == o.mask;
}

bool ChartSeries::ReducedFrom::operator==(const ReducedFrom& o) const {
    return generation == o.generation && sameView(o);
}

void ChartSeries::drawOccupiedMarkers(QCPPainter* painter, const QRect& device, double ratio,
                                      const std::function<void()>& meanwhile,
                                      const std::vector<QPoint>* changed) {
    // One stamp per place of a cell within its pixel.
    std::vector<MarkerStamp> stamps;
    if (ratio == 1) {
        for (int sy = 0; sy < kMarkerCells; ++sy)
            for (int sx = 0; sx < kMarkerCells; ++sx)
                stamps.push_back(stampOf(
                    mScatterStyle, pen(),
                    [this](QCPPainter* p) { applyScattersAntialiasingHint(p); },
                    (sx + 0.5) / kMarkerCells, (sy + 0.5) / kMarkerCells));
    }
    if (MarkerImage::composable(stamps)) {
        // All markers at once, composed into one image as the painter would draw them; after
        // a few cells changed, only the pixels their markers reach.
        if (changed && markerImage_.composedFor(stamps, occupied_, device)) {
            markerImage_.update(occupied_, *changed);
            meanwhile();
        } else {
            markerImage_.compose(stamps, kMarkerCells, occupied_, device, meanwhile);
        }
        // The stamps hold the half-pixel shift of antialiased drawing already: the image goes
        // onto the device pixels as it is.
        painter->setAntialiasing(false);
        painter->drawImage(device.topLeft(), markerImage_.image());
        return;
    }
    markerImage_.clear();
    // One marker per occupied cell, each drawn on its own.
    meanwhile();
    applyScattersAntialiasingHint(painter);
    mScatterStyle.applyTo(painter, pen());
    const double toWidget = kMarkerCells * ratio;
    occupied_.forEach([&](int x, int y) {
        mScatterStyle.drawShape(painter, (x + 0.5) / toWidget, (y + 0.5) / toWidget);
    });
}
