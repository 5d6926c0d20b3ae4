// Every routine of both image-operation families on one 320x200 frame, and a
// memcpy of the same frame as the yardstick.
#include "imageops/routines.h"
#include "imageops/scale_table.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

using namespace imageops;

constexpr int width = 320, height = 200, pixels = width * height;

struct Frames {
    Frames() : a(pixels), b(pixels), dst(pixels), table(scaleTableSize)
    {
        std::mt19937 random(42);
        for (int i = 0; i < pixels; ++i) {
            a[i] = static_cast<std::uint32_t>(random());
            b[i] = static_cast<std::uint32_t>(random());
            dst[i] = static_cast<std::uint32_t>(random());
        }
        buildScaleTable(table.data());
    }
    std::vector<std::uint32_t> a, b, dst;
    std::vector<std::uint8_t> table;
};

Frames& frames()
{
    static Frames f;
    return f;
}

template <typename Body>
void run(benchmark::State& state, Body body)
{
    Frames& f = frames();
    for (auto _ : state) {
        body(f);
        benchmark::DoNotOptimize(f.dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * pixels * 4);
}

void Memcpy(benchmark::State& s)
{
    run(s, [](Frames& f) { std::memcpy(f.dst.data(), f.a.data(), pixels * 4); });
}

void SaturatePlain(benchmark::State& s)
{
    run(s, [](Frames& f) { _saturatenommx(f.dst.data(), f.a.data(), width, height, 0, 0); });
}
void SaturateVector(benchmark::State& s)
{
    run(s, [](Frames& f) { _saturatemmx(f.dst.data(), f.a.data(), width, height, 0, 0); });
}
void SaturateIntPlain(benchmark::State& s)
{
    run(s, [](Frames& f) { _saturateintnommx(f.dst.data(), f.a.data(), width, height, 0, 0, f.table.data(), 100); });
}
void SaturateIntVector(benchmark::State& s)
{
    run(s, [](Frames& f) { _saturateintmmx(f.dst.data(), f.a.data(), width, height, 0, 0, 0x6400); });
}
void JoinScreenPlain(benchmark::State& s)
{
    run(s, [](Frames& f) { _joinscreennommx(f.dst.data(), f.a.data(), f.b.data(), pixels); });
}
void JoinScreenVector(benchmark::State& s)
{
    run(s, [](Frames& f) { _joinscreenmmx(f.dst.data(), f.a.data(), f.b.data(), pixels); });
}
// In place, as the driver calls it.
void Fade2colPlain(benchmark::State& s)
{
    run(s, [](Frames& f) { _fade2colnommx(f.dst.data(), f.dst.data(), 0x00ff0000, 0x6000, pixels, f.table.data()); });
}
void Fade2colVector(benchmark::State& s)
{
    run(s, [](Frames& f) { _fade2colmmx(f.dst.data(), f.dst.data(), 0x00ff0000, 0x6000, pixels); });
}
void InvertPlain(benchmark::State& s)
{
    run(s, [](Frames& f) { _invertnommx(f.dst.data(), f.a.data(), 0x00808080, pixels); });
}
void InvertVector(benchmark::State& s)
{
    run(s, [](Frames& f) { _invertmmx(f.dst.data(), f.a.data(), 0x00808080, pixels); });
}

BENCHMARK(Memcpy);
BENCHMARK(SaturatePlain);
BENCHMARK(SaturateVector);
BENCHMARK(SaturateIntPlain);
BENCHMARK(SaturateIntVector);
BENCHMARK(JoinScreenPlain);
BENCHMARK(JoinScreenVector);
BENCHMARK(Fade2colPlain);
BENCHMARK(Fade2colVector);
BENCHMARK(InvertPlain);
BENCHMARK(InvertVector);

} // namespace
