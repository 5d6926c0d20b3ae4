// Converting one 320x200 32-bit frame (0x00RRGGBB) into each destination
// format of the conversion table: our converter rows, SDL_ConvertPixels on
// the same conversion, and pixman's composite for RGB565.
#include "console/converter.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdio>
#include <vector>

namespace {

constexpr int width = 320;
constexpr int height = 200;
constexpr int pixels = width * height;

struct Row {
    const char* name;
    display::Format format;
    Uint32 sdlFormat; // the same layout in SDL's terms
};

const Row rowsToMeasure[] = {
    {"copy32", display::Format(32, 0xff0000, 0xff00, 0xff), SDL_PIXELFORMAT_RGB888},
    {"bgr32", display::Format(32, 0xff, 0xff00, 0xff0000), SDL_PIXELFORMAT_BGR888},
    {"bgr24", display::Format(24, 0xff0000, 0xff00, 0xff), SDL_PIXELFORMAT_BGR24}, // bytes B, G, R
    {"rgb24", display::Format(24, 0xff, 0xff00, 0xff0000), SDL_PIXELFORMAT_RGB24}, // bytes R, G, B
    {"rgb565", display::Format(16, 0xf800, 0x7e0, 0x1f), SDL_PIXELFORMAT_RGB565},
    {"bgr565", display::Format(16, 0x1f, 0x7e0, 0xf800), SDL_PIXELFORMAT_BGR565},
    {"rgb555", display::Format(16, 0x7c00, 0x3e0, 0x1f), SDL_PIXELFORMAT_RGB555},
    {"bgr555", display::Format(16, 0x1f, 0x3e0, 0x7c00), SDL_PIXELFORMAT_BGR555},
    {"rgb332", display::Format(8, 0xe0, 0x1c, 0x3), SDL_PIXELFORMAT_RGB332},
    {"generic32", display::Format(32, 0xff000000, 0xff0000, 0xff00), SDL_PIXELFORMAT_RGBX8888},
    {"generic16", display::Format(16, 0x0f00, 0xf0, 0xf), SDL_PIXELFORMAT_RGB444},
};

std::vector<std::uint32_t> frame()
{
    std::vector<std::uint32_t> f(pixels);
    std::uint32_t seed = 1;
    for (auto& c : f) {
        seed = seed * 1664525u + 1013904223u;
        c = seed >> 8;
    }
    return f;
}

void perPixel(benchmark::State& state)
{
    state.SetItemsProcessed(state.iterations() * pixels);
    state.counters["ns_per_pixel"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * pixels / 1e9,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void ours(benchmark::State& state, const Row& row)
{
    display::ConverterHold hold;
    hold.acquire();
    const auto source = frame();
    std::vector<std::uint8_t> destination(static_cast<std::size_t>(pixels) * 4);
    const int pitch = width * row.format.bytes();
    if (!display::Converter::request(display::format32(), row.format)) {
        state.SkipWithError("refused");
        return;
    }
    for (auto _ : state) {
        display::Converter::convert(source.data(), 0, 0, width, height, width * 4, destination.data(), 0, 0, width,
                                    height, pitch);
        benchmark::DoNotOptimize(destination.data());
        benchmark::ClobberMemory();
    }
    perPixel(state);
}

void sdl(benchmark::State& state, const Row& row)
{
    const auto source = frame();
    std::vector<std::uint8_t> destination(static_cast<std::size_t>(pixels) * 4);
    const int pitch = width * SDL_BYTESPERPIXEL(row.sdlFormat);
    for (auto _ : state) {
        if (SDL_ConvertPixels(width, height, SDL_PIXELFORMAT_RGB888, source.data(), width * 4, row.sdlFormat,
                              destination.data(), pitch) != 0) {
            state.SkipWithError(SDL_GetError());
            break;
        }
        benchmark::DoNotOptimize(destination.data());
        benchmark::ClobberMemory();
    }
    perPixel(state);
}

void pixman565(benchmark::State& state)
{
    auto source = frame();
    std::vector<std::uint16_t> destination(pixels);
    pixman_image_t* src = pixman_image_create_bits(PIXMAN_a8r8g8b8, width, height, source.data(), width * 4);
    pixman_image_t* dst = pixman_image_create_bits(PIXMAN_r5g6b5, width, height,
                                                   reinterpret_cast<std::uint32_t*>(destination.data()), width * 2);
    for (auto _ : state) {
        pixman_image_composite(PIXMAN_OP_SRC, src, nullptr, dst, 0, 0, 0, 0, 0, 0, width, height);
        benchmark::DoNotOptimize(destination.data());
        benchmark::ClobberMemory();
    }
    pixman_image_unref(dst);
    pixman_image_unref(src);
    perPixel(state);
}

int registerAll()
{
    for (const Row& row : rowsToMeasure) {
        benchmark::RegisterBenchmark((std::string("ours/") + row.name).c_str(),
                                     [&row](benchmark::State& s) { ours(s, row); });
        benchmark::RegisterBenchmark((std::string("sdl/") + row.name).c_str(),
                                     [&row](benchmark::State& s) { sdl(s, row); });
    }
    benchmark::RegisterBenchmark("pixman/rgb565", pixman565);
    return 0;
}

const int registered = registerAll();

} // namespace
