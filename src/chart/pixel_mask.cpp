#include "chart/pixel_mask.h"

namespace tc {

void PixelMask::reset(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    words_ = (static_cast<size_t>(width_) + 63) / 64;
    bits_.assign(words_ * static_cast<size_t>(height_), 0);
}

bool PixelMask::test(int x, int y) const {
    x -= left_;
    y -= top_;
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return false;
    const auto ix = static_cast<size_t>(x);
    return (bits_[static_cast<size_t>(y) * words_ + ix / 64] >> (ix % 64)) & 1;
}

void PixelMask::put(int x, int y, bool marked) {
    x -= left_;
    y -= top_;
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    const auto ix = static_cast<size_t>(x);
    uint64_t& word = bits_[static_cast<size_t>(y) * words_ + ix / 64];
    const uint64_t bit = uint64_t(1) << (ix % 64);
    word = marked ? word | bit : word & ~bit;
}

bool PixelMask::allSet(double x0, double y0, double x1, double y1) const {
    const double cx0 = x0 - left_, cy0 = y0 - top_, cx1 = x1 - left_, cy1 = y1 - top_;
    if (!(cx0 >= 0 && cy0 >= 0 && cx1 < width_ && cy1 < height_)) return false;
    const auto ix0 = static_cast<size_t>(cx0), ix1 = static_cast<size_t>(cx1);
    const auto iy0 = static_cast<size_t>(cy0), iy1 = static_cast<size_t>(cy1);
    if (ix1 - ix0 >= 8 || iy1 - iy0 >= 8) return false;
    for (size_t y = iy0; y <= iy1; ++y)
        for (size_t x = ix0; x <= ix1; ++x)
            if (!((bits_[y * words_ + x / 64] >> (x % 64)) & 1)) return false;
    return true;
}

void PixelMask::add(const PixelMask& other) {
    if (other.bits_.size() != bits_.size()) return;
    for (size_t i = 0; i < bits_.size(); ++i)
        bits_[i] |= other.bits_[i];
}

size_t PixelMask::count() const {
    size_t n = 0;
    for (uint64_t w : bits_)
        n += static_cast<size_t>(std::popcount(w));
    return n;
}

} // namespace tc
