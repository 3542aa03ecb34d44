#pragma once
#include "chart/pixel_reduction.h"

#include <QColor>
#include <QImage>
#include <QRect>

#include <array>
#include <cstddef>
#include <functional>
#include <vector>

class QCPPainter;
class QCPScatterStyle;
class QPen;

// A marker drawn once into a small image: the coverage of each pixel it touches, by its offset
// from the pixel it marks. Single-coloured (one opaque colour for outline and fill): many such
// markers composed over each other give 1 - (1 - a1)(1 - a2)... of that colour at every pixel,
// in whatever order they are drawn, so they can be composed into one image first.
struct MarkerStamp {
    struct Dot {
        int dx, dy;
        float alpha;
        bool operator==(const Dot&) const = default;
    };
    std::vector<Dot> dots;
    int reach = 0; // no dot lies farther from the centre in x or y
    QColor color;
    bool singleColour = false;
    bool operator==(const MarkerStamp&) const = default;
};

// The marker of `style` centred at (ox, oy) within its pixel, ox and oy in [0, 1), drawn with
// the painter hints `applyHint` sets.
MarkerStamp stampOf(const QCPScatterStyle& style, const QPen& pen,
                    const std::function<void(QCPPainter*)>& applyHint, double ox, double oy);

// The markers of the marked cells of a mask composed into one image of device pixels. A device
// pixel holds `cellsPerPixel` cells along each axis, and each place of a cell within its pixel
// has its own stamp (row by row); every stamp is of one opaque colour, the same for all. The
// image is kept from one redraw to the next: when a few cells change, only the pixels their
// markers reach are composed again.
class MarkerImage {
public:
    // Whether these stamps can be composed into one image.
    static bool composable(const std::vector<MarkerStamp>& stamps);

    // Composes the markers of every marked cell for the device pixels `device` (the mask reaches
    // beyond it by a marker). `meanwhile` runs on this thread while a second one composes.
    void compose(const std::vector<MarkerStamp>& stamps, int cellsPerPixel,
                 const tc::PixelMask& cells, const QRect& device,
                 const std::function<void()>& meanwhile);
    // Whether the image holds the markers of these stamps for a mask of the rectangle of
    // `cells` and the pixels `device`, so that update() can follow a change of some cells.
    bool composedFor(const std::vector<MarkerStamp>& stamps, const tc::PixelMask& cells,
                     const QRect& device) const;
    // Composes again the pixels that the markers of the cells `changed` reach, after those cells
    // of `cells` were marked or unmarked.
    void update(const tc::PixelMask& cells, const std::vector<QPoint>& changed);
    void clear();

    // The markers over `device`, premultiplied; its pixels go onto the device pixels as they are.
    const QImage& image() const { return image_; }

private:
    // Multiplies into shows (what shows through, 1 - coverage) the stamps of the marked cells
    // visited by `forCells`, within the pixels [px0, px1] x [py0, py1] of the composed area.
    template <class ForCells>
    void stampCells(float* shows, ForCells&& forCells, int px0, int py0, int px1, int py1) const;
    // The same for the marked cells of the mask rows [2 * fromRow, 2 * toRow), two cells to a
    // pixel, a block of cells at a time: fewer, larger stamps where cells lie side by side.
    void stampBlocks(float* shows, const tc::PixelMask& cells, int fromRow, int toRow) const;
    void paint(int x0, int y0, int x1, int y1);
    int floorDiv(int v) const;

    std::vector<MarkerStamp> stamps_;
    int cells_ = 1; // per pixel along each axis
    QRect mask_, device_;
    int reach_ = 0;
    int x0_ = 0, y0_ = 0, w_ = 0, h_ = 0;              // the composed area, in device pixels
    std::vector<std::vector<std::ptrdiff_t>> offsets_; // of each stamp's dots in the area
    std::vector<std::vector<float>> through_;          // 1 - alpha of each dot
    // With two cells to a pixel, the same for each set of the four cells of a pixel (bit k for
    // stamp k), the dots of its stamps joined.
    std::array<std::vector<std::ptrdiff_t>, 16> blockOffsets_;
    std::array<std::vector<float>, 16> blockThrough_;
    // What shows through at each pixel of the area: the product of the two.
    std::vector<float> shows_, shows2_;
    std::array<QRgb, 256> shade_{};
    QImage image_;
    bool valid_ = false;
};
