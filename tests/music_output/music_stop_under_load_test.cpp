// The audio path's start and stop under load: the music facade started and
// stopped again and again, with the wave driver on SDL's dummy audio device
// and the silent driver in turn, while the main thread polls the markers the
// whole time the music plays. Most runs stop while the mixing thread is busy
// with its first eight blocks; some silent ones last several of the silent
// driver's 100 ms ticks, so that markers are taken and stops meet a running
// timer. The sanitizer builds run a thousand cycles: ThreadSanitizer
// (DEMO_TSAN=ON) checks the threads, AddressSanitizer (DEMO_SANITIZE=ON) the
// leaks; a stop that never returns hangs the test. Other builds run a tenth,
// as each stop of SDL's dummy device waits for its thread's next wake-up.
#include "music/music_facade.h"
#include "music/setup_window.h"
#include "platform/environment.h"
#include "tests/music_output/scripted_window.h"
#include "tests/music_output/test_module.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

using namespace music;
using music_output_test::markerModule;
using music_output_test::ModuleFile;
using music_output_test::scripted;
using music_output_test::ScriptedWindow;

#ifndef MUSIC_STOP_CYCLES
#define MUSIC_STOP_CYCLES 100
#endif

TEST(MusicStopUnderLoad, StartAndStopWithBothDriversWhilePolling)
{
    platform::setEnvironmentVariable("SDL_AUDIODRIVER", "dummy");
    std::vector<std::pair<int, int>> markers;
    for (int row = 0; row < 64; ++row)
        markers.emplace_back(row, 1 + row % 4);
    ModuleFile file(markerModule(markers));
    int taken = 0;
    for (int i = 0; i < MUSIC_STOP_CYCLES; ++i) {
        const bool silent = i % 2 == 1;
        MusicServices services;
        services.openSetupWindow = scripted([silent](ScriptedWindow& w) {
            w.user = [silent](ScriptedWindow& self) {
                self.checks[kNoSoundButton] = silent;
                self.checks[kMMSoundButton] = !silent;
                return platform::SetupWindowEnd::DefaultButton;
            };
        });
        MusicFacade music(file.path(), 1, std::move(services));
        ASSERT_EQ(music.options().outputDriver, silent ? kSilentDriver : kWaveDriver);
        const auto playFor = std::chrono::milliseconds(i % 100 == 1 ? 350 + i % 7 : i % 8);
        const auto end = std::chrono::steady_clock::now() + playFor;
        do {
            for (int n = 1; n <= 4; ++n)
                taken += music.takeSync(n) == n ? 1 : 0;
        } while (std::chrono::steady_clock::now() < end);
    }
    // The long silent runs take markers while the timer runs.
    EXPECT_GT(taken, 0);
}

} // namespace
