#pragma once
// The sound options: output driver, mixing rate, flip, mute and the MMX mixer.
#include <cstdint>

namespace music {

// Output driver numbers.
constexpr int kSilentDriver = 0; // "No sound": a timer runs the player, nothing is heard
constexpr int kWaveDriver = 1;   // "MMSound": the wave-output device

struct SoundOptions {
    std::int32_t mixingRate = 44100; // 11000, 22050 or 44100 from the set-up window
    int outputDriver = kWaveDriver;
    bool mmxMixer = false;           // the second (saturating 8-bit) mixer
    bool flip = false;               // negate the right channel
    bool mute = false;               // render silence instead of mixing
};

// Applies an options word: bit 0 sets flip, bit 1 sets mute; both are set
// (to 0 or 1) by every call, the other bits have no effect.
void applyOptionsWord(SoundOptions& options, std::uint32_t word);

// The word that gives the options' flip and mute.
std::uint32_t optionsWord(const SoundOptions& options);

} // namespace music
