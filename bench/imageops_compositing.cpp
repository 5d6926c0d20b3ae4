// The frame compositing operations on 320x200 frames, and a memcpy of one
// frame as the yardstick.
#include "driver/compositing.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

namespace {

using display::Surface;

constexpr int width = 320, height = 200;

void randomize(Surface& s, unsigned seed)
{
    std::mt19937 random(seed);
    auto* p = static_cast<std::uint32_t*>(s.lock());
    for (int i = 0; i < s.width() * s.height(); ++i)
        p[i] = static_cast<std::uint32_t>(random());
    s.unlock();
}

void Memcpy(benchmark::State& state)
{
    Surface a(width, height, display::format32()), b(width, height, display::format32());
    randomize(a, 1);
    for (auto _ : state) {
        void* d = b.lock();
        std::memcpy(d, a.lock(), width * height * 4);
        a.unlock();
        b.unlock();
        benchmark::ClobberMemory();
    }
}

template <typename Op>
void frameOp(benchmark::State& state, Op op)
{
    Surface source(width, height, display::format32()), destination(width, height, display::format32());
    randomize(source, 2);
    for (auto _ : state) {
        op(destination, source);
        benchmark::ClobberMemory();
    }
}

void ZoomFiltered(benchmark::State& state)
{
    frameOp(state, [](Surface& d, Surface& s) { driver::beatZoomFiltered(d, s, 0.83f); });
}
void ZoomNearest(benchmark::State& state)
{
    frameOp(state, [](Surface& d, Surface& s) { driver::beatZoomNearest(d, s, 0.83f); });
}
void QuarterTile(benchmark::State& state)
{
    frameOp(state, [](Surface& d, Surface& s) { driver::quarterTileCopy(d, s); });
}
void Clear(benchmark::State& state)
{
    frameOp(state, [](Surface& d, Surface&) { driver::clearSurface(d, 0x00102030); });
}

// A full-frame overlay whose left half is key colour, as the dancer and logo
// images are largely transparent.
void BlitKeyed(benchmark::State& state)
{
    Surface image(width, height, display::format32()), destination(width, height, display::format32());
    randomize(image, 3);
    auto* p = static_cast<std::uint32_t*>(image.lock());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width / 2; ++x)
            p[y * width + x] = 0;
    image.unlock();
    for (auto _ : state) {
        driver::blitKeyed(image, destination, 0, 0);
        benchmark::ClobberMemory();
    }
}

BENCHMARK(Memcpy);
BENCHMARK(Clear);
BENCHMARK(ZoomFiltered);
BENCHMARK(ZoomNearest);
BENCHMARK(QuarterTile);
BENCHMARK(BlitKeyed);

} // namespace
