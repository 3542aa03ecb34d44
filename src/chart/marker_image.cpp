#include "chart/marker_image.h"

#include <qcustomplot.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <future>

MarkerStamp stampOf(const QCPScatterStyle& style, const QPen& pen,
                    const std::function<void(QCPPainter*)>& applyHint, double ox, double oy) {
    MarkerStamp stamp;
    const int half = static_cast<int>(std::ceil(style.size() / 2 + style.pen().widthF())) + 2;
    const int side = 2 * half + 1;
    QImage img(side, side, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
        QCPPainter p(&img);
        applyHint(&p);
        style.applyTo(&p, pen);
        style.drawShape(&p, half + ox, half + oy);
        const QColor line = p.pen().style() == Qt::NoPen ? QColor() : p.pen().color();
        const QColor fill = p.brush().style() == Qt::NoBrush ? QColor() : p.brush().color();
        stamp.color = line.isValid() ? line : fill;
        stamp.singleColour =
            stamp.color.isValid() && stamp.color.alpha() == 255 &&
            (!line.isValid() || !fill.isValid() || line == fill) &&
            (p.brush().style() == Qt::NoBrush || p.brush().style() == Qt::SolidPattern);
    }
    for (int y = 0; y < side; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < side; ++x) {
            if (qAlpha(row[x]) == 0) continue;
            stamp.dots.push_back({x - half, y - half, static_cast<float>(qAlpha(row[x])) / 255.f});
            stamp.reach = std::max({stamp.reach, std::abs(x - half), std::abs(y - half)});
        }
    }
    return stamp;
}

bool MarkerImage::composable(const std::vector<MarkerStamp>& stamps) {
    return !stamps.empty() && std::all_of(stamps.begin(), stamps.end(), [&](const MarkerStamp& s) {
        return s.singleColour && !s.dots.empty() && s.color == stamps[0].color;
    });
}

int MarkerImage::floorDiv(int v) const {
    // The mask may start left of or above the origin.
    return v >= 0 ? v / cells_ : -((-v + cells_ - 1) / cells_);
}

template <class ForCells>
void MarkerImage::stampCells(float* shows, ForCells&& forCells, int px0, int py0, int px1,
                             int py1) const {
    const bool whole = px0 <= x0_ && py0 <= y0_ && px1 >= x0_ + w_ - 1 && py1 >= y0_ + h_ - 1;
    forCells([&](int cx, int cy) {
        const int x = floorDiv(cx), y = floorDiv(cy);
        const auto k = static_cast<size_t>((cy - y * cells_) * cells_ + (cx - x * cells_));
        float* c = shows + static_cast<std::ptrdiff_t>(y - y0_) * w_ + (x - x0_);
        const std::vector<std::ptrdiff_t>& offsets = offsets_[k];
        const std::vector<float>& factors = through_[k];
        if (whole) {
            for (size_t j = 0; j < offsets.size(); ++j)
                c[offsets[j]] *= factors[j];
            return;
        }
        const std::vector<MarkerStamp::Dot>& dots = stamps_[k].dots;
        for (size_t j = 0; j < offsets.size(); ++j) {
            const int u = x + dots[j].dx, v = y + dots[j].dy;
            if (u >= px0 && u <= px1 && v >= py0 && v <= py1) c[offsets[j]] *= factors[j];
        }
    });
}

void MarkerImage::stampBlocks(float* shows, const tc::PixelMask& cells, int fromRow,
                              int toRow) const {
    cells.forEachBlockInRows(fromRow, toRow, [&](int cx, int cy, unsigned bits) {
        float* c = shows + static_cast<std::ptrdiff_t>(cy / 2 - y0_) * w_ + (cx / 2 - x0_);
        const std::vector<std::ptrdiff_t>& offsets = blockOffsets_[bits];
        const float* factors = blockThrough_[bits].data();
        for (size_t j = 0; j < offsets.size(); ++j)
            c[offsets[j]] *= factors[j];
    });
}

void MarkerImage::compose(const std::vector<MarkerStamp>& stamps, int cellsPerPixel,
                          const tc::PixelMask& cells, const QRect& device,
                          const std::function<void()>& meanwhile) {
    stamps_ = stamps;
    cells_ = cellsPerPixel;
    mask_ = QRect(cells.left(), cells.top(), cells.width(), cells.height());
    device_ = device;
    reach_ = 0;
    for (const MarkerStamp& s : stamps_)
        reach_ = std::max(reach_, s.reach);
    x0_ = floorDiv(cells.left()) - reach_;
    y0_ = floorDiv(cells.top()) - reach_;
    w_ = cells.width() / cells_ + 2 * reach_ + 1;
    h_ = cells.height() / cells_ + 2 * reach_ + 1;
    offsets_.assign(stamps_.size(), {});
    through_.assign(stamps_.size(), {});
    for (size_t k = 0; k < stamps_.size(); ++k)
        for (const MarkerStamp::Dot& d : stamps_[k].dots) {
            offsets_[k].push_back(static_cast<std::ptrdiff_t>(d.dy) * w_ + d.dx);
            through_[k].push_back(1.f - d.alpha);
        }
    // Two cells to a pixel, the mask starting on a pixel's edge: the cells are stamped a
    // pixel's four at a time, their dots' factors multiplied beforehand.
    const bool blocks =
        cells_ == 2 && stamps_.size() == 4 && cells.left() % 2 == 0 && cells.top() % 2 == 0;
    if (blocks) {
        const int side = 2 * reach_ + 1;
        std::vector<float> joined(static_cast<size_t>(side) * static_cast<size_t>(side));
        for (unsigned bits = 1; bits < 16; ++bits) {
            std::fill(joined.begin(), joined.end(), 1.f);
            for (unsigned k = 0; k < 4; ++k) {
                if (!(bits & (1u << k))) continue;
                for (const MarkerStamp::Dot& d : stamps_[k].dots)
                    joined[static_cast<size_t>((d.dy + reach_) * side + d.dx + reach_)] *=
                        1.f - d.alpha;
            }
            blockOffsets_[bits].clear();
            blockThrough_[bits].clear();
            for (int dy = -reach_; dy <= reach_; ++dy)
                for (int dx = -reach_; dx <= reach_; ++dx) {
                    const float f = joined[static_cast<size_t>((dy + reach_) * side + dx + reach_)];
                    if (f == 1.f) continue;
                    blockOffsets_[bits].push_back(static_cast<std::ptrdiff_t>(dy) * w_ + dx);
                    blockThrough_[bits].push_back(f);
                }
        }
    }
    // Held as what shows through (1 - coverage): each dot multiplies it by (1 - alpha), one
    // product per dot where the coverage sum needed three steps. Two such images are made at
    // once from bands of rows of the mask, taken in turn by a second thread and, once
    // `meanwhile` is done, by this one; they are multiplied when painted.
    shows_.assign(static_cast<size_t>(w_) * static_cast<size_t>(h_), 1.f);
    shows2_.assign(shows_.size(), 1.f);
    const int rows = cells.height();
    constexpr int kBands = 16;
    std::atomic<int> nextBand{0};
    auto work = [&](float* shows) {
        for (int b; (b = nextBand++) < kBands;) {
            if (blocks) {
                const int blockRows = (rows + 1) / 2;
                stampBlocks(shows, cells, b * blockRows / kBands, (b + 1) * blockRows / kBands);
                continue;
            }
            stampCells(
                shows,
                [&](auto&& visit) {
                    cells.forEachInRows(b * rows / kBands, (b + 1) * rows / kBands, visit);
                },
                x0_, y0_, x0_ + w_ - 1, y0_ + h_ - 1);
        }
    };
    {
        auto other = std::async(std::launch::async, [&] { work(shows_.data()); });
        meanwhile();
        work(shows2_.data());
        other.get();
    }
    if (image_.size() != device.size())
        image_ = QImage(device.size(), QImage::Format_ARGB32_Premultiplied);
    // The colour at each coverage, premultiplied.
    const QColor colour = stamps_[0].color;
    const int r = colour.red(), g = colour.green(), b = colour.blue();
    shade_[0] = 0;
    for (int a = 1; a < 256; ++a)
        shade_[static_cast<size_t>(a)] =
            qRgba((r * a + 127) / 255, (g * a + 127) / 255, (b * a + 127) / 255, a);
    const int h = device.height();
    auto lower = std::async(std::launch::async, [&] { paint(0, h / 2, device.width(), h); });
    paint(0, 0, device.width(), h / 2);
    lower.get();
    valid_ = true;
}

void MarkerImage::paint(int x0, int y0, int x1, int y1) {
    // The image's own pixels, taken once here (a shared image would be copied first).
    uchar* const pixels = image_.bits();
    const qsizetype stride = image_.bytesPerLine();
    for (int y = y0; y < y1; ++y) {
        auto* line = reinterpret_cast<QRgb*>(pixels + y * stride);
        const std::ptrdiff_t row =
            static_cast<std::ptrdiff_t>(device_.top() + y - y0_) * w_ + (device_.left() - x0_);
        const float* c = shows_.data() + row;
        const float* c2 = shows2_.data() + row;
        for (int x = x0; x < x1; ++x) {
            const float v = std::max(0.f, 1.f - c[x] * c2[x]);
            line[x] =
                shade_[static_cast<size_t>(std::min(255, static_cast<int>(v * 255.f + 0.5f)))];
        }
    }
}

bool MarkerImage::composedFor(const std::vector<MarkerStamp>& stamps, const tc::PixelMask& cells,
                              const QRect& device) const {
    return valid_ && device == device_ &&
           mask_ == QRect(cells.left(), cells.top(), cells.width(), cells.height()) &&
           stamps == stamps_;
}

void MarkerImage::update(const tc::PixelMask& cells, const std::vector<QPoint>& changed) {
    if (!valid_) return;
    for (const QPoint& cell : changed) {
        // The pixels the cell's marker reaches, within the composed area.
        const int x = floorDiv(cell.x()), y = floorDiv(cell.y());
        const int px0 = std::max(x - reach_, x0_), px1 = std::min(x + reach_, x0_ + w_ - 1);
        const int py0 = std::max(y - reach_, y0_), py1 = std::min(y + reach_, y0_ + h_ - 1);
        if (px0 > px1 || py0 > py1) continue;
        for (int v = py0; v <= py1; ++v) {
            const auto from = static_cast<std::ptrdiff_t>(v - y0_) * w_ + (px0 - x0_);
            std::fill_n(shows_.begin() + from, px1 - px0 + 1, 1.f);
            std::fill_n(shows2_.begin() + from, px1 - px0 + 1, 1.f);
        }
        // Every marked cell whose marker reaches those pixels, composed again there.
        stampCells(
            shows_.data(),
            [&](auto&& visit) {
                cells.forEachIn((px0 - reach_) * cells_, (py0 - reach_) * cells_,
                                (px1 + reach_ + 1) * cells_ - 1, (py1 + reach_ + 1) * cells_ - 1,
                                visit);
            },
            px0, py0, px1, py1);
        const int ix0 = std::max(px0, device_.left()) - device_.left(),
                  ix1 = std::min(px1, device_.right()) - device_.left();
        const int iy0 = std::max(py0, device_.top()) - device_.top(),
                  iy1 = std::min(py1, device_.bottom()) - device_.top();
        if (ix0 <= ix1 && iy0 <= iy1) paint(ix0, iy0, ix1 + 1, iy1 + 1);
    }
}

void MarkerImage::clear() {
    valid_ = false;
}
