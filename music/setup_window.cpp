#include "music/setup_window.h"

#include <cstdio>

namespace music {

platform::SetupWindowSpec setupWindowSpec(std::uint32_t flagWord)
{
    using platform::ControlKind;
    const bool mmxDisabled = (flagWord & kNoMmxMixerFlag) != 0;
    platform::SetupWindowSpec spec;
    spec.className = "Kiwitoppä";
    spec.title = "Den Snurriga XM-Spelaren";
    spec.x = 50;
    spec.y = 330;
    spec.width = 325;
    spec.height = 140;
    //                kind                        text             x    y    w    h   group  tab    enabled
    spec.controls = {
        {ControlKind::Label, "Select driver", 120, 5, 120, 20, false, false, true},
        {ControlKind::Label, "Select extra", 5, 5, 90, 20, false, false, true},
        {ControlKind::Label, "Select rate", 225, 5, 90, 20, false, false, true},
        {ControlKind::RadioButton, "No sound", 120, 25, 95, 20, true, false, true},
        {ControlKind::RadioButton, "MMSound", 120, 45, 95, 20, false, false, true},
        {ControlKind::RadioButton, "DSound", 120, 65, 95, 20, false, false, false},
        {ControlKind::CheckBox, "Flip Right", 5, 25, 85, 20, false, false, true},
        {ControlKind::CheckBox, "MMX Mixer", 5, 45, 95, 20, false, false, !mmxDisabled},
        {ControlKind::CheckBox, "Reverb", 5, 65, 95, 20, false, false, false},
        {ControlKind::DefaultButton, "Go!", 115, 85, 100, 25, false, false, true},
        {ControlKind::RadioButton, "11 Khz", 225, 25, 85, 20, true, true, true},
        {ControlKind::RadioButton, "22 Khz", 225, 45, 85, 20, false, false, true},
        {ControlKind::RadioButton, "44 Khz", 225, 65, 85, 20, false, false, true},
    };
    return spec;
}

int showSetupWindow(std::uint32_t flagWord, SoundOptions& options, const platform::SetupWindowOpener& open)
{
    const bool mmxDisabled = (flagWord & kNoMmxMixerFlag) != 0;
    auto window = open(setupWindowSpec(flagWord));
    if (!window) {
        std::printf("No display for the sound set-up window: going on with 44 Khz and MMSound.\n");
        std::fflush(stdout);
        options.mixingRate = 44100;
        options.outputDriver = kWaveDriver;
        options.flip = false;
        options.mmxMixer = !mmxDisabled;
        return 0;
    }

    window->setChecked(kRate44Button, true);
    if (!mmxDisabled)
        window->setChecked(kMmxMixerBox, true);
    window->setChecked(kMMSoundButton, true);

    const platform::SetupWindowEnd end = window->waitForChoice();

    // Read in this order, a later hit overriding an earlier one. A closed
    // window still has its checks, so closing reads as "Go!".
    if (window->checked(kRate11Button))
        options.mixingRate = 11000; // not 11025
    if (window->checked(kRate22Button))
        options.mixingRate = 22050;
    if (window->checked(kRate44Button))
        options.mixingRate = 44100;
    if (window->checked(kNoSoundButton))
        options.outputDriver = kSilentDriver;
    if (window->checked(kMMSoundButton))
        options.outputDriver = kWaveDriver;
    options.flip = window->checked(kFlipRightBox);
    options.mmxMixer = window->checked(kMmxMixerBox);

    window.reset();
    return end == platform::SetupWindowEnd::DefaultButton ? 0 : 1;
}

} // namespace music
