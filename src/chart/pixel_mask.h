#pragma once
#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tc {

// One bit per device pixel of a rectangle; pixel (x, y) covers [x, x+1) x [y, y+1).
class PixelMask {
public:
    void reset(int left, int top, int width, int height);

    int left() const { return left_; }
    int top() const { return top_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // Marks the pixel holding the point (x, y); a point outside the rectangle is ignored.
    void set(double x, double y) {
        const double cx = x - left_, cy = y - top_;
        if (!(cx >= 0 && cy >= 0 && cx < width_ && cy < height_)) return;
        const auto ix = static_cast<size_t>(cx), iy = static_cast<size_t>(cy);
        bits_[iy * words_ + ix / 64] |= uint64_t(1) << (ix % 64);
    }
    // Marks pixel (left() + ix, top() + iy), which lies in the rectangle.
    void setWithin(int ix, int iy) {
        const auto x = static_cast<size_t>(ix);
        bits_[static_cast<size_t>(iy) * words_ + x / 64] |= uint64_t(1) << (x % 64);
    }
    // The pixel set() marks for the point (x, y), in (px, py); false when it marks none.
    bool pixelOf(double x, double y, int& px, int& py) const {
        const double cx = x - left_, cy = y - top_;
        if (!(cx >= 0 && cy >= 0 && cx < width_ && cy < height_)) return false;
        px = left_ + static_cast<int>(cx);
        py = top_ + static_cast<int>(cy);
        return true;
    }
    // Whether the pixel (x, y) is marked; false outside the rectangle.
    bool test(int x, int y) const;
    // Marks or unmarks the pixel (x, y); nothing outside the rectangle.
    void put(int x, int y, bool marked);
    // Whether every pixel of the small rectangle holding the points (x0, y0) and (x1, y1),
    // x0 <= x1, y0 <= y1, is marked; false when part of it lies outside, or it is large.
    bool allSet(double x0, double y0, double x1, double y1) const;
    size_t count() const;
    // Marks every pixel that `other`, a mask of the same rectangle, marks.
    void add(const PixelMask& other);

    // Calls visit(x, y) for every marked pixel, row by row.
    template <class Visit> void forEach(Visit&& visit) const { forEachInRows(0, height_, visit); }
    // The same for the rows [fromRow, toRow) of the rectangle (0 is its top row).
    template <class Visit> void forEachInRows(int fromRow, int toRow, Visit&& visit) const;
    // The same for the marked pixels of the rectangle [x0, x1] x [y0, y1] (edges included).
    template <class Visit> void forEachIn(int x0, int y0, int x1, int y1, Visit&& visit) const;
    // Calls visit(x, y, bits) for every block of 2 x 2 pixels holding a marked pixel, row of
    // blocks by row, over the block rows [fromRow, toRow); the blocks start at the rectangle's
    // corner, (x, y) is a block's top left pixel and bits 0 to 3 of `bits` are its pixels
    // (x, y), (x + 1, y), (x, y + 1), (x + 1, y + 1).
    template <class Visit> void forEachBlockInRows(int fromRow, int toRow, Visit&& visit) const;

private:
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    size_t words_ = 0; // per row
    std::vector<uint64_t> bits_;
};

template <class Visit> void PixelMask::forEachInRows(int fromRow, int toRow, Visit&& visit) const {
    for (int y = std::max(fromRow, 0); y < std::min(toRow, height_); ++y) {
        const uint64_t* row = bits_.data() + static_cast<size_t>(y) * words_;
        for (size_t w = 0; w < words_; ++w) {
            for (uint64_t b = row[w]; b != 0; b &= b - 1) {
                const int x = static_cast<int>(w * 64) + std::countr_zero(b);
                visit(left_ + x, top_ + y);
            }
        }
    }
}

template <class Visit>
void PixelMask::forEachBlockInRows(int fromRow, int toRow, Visit&& visit) const {
    constexpr uint64_t kEven = 0x5555555555555555;
    for (int by = std::max(fromRow, 0); by < std::min(toRow, (height_ + 1) / 2); ++by) {
        const uint64_t* upper = bits_.data() + static_cast<size_t>(2 * by) * words_;
        const uint64_t* lower = 2 * by + 1 < height_ ? upper + words_ : nullptr;
        for (size_t w = 0; w < words_; ++w) {
            const uint64_t a = upper[w], b = lower ? lower[w] : 0;
            // A word holds whole blocks: bit 2i of the pair stands for block i of the word.
            const uint64_t any = a | b;
            for (uint64_t m = (any | (any >> 1)) & kEven; m != 0; m &= m - 1) {
                const int bit = std::countr_zero(m);
                const unsigned bits =
                    static_cast<unsigned>(((a >> bit) & 3) | (((b >> bit) & 3) << 2));
                visit(left_ + static_cast<int>(w * 64) + bit, top_ + 2 * by, bits);
            }
        }
    }
}

template <class Visit>
void PixelMask::forEachIn(int x0, int y0, int x1, int y1, Visit&& visit) const {
    x0 = std::max(x0 - left_, 0);
    x1 = std::min(x1 - left_, width_ - 1);
    if (x0 > x1) return;
    const auto w0 = static_cast<size_t>(x0) / 64, w1 = static_cast<size_t>(x1) / 64;
    const uint64_t first = ~uint64_t(0) << (x0 % 64);
    const uint64_t last = ~uint64_t(0) >> (63 - x1 % 64);
    for (int y = std::max(y0 - top_, 0); y <= std::min(y1 - top_, height_ - 1); ++y) {
        const uint64_t* row = bits_.data() + static_cast<size_t>(y) * words_;
        for (size_t w = w0; w <= w1; ++w) {
            uint64_t b = row[w];
            if (w == w0) b &= first;
            if (w == w1) b &= last;
            for (; b != 0; b &= b - 1) {
                const int x = static_cast<int>(w * 64) + std::countr_zero(b);
                visit(left_ + x, top_ + y);
            }
        }
    }
}

} // namespace tc
