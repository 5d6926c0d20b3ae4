#include "music/sound_options.h"

namespace music {

void applyOptionsWord(SoundOptions& options, std::uint32_t word)
{
    options.flip = (word & 1u) != 0;
    options.mute = (word & 2u) != 0;
}

std::uint32_t optionsWord(const SoundOptions& options)
{
    return (options.flip ? 1u : 0u) | (options.mute ? 2u : 0u);
}

} // namespace music
