#pragma once
// The software mixer: renders a song's active channels into interleaved
// 16-bit signed stereo frames (left first). No multiplication in the inner
// loop: every sample byte is scaled by looking it up in the volume table, the
// sample is taken at the integer position (no interpolation), and channels
// are summed in 32-bit accumulators clipped once at the end.
#include "music/song_types.h"

#include <cstdint>
#include <memory>
#include <span>

namespace music {

// volumeTable[g][b] = g x b, where the column b is read as a signed byte
// (columns 128..255 hold g x (b - 256)). 256 rows of 256 int32; every row is
// 1024 bytes and 1024-aligned. Built once, immutable afterwards.
struct alignas(1024) VolumeTable {
    std::int32_t rows[256][256];
};
const VolumeTable& volumeTable();

class Mixer {
public:
    static constexpr int kMaxFrames = 16364; // frames per accumulator pass

    Mixer();

    // Renders bytes / 4 frames of the active channels into output (which must
    // hold that many frames). Longer requests are rendered in passes of 16364
    // frames. The channels' position, direction, bounced and active fields are
    // written back. Gains are rows of `table` (they already carry the song's
    // amplification). flip negates the right channel after clipping.
    void mixChannels(std::span<Channel> channels, void* output, std::uint32_t bytes, const VolumeTable& table,
                     bool flip);

    // The second mixer: adds each channel's looked-up contributions straight
    // into the 16-bit output with saturating additions (output cleared first,
    // no 32-bit accumulator, no final clip). Mixes only 8-bit samples: a
    // channel playing a 16-bit sample moves on but adds nothing. Ignores flip.
    void mixChannelsMmx(std::span<Channel> channels, void* output, std::uint32_t bytes, const VolumeTable& table,
                        bool flip);

private:
    std::unique_ptr<std::int32_t[]> accumulator_; // kMaxFrames x (left, right)
};

// Mixes one channel for `frames` frames into a 32-bit accumulator of
// interleaved left/right pairs, handling loop events (end, wrap, ping-pong
// turns). Exposed for tests.
void mixChannelInto(Channel& ch, std::int32_t* accumulator, int frames, const VolumeTable& table);

} // namespace music
