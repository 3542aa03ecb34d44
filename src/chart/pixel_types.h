#pragma once
#include <cstddef>

namespace tc {

// A linear map from values on an axis to device pixels: pixel = p0 + (v - v0) * scale.
struct PixelAxis {
    double v0 = 0, p0 = 0, scale = 1;
    double operator()(double v) const { return p0 + (v - v0) * scale; }
};

struct PixelPoint {
    double x, y;
};

// A rectangle of device pixel coordinates, edges included.
struct PixelBox {
    double left, top, right, bottom;
};

// The points of a series as a strided array: point i is (x[i*stride], y[i*stride]).
struct StridedPoints {
    const double* x;
    const double* y;
    size_t count;
    size_t stride = 1;
};

// Which edges of the box the point lies beyond: bits 1 left, 2 right, 4 above, 8 below.
inline unsigned boxOutcode(double x, double y, const PixelBox& b) {
    return (x < b.left ? 1u : 0u) | (x > b.right ? 2u : 0u) | (y < b.top ? 4u : 0u) |
           (y > b.bottom ? 8u : 0u);
}

} // namespace tc
