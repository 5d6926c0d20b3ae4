#pragma once
// The sound set-up window: driver, mixing rate and options, chosen before the
// music is loaded. The window itself comes from the platform's toolkit.
#include "music/sound_options.h"
#include "platform/setup_window.h"

#include <cstdint>

namespace music {

// The thirteen controls, in the order they are created.
enum SetupControl : int {
    kSelectDriverLabel = 0,
    kSelectExtraLabel,
    kSelectRateLabel,
    kNoSoundButton,
    kMMSoundButton,
    kDSoundButton,  // always disabled: there is no such driver
    kFlipRightBox,
    kMmxMixerBox,   // disabled by bit 0 of the flag word
    kReverbBox,     // always disabled
    kGoButton,
    kRate11Button,
    kRate22Button,
    kRate44Button,
    kSetupControlCount
};

// Bit 0 of the flag word: disable the "MMX Mixer" box and leave it unchecked.
constexpr std::uint32_t kNoMmxMixerFlag = 1;

// Class, title, position, size and controls of the window for a flag word.
platform::SetupWindowSpec setupWindowSpec(std::uint32_t flagWord);

// Shows the window, waits for "Go!" and takes the choices into `options`:
// rate (11000, 22050 or 44100; left as it was when no rate is checked),
// output driver (likewise), flip and the MMX mixer. Closing the window counts
// as "Go!" with the checks it had. Without any display the program says so on
// standard output and takes the choices of a "Go!" pressed at once.
// Returns 0 after "Go!" (or no display), 1 after the window was closed.
int showSetupWindow(std::uint32_t flagWord, SoundOptions& options,
                    const platform::SetupWindowOpener& open = platform::openDefaultSetupWindow);

} // namespace music
