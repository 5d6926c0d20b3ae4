// The music facade: the start-up order's visible results and the markers as
// the driver's thread takes them.
#include "music/music_facade.h"
#include "music/setup_window.h"
#include "music/song.h"
#include "platform/wave_out_fake.h"
#include "tests/music_output/scripted_window.h"
#include "tests/music_output/test_module.h"
#include "tests/support/message_recorder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using namespace music;
using music_output_test::markerModule;
using music_output_test::ModuleFile;
using music_output_test::scripted;
using music_output_test::ScriptedWindow;
using platform::FakeWaveOut;

struct Harness {
    FakeWaveOut* device = nullptr;
    platform::ManualClock clock{1000};

    MusicServices services(platform::SetupWindowOpener opener = [](const platform::SetupWindowSpec&) {
        return std::unique_ptr<platform::SetupWindow>();
    })
    {
        MusicServices s;
        s.openSetupWindow = std::move(opener);
        s.makeWaveOut = [this] {
            auto d = std::make_unique<FakeWaveOut>();
            device = d.get();
            return std::unique_ptr<platform::WaveOut>(std::move(d));
        };
        s.clock = &clock;
        return s;
    }
};

TEST(MusicFacade, WithoutADisplayPlaysTheModuleThroughTheWaveDriver)
{
    ModuleFile file(markerModule({{0, 1}}));
    Harness h;
    testing::internal::CaptureStdout();
    MusicFacade music(file.path(), 1, h.services());
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_THAT(out, ::testing::HasSubstr("No display for the sound set-up window"));
    EXPECT_TRUE(music.moduleLoaded());
    EXPECT_EQ(music.options().mixingRate, 44100);
    EXPECT_EQ(music.options().outputDriver, kWaveDriver);
    EXPECT_FALSE(music.options().mmxMixer); // flag word 1
    EXPECT_EQ(music.startResult(), 0);
    ASSERT_NE(h.device, nullptr);
    EXPECT_TRUE(h.device->waitForWrites(8, 10000));
    EXPECT_EQ(h.device->format().samplesPerSecond, 44100u);
    // The last of the eight blocks waits behind the seven others:
    // floor(7 x 3304 x 1000 / 44100) ms.
    EXPECT_EQ(music.song().syncLatency, 524);
    EXPECT_EQ(music.song().mixingRate(), 44100);
}

TEST(MusicFacade, MarkersFallDueAfterTheLatencyAndAreTakenExactlyOnce)
{
    ModuleFile file(markerModule({{0, 1}, {1, 2}, {2, 3}, {3, 255}}));
    Harness h;
    testing::internal::CaptureStdout();
    MusicFacade music(file.path(), 1, h.services());
    testing::internal::GetCapturedStdout();
    ASSERT_TRUE(h.device->waitForWrites(8, 10000));
    // The eight blocks were rendered at clock 1000, block k queued behind k
    // others, so row r, which reaches the device (r + 1) x 120 ms into the
    // music, is due 100 ms before that: at 1000 + 120 (r + 1) - 100.
    EXPECT_EQ(music.takeSync(1), -1);
    h.clock.set(1019);
    EXPECT_EQ(music.takeSync(1), -1);
    h.clock.set(1020);
    EXPECT_EQ(music.takeSync(1), 1);
    h.clock.set(1379);
    EXPECT_EQ(music.takeSync(2), 2);
    EXPECT_EQ(music.takeSync(255), -1);
    h.clock.set(1380);
    // A later marker may be asked first; each is there once.
    EXPECT_EQ(music.takeSync(255), 255);
    EXPECT_EQ(music.takeSync(3), 3);
    EXPECT_EQ(music.takeSync(3), -1);
    for (int n : {1, 2, 3, 255, 4, 0})
        EXPECT_EQ(music.takeSync(n), -1) << n;
}

TEST(MusicFacade, NoSoundRunsTheSilentDriverAndTheWindowsFlipDoesNotSurvive)
{
    ModuleFile file(markerModule({{0, 9}}));
    Harness h;
    MusicFacade music(file.path(), 0, h.services(scripted([](ScriptedWindow& w) {
        w.user = [](ScriptedWindow& self) {
            self.checks[kNoSoundButton] = true;
            self.checks[kMMSoundButton] = false;
            self.checks[kRate22Button] = true;
            self.checks[kRate44Button] = false;
            self.checks[kFlipRightBox] = true;
            return platform::SetupWindowEnd::DefaultButton;
        };
    })));
    EXPECT_EQ(music.options().outputDriver, kSilentDriver);
    EXPECT_EQ(music.options().mixingRate, 22050);
    EXPECT_TRUE(music.options().mmxMixer); // flag word 0: the box started checked
    EXPECT_FALSE(music.options().flip);     // options word 0 came after the window
    EXPECT_FALSE(music.song().outputOptions().flip);
    EXPECT_TRUE(music.song().outputOptions().mmxMixer);
    EXPECT_EQ(music.song().syncLatency, 10);
    EXPECT_EQ(h.device, nullptr);
    // The timer runs the player; the marker is due at once.
    int got = -1;
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (got < 0 && std::chrono::steady_clock::now() < end) {
        got = music.takeSync(9);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(got, 9);
    EXPECT_EQ(music.takeSync(9), -1);
}

TEST(MusicFacade, ClosingTheWindowStillStartsTheMusic)
{
    ModuleFile file(markerModule({}));
    Harness h;
    MusicFacade music(file.path(), 1, h.services(scripted([](ScriptedWindow& w) {
        w.user = [](ScriptedWindow&) { return platform::SetupWindowEnd::Closed; };
    })));
    EXPECT_EQ(music.setupResult(), 1);
    EXPECT_EQ(music.options().outputDriver, kWaveDriver);
    ASSERT_NE(h.device, nullptr);
    EXPECT_TRUE(h.device->waitForWrites(8, 10000));
}

TEST(MusicFacade, StartAndStopAHundredTimes)
{
    ModuleFile file(markerModule({{0, 1}}));
    for (int i = 0; i < 100; ++i) {
        Harness h;
        auto opener = scripted([i](ScriptedWindow& w) {
            w.user = [i](ScriptedWindow& self) {
                // Alternate the wave and the silent driver.
                self.checks[kNoSoundButton] = i % 2 == 1;
                self.checks[kMMSoundButton] = i % 2 == 0;
                return platform::SetupWindowEnd::DefaultButton;
            };
        });
        MusicFacade music(file.path(), 1, h.services(opener));
        if (h.device && i % 4 == 0) {
            h.device->waitForWrites(8, 10000);
            h.device->finishNext();
        }
    }
}

TEST(MusicFacadeDeathTest, AMissingModuleEndsTheProgram)
{
    Harness h;
    EXPECT_EXIT(MusicFacade("no/such/module.xm", 1, h.services()), testing::ExitedWithCode(1),
                ::testing::HasSubstr("no/such/module.xm"));
}

} // namespace
