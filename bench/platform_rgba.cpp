// One 320x200 page of 0x00RRGGBB words to canvas RGBA bytes (alpha 255), as
// the browser build does every frame: our loop against SDL_ConvertPixels
// from RGB888 to RGBA32.
#include "platform/rgba_pixels.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

constexpr int width = 320;
constexpr int height = 200;

std::vector<std::uint32_t> page()
{
    std::vector<std::uint32_t> p(width * height);
    std::uint32_t x = 12345;
    for (auto& v : p) {
        x = x * 1664525u + 1013904223u;
        v = x >> 8;
    }
    return p;
}

void BM_PageToRgba(benchmark::State& state)
{
    const auto in = page();
    std::vector<std::uint8_t> out(width * height * 4);
    for (auto _ : state) {
        platform::pageToRgba(reinterpret_cast<const std::uint8_t*>(in.data()), width * 4, width, height, out.data());
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * width * height);
}
BENCHMARK(BM_PageToRgba);

void BM_SdlConvertPixels(benchmark::State& state)
{
    const auto in = page();
    std::vector<std::uint8_t> out(width * height * 4);
    for (auto _ : state) {
        SDL_ConvertPixels(width, height, SDL_PIXELFORMAT_RGB888, in.data(), width * 4, SDL_PIXELFORMAT_RGBA32,
                          out.data(), width * 4);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * width * height);
}
BENCHMARK(BM_SdlConvertPixels);

} // namespace
