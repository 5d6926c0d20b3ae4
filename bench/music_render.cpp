// Renders 60 s of a busy module at 44100 Hz through fillBuffer, in the wave
// output's 13216-byte blocks, and reports the speed as a multiple of real time.
#include "music/module_reader.h"
#include "music/song.h"
#include "tests/music/module_writer.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

using namespace music_test;

// Ten channels, all playing looped samples all the time: 8-bit and 16-bit,
// forward and ping-pong, centre and side panning (both gain paths), with
// vibrato, volume slides and arpeggio running.
std::vector<std::uint8_t> busyModule(int channels)
{
    XmModule m;
    m.channels = channels;
    m.orders = {0, 1};
    for (int p = 0; p < 2; ++p) {
        XmPattern pat;
        pat.rows = 64;
        pat.cells.resize(static_cast<std::size_t>(64 * channels));
        for (int r = 0; r < 64; r += 4)
            for (int c = 0; c < channels; ++c) {
                Cell& cell = pat.cells[static_cast<std::size_t>(r * channels + c)];
                cell.note = static_cast<std::uint8_t>(37 + (c * 5 + r + p * 7) % 36);
                cell.instrument = static_cast<std::uint8_t>(1 + c % 4);
                const int kind = (r / 4 + c) % 4;
                if (kind == 0) { cell.effect = 0x4; cell.parameter = 0x46; }
                if (kind == 1) { cell.effect = 0xA; cell.parameter = 0x01; }
                if (kind == 2) { cell.effect = 0x0; cell.parameter = 0x37; }
                if (kind == 3) { cell.effect = 0x8; cell.parameter = static_cast<std::uint8_t>(c * 25); }
            }
        m.patterns.push_back(pat);
    }
    for (int i = 0; i < 4; ++i) {
        XmInstrument ins;
        XmSample s;
        s.sixteenBit = i == 3;
        const int n = 2000 + 700 * i;
        s.frames.resize(static_cast<std::size_t>(n));
        for (int k = 0; k < n; ++k)
            s.frames[static_cast<std::size_t>(k)] =
                static_cast<std::int16_t>(std::lround((s.sixteenBit ? 12000 : 90) * std::sin(k * 0.07 * (i + 1))));
        s.loopType = i == 2 ? 2 : 1;
        s.loopStart = 100;
        s.loopLength = static_cast<std::uint32_t>(n - 100);
        s.panning = static_cast<std::uint8_t>(i == 1 ? 40 : 128);
        ins.samples.push_back(s);
        ins.volumeEnvelope.points = {{0, 64}, {20, 40}, {60, 48}};
        ins.volumeEnvelope.type = 1;
        m.instruments.push_back(ins);
    }
    return writeXm(m);
}

void BM_RenderSixtySeconds(benchmark::State& state)
{
    const int channels = static_cast<int>(state.range(0));
    const auto file = busyModule(channels);
    constexpr std::uint32_t kRate = 44100;
    constexpr std::uint32_t kBlock = 13216;
    constexpr std::uint64_t kFrames = 60ull * kRate;
    std::vector<std::uint8_t> buffer(kBlock);
    int activeAtEnd = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto song = std::make_unique<music::Song>();
        music::readModule(*song, file);
        song->start(kRate);
        song->syncReset(600);
        state.ResumeTiming();
        for (std::uint64_t done = 0; done < kFrames; done += kBlock / 4)
            song->fillBuffer(buffer.data(), kBlock);
        benchmark::DoNotOptimize(buffer.data());
        state.PauseTiming();
        activeAtEnd = 0;
        for (const auto& ch : song->channels)
            activeAtEnd += ch.active;
        song.reset();
        state.ResumeTiming();
    }
    state.counters["active_channels"] = activeAtEnd;
    // Seconds of audio per second of processing: 60 s per iteration.
    state.counters["x_realtime"] = benchmark::Counter(60.0 * static_cast<double>(state.iterations()),
                                                      benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RenderSixtySeconds)->Arg(8)->Arg(10)->Unit(benchmark::kMillisecond);

} // namespace
