// The line reduction of a 1,000,000-point record at the chart's plot size (about 600 x 560
// device pixels), on one thread: the part of a redraw after a scroll or zoom that no cache saves.
#include "chart/pixel_reduction.h"
#include "record_generator.h"

#include <benchmark/benchmark.h>

#include <algorithm>

namespace {

struct Scene {
    tc::bench::Record record = tc::bench::makeCyclicRecord(1'000'000);
    tc::StridedPoints points{record.disp.data(), record.force.data(), record.disp.size()};
    tc::PointRunIndex index;
    tc::PixelAxis ax, ay;
    tc::PixelBox box{40, 10, 640, 570};
    Scene() {
        index.build(points);
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

// The whole record in view, each step moved by a few pixels as by a scroll.
void BM_ReduceLine1M(benchmark::State& state) {
    const Scene& s = scene();
    const bool indexed = state.range(0) != 0;
    std::vector<tc::PixelPoint> line;
    double shift = 0;
    for (auto _ : state) {
        tc::PixelAxis ax = s.ax;
        ax.p0 += shift;
        shift = shift == 0 ? 7.5 : 0;
        line.clear();
        tc::reduceLineStretch(s.points, ax, s.ay, s.box, line, indexed ? &s.index : nullptr, 0,
                              s.points.count);
        benchmark::DoNotOptimize(line.data());
    }
    state.counters["vertices"] = static_cast<double>(line.size());
}
BENCHMARK(BM_ReduceLine1M)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
