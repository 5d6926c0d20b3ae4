// clearSurface on the frame the loop clears every frame, against a plain
// std::fill of the same words for scale.
#include "driver/clear_surface.h"

#include <benchmark/benchmark.h>

#include <algorithm>

static void ClearSurface320x200(benchmark::State& state)
{
    display::Surface frame(320, 200, display::format32());
    std::uint32_t value = 0;
    for (auto _ : state) {
        driver::clearSurface(frame, value++);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 320 * 200);
}
BENCHMARK(ClearSurface320x200);

static void StdFill320x200(benchmark::State& state)
{
    display::Surface frame(320, 200, display::format32());
    std::uint32_t value = 0;
    for (auto _ : state) {
        auto* p = static_cast<std::uint32_t*>(frame.lock());
        std::fill(p, p + 320 * 200, value++);
        frame.unlock();
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 320 * 200);
}
BENCHMARK(StdFill320x200);
