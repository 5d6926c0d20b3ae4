// One 320x200 frame of the spline ribbons and of the object scene's intro and
// main renderings. The time argument is demo time in ms, scaled as the scenes
// scale it (ribbons and intro take t, main takes t x 0.002). The frame is not
// cleared between iterations: clearing belongs to the frame loop.
#include "effects/object_scene.h"
#include "effects/spline_ribbons.h"

#include <benchmark/benchmark.h>

namespace {

void ribbons(benchmark::State& state, effects::SplatForm form)
{
    display::Surface frame(320, 200, display::format32());
    const effects::SplineRibbons effect(form);
    const double t = static_cast<double>(state.range(0));
    for (auto _ : state) {
        effect.draw(t, frame);
        benchmark::ClobberMemory();
    }
}

void ribbonsPlain(benchmark::State& state) { ribbons(state, effects::SplatForm::Plain); }
void ribbonsMmx(benchmark::State& state) { ribbons(state, effects::SplatForm::Mmx); }

void objectIntro(benchmark::State& state)
{
    display::Surface frame(320, 200, display::format32());
    effects::ObjectScene scene(0);
    const float t = static_cast<float>(state.range(0));
    for (auto _ : state) {
        scene.renderIntro(frame, nullptr, t);
        benchmark::ClobberMemory();
    }
}

void objectMain(benchmark::State& state)
{
    display::Surface frame(320, 200, display::format32());
    effects::ObjectScene scene(0);
    const double x = static_cast<double>(state.range(0)) * 0.002;
    for (auto _ : state) {
        scene.renderMain(frame, x);
        benchmark::ClobberMemory();
    }
}

// A run through the scene's time range, one frame per 1/60 s, so that every
// zoom and angle is met: reports the mean over all those frames.
void objectIntroSweep(benchmark::State& state)
{
    display::Surface frame(320, 200, display::format32());
    effects::ObjectScene scene(0);
    int i = 0;
    for (auto _ : state) {
        scene.renderIntro(frame, nullptr, static_cast<float>((i++ % 420) * (1000.0 / 60.0)));
        benchmark::ClobberMemory();
    }
}

void objectMainSweep(benchmark::State& state)
{
    display::Surface frame(320, 200, display::format32());
    effects::ObjectScene scene(0);
    int i = 0;
    for (auto _ : state) {
        scene.renderMain(frame, (i++ % 600) * (1000.0 / 60.0) * 0.002);
        benchmark::ClobberMemory();
    }
}

} // namespace

BENCHMARK(ribbonsPlain)->Arg(1000)->Arg(30000)->Unit(benchmark::kMicrosecond);
BENCHMARK(ribbonsMmx)->Arg(1000)->Arg(30000)->Unit(benchmark::kMicrosecond);
BENCHMARK(objectIntro)->Arg(0)->Arg(1000)->Arg(3000)->Arg(6000)->Arg(6999)->Unit(benchmark::kMicrosecond);
BENCHMARK(objectIntroSweep)->Unit(benchmark::kMicrosecond);
BENCHMARK(objectMain)->Arg(0)->Arg(1000)->Arg(3000)->Unit(benchmark::kMicrosecond);
BENCHMARK(objectMainSweep)->Unit(benchmark::kMicrosecond);
