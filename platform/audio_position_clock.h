#pragma once
// The timeline's clock in a browser: the position of the audio being heard,
// worked out from the blocks the audio callback has handed over and the
// context times at which the audio context plays them. Pictures and markers
// then follow the music even when frames are slow or the page is hidden and
// drawing stops.
#include "platform/clock.h"

#include <array>
#include <cstdint>
#include <functional>

namespace platform {

class AudioPositionClock final : public Clock {
public:
    // `contextSeconds` reads the audio context's time (seconds, growing).
    explicit AudioPositionClock(std::function<double()> contextSeconds);

    // Starts over at position 0 for a device running at `rate` frames a second.
    void reset(std::uint32_t rate);
    // Called by the audio callback after it has handed over a block of
    // `frames` frames that the context starts playing at `playSeconds`.
    void delivered(std::uint32_t frames, double playSeconds);

    // Frames heard at context time `seconds`: within the latest block that
    // has started playing, as far as the time since its start reaches (never
    // past its end, and never backwards); 0 before the first block plays.
    std::uint64_t heardFrames(double seconds);
    // Frames handed over and not yet heard at context time `seconds`: the
    // audio that a block handed over now waits behind.
    std::uint64_t aheadFrames(double seconds) { return deliveredFrames_ - heardFrames(seconds); }
    std::uint64_t deliveredFrames() const { return deliveredFrames_; }

    // Whole milliseconds of heard audio at the context's time now
    // (wrapping at 2^32).
    std::uint32_t nowMs() override;

private:
    struct Block {
        std::uint64_t start = 0;  // frames handed over before it
        std::uint32_t frames = 0;
        double playSeconds = 0.0; // context time at which it starts playing
    };
    // The last few blocks, newest at index 0; older ones have been heard.
    static constexpr int kKeptBlocks = 4;

    std::function<double()> contextSeconds_;
    std::uint32_t rate_ = 44100;
    std::uint64_t deliveredFrames_ = 0;
    std::array<Block, kKeptBlocks> blocks_{};
    int blockCount_ = 0;
    std::uint64_t heard_ = 0; // the largest answer given so far
};

} // namespace platform
