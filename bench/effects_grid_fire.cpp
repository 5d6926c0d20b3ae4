// One 320x200 frame of each effect, as the scenes draw it: the grid blob and
// warp renderings including their generators, and the fire tunnel's draw
// plus its two further updates. Each iteration advances the time by a 60 Hz
// frame so the work is that of a running scene, not of one repeated phase.
#include "effects/fire_tunnel.h"
#include "effects/grid_distortion.h"
#include "platform/random_numbers.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>

namespace {

// A 320x200 frame to draw on and a 256x256 texture with every texel set.
struct GridTarget {
    display::Surface frame{320, 200, display::format32()};
    display::Surface texture{256, 256, display::format32()};

    GridTarget()
    {
        auto* texels = static_cast<std::uint32_t*>(texture.lock());
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                texels[y * 256 + x] = static_cast<std::uint32_t>(x * 0x010203 ^ y * 0x030201);
        texture.unlock();
    }
};

using GridRender = void (effects::GridDistortion::*)(display::BaseSurface&, display::BaseSurface&, double);

// A whole grid frame, generator included: the blob or the warp.
void gridFrame(benchmark::State& state, GridRender render)
{
    GridTarget target;
    effects::GridDistortion grid;
    double t = 20000;
    for (auto _ : state) {
        (grid.*render)(target.frame, target.texture, t * 0.0004);
        t += 1000.0 / 60;
        benchmark::ClobberMemory();
    }
}
BENCHMARK_CAPTURE(gridFrame, blob, &effects::GridDistortion::renderBlob)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(gridFrame, warp, &effects::GridDistortion::renderWarp)->Unit(benchmark::kMicrosecond);

void fireTunnelFrame(benchmark::State& state)
{
    display::Surface canvas(320, 200, display::format32());
    platform::seedRandom(1);
    effects::FireTunnel tunnel(10, 320, 200, 10.0f);
    double t = 20000;
    for (auto _ : state) {
        tunnel.seedCount = 160;
        tunnel.draw(canvas, 160, 100, static_cast<int>(t * 0.03), -24);
        tunnel.update();
        tunnel.update();
        t += 1000.0 / 60;
        benchmark::ClobberMemory();
    }
}
BENCHMARK(fireTunnelFrame)->Unit(benchmark::kMicrosecond);

// The parts on their own, to see where a frame's time goes.
void blobGenerator(benchmark::State& state)
{
    effects::GridDistortion grid;
    double p = 8;
    for (auto _ : state) {
        auto params = effects::blobParameters(p);
        grid.generateBlob(params.a, params.b, params.c, params.e);
        p += 0.0004 * 1000 / 60;
        benchmark::ClobberMemory();
    }
}
BENCHMARK(blobGenerator)->Unit(benchmark::kMicrosecond);

void gridFiller(benchmark::State& state)
{
    GridTarget target;
    effects::GridDistortion grid;
    grid.generateWarp(1.0);
    for (auto _ : state) {
        grid.fill(target.frame, target.texture);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(gridFiller)->Unit(benchmark::kMicrosecond);

void fireUpdate(benchmark::State& state)
{
    platform::seedRandom(1);
    effects::FireTunnel tunnel(160, 320, 200, 10.0f);
    for (auto _ : state) {
        tunnel.update();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(fireUpdate)->Unit(benchmark::kMicrosecond);

} // namespace
