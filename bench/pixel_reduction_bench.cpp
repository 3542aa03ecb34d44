// The line reduction of a 1,000,000-point record at the chart's plot size (about 600 x 560
// device pixels), on one thread: the part of a redraw after a scroll or zoom that no cache saves.
#include "chart/pixel_reduction.h"
#include "chart/reduced_line.h"
#include "record_generator.h"

#include <benchmark/benchmark.h>

#include <algorithm>

namespace {

struct Scene {
    tc::bench::Record record = tc::bench::makeCyclicRecord(1'000'000);
    tc::StridedPoints points{record.disp.data(), record.force.data(), record.disp.size()};
    std::vector<double> interleaved; // t, x, y per point, as the chart holds them
    tc::StridedPoints strided{};
    tc::PointRunIndex index;
    tc::PixelAxis ax, ay;
    tc::PixelBox box{40, 10, 640, 570};
    Scene() {
        index.build(points);
        for (size_t i = 0; i < record.disp.size(); ++i)
            interleaved.insert(interleaved.end(), {double(i), record.disp[i], record.force[i]});
        strided = {interleaved.data() + 1, interleaved.data() + 2, record.disp.size(), 3};
        const auto [x0, x1] = std::minmax_element(record.disp.begin(), record.disp.end());
        const auto [y0, y1] = std::minmax_element(record.force.begin(), record.force.end());
        ax = {*x0, box.left, (box.right - box.left) / (*x1 - *x0)};
        ay = {*y1, box.top, -(box.bottom - box.top) / (*y1 - *y0)};
    }
};

const Scene& scene() {
    static const Scene s;
    return s;
}

// The whole record in view (or zoomed in 10x about the middle of the plot: arg 2), each step
// moved by a few pixels as by a scroll; arg 0 without the run index.
void BM_ReduceLine1M(benchmark::State& state) {
    const Scene& s = scene();
    const bool indexed = state.range(0) != 0;
    tc::PixelAxis x0 = s.ax, y0 = s.ay;
    if (state.range(0) == 2) {
        const double cx = (s.box.left + s.box.right) / 2, cy = (s.box.top + s.box.bottom) / 2;
        x0 = {x0.v0, cx + (x0.p0 - cx) * 10, x0.scale * 10};
        y0 = {y0.v0, cy + (y0.p0 - cy) * 10, y0.scale * 10};
    }
    std::vector<tc::PixelPoint> line;
    double shift = 0;
    for (auto _ : state) {
        tc::PixelAxis ax = x0;
        ax.p0 += shift;
        shift = shift == 0 ? 7.5 : 0;
        line.clear();
        tc::reduceLineStretch(state.range(0) == 3 ? s.strided : s.points, ax, y0, s.box, line,
                              indexed ? &s.index : nullptr, 0, s.points.count);
        benchmark::DoNotOptimize(line.data());
    }
    state.counters["vertices"] = static_cast<double>(line.size());
}
BENCHMARK(BM_ReduceLine1M)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

} // namespace

// What a redraw with the raw curve's markers does after a zoom, on one thread: the chart's
// interleaved points reduced stretch by stretch with the run index, the markers' half-pixel
// cells marked on the way, each stretch's line simplified.
void BM_ReduceLineAndCells1M(benchmark::State& state) {
    const Scene& s = scene();
    constexpr size_t kStretch = size_t(1) << 15;
    tc::PixelMask cells;
    std::vector<tc::PixelPoint> line, simplified;
    size_t vertices = 0;
    for (auto _ : state) {
        cells.reset(static_cast<int>(2 * s.box.left), static_cast<int>(2 * s.box.top),
                    static_cast<int>(2 * (s.box.right - s.box.left)),
                    static_cast<int>(2 * (s.box.bottom - s.box.top)));
        const tc::PixelBox wide{s.box.left - 300, s.box.top - 280, s.box.right + 300,
                                s.box.bottom + 280};
        vertices = 0;
        for (size_t from = 0; from < s.strided.count; from += kStretch) {
            line.clear();
            tc::reduceLineStretch(s.strided, s.ax, s.ay, wide, line, &s.index, from,
                                  std::min(s.strided.count, from + kStretch + 1), &cells, 2);
            simplified.clear();
            tc::simplifyLine(line, 0.4, simplified);
            vertices += simplified.size();
        }
        benchmark::DoNotOptimize(cells);
    }
    state.counters["vertices"] = static_cast<double>(vertices);
}
BENCHMARK(BM_ReduceLineAndCells1M)->Unit(benchmark::kMillisecond);
