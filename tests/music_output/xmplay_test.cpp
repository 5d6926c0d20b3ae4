// End to end: build/xmplay plays a module under SDL's dummy audio driver (no
// display, so the set-up window's defaults: wave output at 44100 Hz) and
// prints its markers in order at times that follow their rows.
#include "platform/child_process.h"
#include "platform/environment.h"
#include "tests/music_output/test_module.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <string>
#include <vector>

namespace {

struct XmplayRun {
    std::string output;
    int status = -1;
};

XmplayRun runXmplay(const std::string& arguments)
{
    // The child inherits this environment: no display, SDL's dummy audio.
    platform::unsetEnvironmentVariable("DISPLAY");
    platform::unsetEnvironmentVariable("WAYLAND_DISPLAY");
    platform::setEnvironmentVariable("SDL_AUDIODRIVER", "dummy");
    const platform::CommandOutput out =
        platform::runCapturingOutput(platform::shellQuoted(XMPLAY_PATH) + " " + arguments + " 2>&1");
    return {out.output, out.status};
}

// Playing needs the set-up window's defaults without a user: on Linux a
// process without a display gets them. A Windows process always has a
// desktop, so the window would wait there; the Windows wave output is
// checked by the platform suite instead.
#ifdef _WIN32
#define SKIP_WITHOUT_HEADLESS_SETUP() GTEST_SKIP() << "the sound set-up window always opens on Windows"
#else
#define SKIP_WITHOUT_HEADLESS_SETUP() (void)0
#endif

TEST(Xmplay, PrintsMarkersInOrderAtTheTimesOfTheirRows)
{
    SKIP_WITHOUT_HEADLESS_SETUP();
    // Speed 6 at 125 BPM: a tick is 20 ms, a row 120 ms. Markers every 8
    // rows, 960 ms apart, after the first 600 ms of music (the eight blocks
    // rendered at once when the device opens).
    music_output_test::ModuleFile file(music_output_test::markerModule({{8, 11}, {16, 12}, {24, 13}, {32, 14}}));
    XmplayRun run = runXmplay(file.path() + " --seconds 5");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_THAT(run.output, ::testing::HasSubstr("stopped"));

    std::regex line("marker (\\d+) at (\\d+) ms");
    std::vector<int> values, times;
    for (auto it = std::sregex_iterator(run.output.begin(), run.output.end(), line); it != std::sregex_iterator(); ++it) {
        values.push_back(std::stoi((*it)[1]));
        times.push_back(std::stoi((*it)[2]));
    }
    ASSERT_THAT(values, ::testing::ElementsAre(11, 12, 13, 14)) << run.output;
    for (std::size_t i = 1; i < times.size(); ++i) {
        // 960 ms per 8 rows. The dummy driver paces itself with sleeps, so
        // on a loaded machine the music runs a little slow, never fast; the
        // mixing thread and the polling loop may also wake late.
        EXPECT_GE(times[i] - times[i - 1], 960 - 100) << run.output;
        EXPECT_LE(times[i] - times[i - 1], 960 + 340) << run.output;
    }
    // Row 8 is rendered when the fifth block has been played (about 375 ms
    // in) and falls due 500 ms after it was rendered, 100 ms before it is
    // heard at about 960 ms.
    EXPECT_GE(times[0], 700) << run.output;
    EXPECT_LE(times[0], 1700) << run.output;
}

TEST(Xmplay, StopsAfterTheGivenSecondsWithStatusZero)
{
    SKIP_WITHOUT_HEADLESS_SETUP();
    music_output_test::ModuleFile file(music_output_test::markerModule({}));
    XmplayRun run = runXmplay(file.path() + " --seconds 0.5");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_THAT(run.output, ::testing::HasSubstr("stopped"));
}

TEST(Xmplay, BadArgumentsAreRefused)
{
    EXPECT_EQ(runXmplay("").status, 2);
    EXPECT_EQ(runXmplay("a.xm --seconds").status, 2);
    EXPECT_EQ(runXmplay("a.xm --seconds -1").status, 2);
    EXPECT_EQ(runXmplay("a.xm --bogus").status, 2);
}

} // namespace
