// The sound set-up window: the window's description, the reading of the
// choices (with a scripted stand-in window), and the real FLTK window under
// Xvfb driven through FLTK's own event dispatch.
#include "music/setup_window.h"
#include "music/sound_options.h"
#include "tests/music_output/scripted_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using namespace music;
using platform::ControlKind;

TEST(SoundOptions, DefaultsAndOptionsWord)
{
    SoundOptions o;
    EXPECT_EQ(o.mixingRate, 44100);
    EXPECT_EQ(o.outputDriver, 1);
    EXPECT_FALSE(o.mmxMixer);
    EXPECT_FALSE(o.flip);
    EXPECT_FALSE(o.mute);

    applyOptionsWord(o, 3);
    EXPECT_TRUE(o.flip);
    EXPECT_TRUE(o.mute);
    EXPECT_EQ(optionsWord(o), 3u);
    applyOptionsWord(o, 0xfffffffcu); // only bits 0 and 1 count
    EXPECT_FALSE(o.flip);
    EXPECT_FALSE(o.mute);
    applyOptionsWord(o, 2);
    EXPECT_FALSE(o.flip);
    EXPECT_TRUE(o.mute);
    EXPECT_EQ(optionsWord(o), 2u);
    EXPECT_EQ(o.mixingRate, 44100); // the word touches nothing else
}

TEST(SetupWindowSpec, WindowAndControlsAsTheUserSeesThem)
{
    auto spec = setupWindowSpec(1);
    EXPECT_EQ(spec.className, "Kiwitoppä");
    EXPECT_EQ(spec.title, "Den Snurriga XM-Spelaren");
    EXPECT_EQ(spec.x, 50);
    EXPECT_EQ(spec.y, 330);
    EXPECT_EQ(spec.width, 325);
    EXPECT_EQ(spec.height, 140);

    struct Row {
        ControlKind kind;
        const char* text;
        int x, y, w, h;
    };
    const Row rows[] = {
        {ControlKind::Label, "Select driver", 120, 5, 120, 20},
        {ControlKind::Label, "Select extra", 5, 5, 90, 20},
        {ControlKind::Label, "Select rate", 225, 5, 90, 20},
        {ControlKind::RadioButton, "No sound", 120, 25, 95, 20},
        {ControlKind::RadioButton, "MMSound", 120, 45, 95, 20},
        {ControlKind::RadioButton, "DSound", 120, 65, 95, 20},
        {ControlKind::CheckBox, "Flip Right", 5, 25, 85, 20},
        {ControlKind::CheckBox, "MMX Mixer", 5, 45, 95, 20},
        {ControlKind::CheckBox, "Reverb", 5, 65, 95, 20},
        {ControlKind::DefaultButton, "Go!", 115, 85, 100, 25},
        {ControlKind::RadioButton, "11 Khz", 225, 25, 85, 20},
        {ControlKind::RadioButton, "22 Khz", 225, 45, 85, 20},
        {ControlKind::RadioButton, "44 Khz", 225, 65, 85, 20},
    };
    ASSERT_EQ(spec.controls.size(), 13u);
    for (int i = 0; i < 13; ++i) {
        const auto& c = spec.controls[i];
        EXPECT_EQ(c.kind, rows[i].kind) << i;
        EXPECT_EQ(c.text, rows[i].text) << i;
        EXPECT_EQ(c.x, rows[i].x) << c.text;
        EXPECT_EQ(c.y, rows[i].y) << c.text;
        EXPECT_EQ(c.width, rows[i].w) << c.text;
        EXPECT_EQ(c.height, rows[i].h) << c.text;
        // Two groups: the drivers (with the rest of the left side) and the rates.
        EXPECT_EQ(c.groupStart, i == kNoSoundButton || i == kRate11Button) << c.text;
        EXPECT_EQ(c.tabStop, i == kRate11Button) << c.text;
        EXPECT_EQ(c.enabled, i != kDSoundButton && i != kReverbBox && i != kMmxMixerBox) << c.text;
    }
    auto withMmx = setupWindowSpec(0);
    EXPECT_TRUE(withMmx.controls[kMmxMixerBox].enabled);
    EXPECT_FALSE(withMmx.controls[kDSoundButton].enabled);
    EXPECT_FALSE(withMmx.controls[kReverbBox].enabled);
    EXPECT_FALSE(setupWindowSpec(0xfffffffe).controls[kDSoundButton].enabled);
    EXPECT_TRUE(setupWindowSpec(0xfffffffe).controls[kMmxMixerBox].enabled);
}

using music_output_test::ScriptedWindow;
using music_output_test::scripted;

TEST(SetupWindowChoices, InitialChecksDependOnBitZero)
{
    std::vector<std::pair<int, bool>> calls;
    SoundOptions o;
    auto grab = scripted([&](ScriptedWindow& w) {
        w.user = [&](ScriptedWindow& self) {
            calls = self.setCalls;
            return platform::SetupWindowEnd::DefaultButton;
        };
    });
    showSetupWindow(0, o, grab);
    EXPECT_THAT(calls, ::testing::ElementsAre(std::pair{int(kRate44Button), true}, std::pair{int(kMmxMixerBox), true},
                                              std::pair{int(kMMSoundButton), true}));
    EXPECT_TRUE(o.mmxMixer);
    showSetupWindow(1, o, grab);
    EXPECT_THAT(calls, ::testing::ElementsAre(std::pair{int(kRate44Button), true}, std::pair{int(kMMSoundButton), true}));
    EXPECT_FALSE(o.mmxMixer);
}

TEST(SetupWindowChoices, LaterChecksOverrideEarlierOnes)
{
    SoundOptions o;
    // Both 11 and 22 checked (not possible with a real radio group, but the
    // reading order decides): 22 comes later.
    int result = showSetupWindow(1, o, scripted([](ScriptedWindow& w) {
        w.user = [](ScriptedWindow& self) {
            self.checks = {{kRate11Button, true}, {kRate22Button, true}, {kNoSoundButton, true}, {kFlipRightBox, true}};
            return platform::SetupWindowEnd::DefaultButton;
        };
    }));
    EXPECT_EQ(result, 0);
    EXPECT_EQ(o.mixingRate, 22050);
    EXPECT_EQ(o.outputDriver, 0);
    EXPECT_TRUE(o.flip);
    EXPECT_FALSE(o.mmxMixer);
}

TEST(SetupWindowChoices, NothingCheckedLeavesRateAndDriverAsTheyWere)
{
    SoundOptions o;
    o.mixingRate = 12345;
    o.outputDriver = 7;
    o.flip = true;
    o.mmxMixer = true;
    bool destroyed = false;
    int result = showSetupWindow(1, o, scripted([&](ScriptedWindow& w) {
        w.destroyed = &destroyed;
        w.user = [](ScriptedWindow& self) {
            self.checks.clear();
            return platform::SetupWindowEnd::Closed;
        };
    }));
    EXPECT_EQ(result, 1);
    EXPECT_EQ(o.mixingRate, 12345);
    EXPECT_EQ(o.outputDriver, 7);
    EXPECT_FALSE(o.flip); // flip and MMX are always taken from the boxes
    EXPECT_FALSE(o.mmxMixer);
    EXPECT_TRUE(destroyed);
}

TEST(SetupWindowChoices, NoDisplayGoesOnWithTheDefaultsAndSaysSo)
{
    for (std::uint32_t flag : {0u, 1u}) {
        SoundOptions o;
        o.mixingRate = 11000;
        o.outputDriver = 0;
        o.flip = true;
        testing::internal::CaptureStdout();
        int result = showSetupWindow(flag, o, [](const platform::SetupWindowSpec&) { return nullptr; });
        std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(result, 0);
        EXPECT_EQ(o.mixingRate, 44100);
        EXPECT_EQ(o.outputDriver, 1);
        EXPECT_FALSE(o.flip);
        EXPECT_EQ(o.mmxMixer, flag == 0);
        EXPECT_NE(out.find("No display for the sound set-up window"), std::string::npos) << out;
    }
}

// ---- the real window (FLTK on Linux, a native dialog on Windows) ----

class DefaultSetupWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display)
            GTEST_SKIP() << "no X display (the suite runs under Xvfb in test.sh)";
    }

    // Opens the real window and lets `script` act as the user once the
    // window is up.
    static platform::SetupWindowOpener user(std::function<void(platform::SetupWindow&)> script)
    {
        return [script](const platform::SetupWindowSpec& spec) {
            auto w = platform::openDefaultSetupWindow(spec);
            if (w)
                script(*w);
            return w;
        };
    }
};

TEST_F(DefaultSetupWindow, GoAtOnceGivesTheDefaults)
{
    SoundOptions o;
    o.mixingRate = 1;
    o.outputDriver = 5;
    o.flip = true;
    o.mmxMixer = true;
    EXPECT_EQ(showSetupWindow(1, o, user([](platform::SetupWindow& w) { w.postClick(kGoButton); })), 0);
    EXPECT_EQ(o.mixingRate, 44100);
    EXPECT_EQ(o.outputDriver, 1);
    EXPECT_FALSE(o.flip);
    EXPECT_FALSE(o.mmxMixer);
}

TEST_F(DefaultSetupWindow, FlagWordZeroStartsWithTheMmxMixerChecked)
{
    SoundOptions o;
    EXPECT_EQ(showSetupWindow(0, o, user([](platform::SetupWindow& w) { w.postClick(kGoButton); })), 0);
    EXPECT_TRUE(o.mmxMixer);
    // And the user may uncheck it.
    showSetupWindow(0, o, user([](platform::SetupWindow& w) {
        w.postClick(kMmxMixerBox);
        w.postClick(kGoButton);
    }));
    EXPECT_FALSE(o.mmxMixer);
}

TEST_F(DefaultSetupWindow, RatesAreChosenInTheirOwnGroup)
{
    SoundOptions o;
    showSetupWindow(1, o, user([](platform::SetupWindow& w) {
        w.postClick(kRate11Button);
        w.postClick(kGoButton);
    }));
    EXPECT_EQ(o.mixingRate, 11000);
    EXPECT_EQ(o.outputDriver, 1); // picking a rate leaves the driver alone

    showSetupWindow(1, o, user([](platform::SetupWindow& w) {
        w.postClick(kRate11Button);
        w.postClick(kRate22Button); // unchecks 11
        w.postClick(kGoButton);
    }));
    EXPECT_EQ(o.mixingRate, 22050);
}

TEST_F(DefaultSetupWindow, NoSoundGivesDriverZeroAndKeepsTheRate)
{
    SoundOptions o;
    bool mmSoundStillChecked = true, rateStillChecked = false;
    showSetupWindow(1, o, user([&](platform::SetupWindow& w) {
        w.postClick(kNoSoundButton);
        w.post([&] {
            mmSoundStillChecked = w.checked(kMMSoundButton);
            rateStillChecked = w.checked(kRate44Button);
        });
        w.postClick(kGoButton);
    }));
    EXPECT_EQ(o.outputDriver, 0);
    EXPECT_EQ(o.mixingRate, 44100);
    EXPECT_FALSE(mmSoundStillChecked);
    EXPECT_TRUE(rateStillChecked);
}

TEST_F(DefaultSetupWindow, DisabledControlsCannotBeChosen)
{
    SoundOptions o;
    std::vector<bool> enabledSeen;
    bool dsound = true, reverb = true, mmx = true;
    showSetupWindow(1, o, user([&](platform::SetupWindow& w) {
        for (int c = 0; c < kSetupControlCount; ++c)
            enabledSeen.push_back(w.enabled(c));
        w.postClick(kDSoundButton);
        w.postClick(kReverbBox);
        w.postClick(kMmxMixerBox);
        w.post([&] {
            dsound = w.checked(kDSoundButton);
            reverb = w.checked(kReverbBox);
            mmx = w.checked(kMmxMixerBox);
        });
        w.postClick(kGoButton);
    }));
    EXPECT_FALSE(dsound);
    EXPECT_FALSE(reverb);
    EXPECT_FALSE(mmx);
    EXPECT_EQ(o.outputDriver, 1); // the click on DSound did not take MMSound away
    EXPECT_FALSE(o.mmxMixer);
    ASSERT_EQ(enabledSeen.size(), 13u);
    EXPECT_FALSE(enabledSeen[kDSoundButton]);
    EXPECT_FALSE(enabledSeen[kReverbBox]);
    EXPECT_FALSE(enabledSeen[kMmxMixerBox]);
    EXPECT_TRUE(enabledSeen[kNoSoundButton]);
    EXPECT_TRUE(enabledSeen[kGoButton]);
}

TEST_F(DefaultSetupWindow, FlipRightToggles)
{
    SoundOptions o;
    showSetupWindow(1, o, user([](platform::SetupWindow& w) {
        w.postClick(kFlipRightBox);
        w.postClick(kGoButton);
    }));
    EXPECT_TRUE(o.flip);
    showSetupWindow(1, o, user([](platform::SetupWindow& w) {
        w.postClick(kFlipRightBox);
        w.postClick(kFlipRightBox);
        w.postClick(kGoButton);
    }));
    EXPECT_FALSE(o.flip);
}

TEST_F(DefaultSetupWindow, EnterPressesGo)
{
    SoundOptions o;
    EXPECT_EQ(showSetupWindow(1, o, user([](platform::SetupWindow& w) {
                  w.postClick(kRate11Button); // the focus is on a radio button now
                  w.postEnter();
              })),
              0);
    EXPECT_EQ(o.mixingRate, 11000);
}

TEST_F(DefaultSetupWindow, ClosingTheWindowIsGoWithTheCurrentChecks)
{
    SoundOptions o;
    EXPECT_EQ(showSetupWindow(1, o, user([](platform::SetupWindow& w) {
                  w.postClick(kRate22Button);
                  w.postClick(kNoSoundButton);
                  w.postClick(kFlipRightBox);
                  w.postCloseRequest();
              })),
              1);
    EXPECT_EQ(o.mixingRate, 22050);
    EXPECT_EQ(o.outputDriver, 0);
    EXPECT_TRUE(o.flip);
}

TEST_F(DefaultSetupWindow, ClicksOutsideTheControlsAndOnLabelsChangeNothing)
{
    SoundOptions o;
    bool stillWaiting = false;
    showSetupWindow(1, o, user([&](platform::SetupWindow& w) {
        w.postClick(kSelectDriverLabel);
        w.postClick(kSelectRateLabel);
        w.post([&] { stillWaiting = true; }); // the clicks did not end the wait
        w.postClick(kGoButton);
    }));
    EXPECT_TRUE(stillWaiting);
    EXPECT_EQ(o.mixingRate, 44100);
    EXPECT_EQ(o.outputDriver, 1);
}

} // namespace
