#include "platform/audio_position_clock.h"

#include <algorithm>
#include <cmath>

namespace platform {

AudioPositionClock::AudioPositionClock(std::function<double()> contextSeconds)
    : contextSeconds_(std::move(contextSeconds))
{
}

void AudioPositionClock::reset(std::uint32_t rate)
{
    rate_ = rate > 0 ? rate : 1;
    deliveredFrames_ = 0;
    blockCount_ = 0;
    heard_ = 0;
}

void AudioPositionClock::delivered(std::uint32_t frames, double playSeconds)
{
    for (int i = kKeptBlocks - 1; i > 0; --i)
        blocks_[static_cast<std::size_t>(i)] = blocks_[static_cast<std::size_t>(i - 1)];
    blocks_[0] = Block{deliveredFrames_, frames, playSeconds};
    blockCount_ = std::min(blockCount_ + 1, kKeptBlocks);
    deliveredFrames_ += frames;
}

std::uint64_t AudioPositionClock::heardFrames(double seconds)
{
    for (int i = 0; i < blockCount_; ++i) {
        const Block& b = blocks_[static_cast<std::size_t>(i)];
        if (b.playSeconds > seconds)
            continue;
        const double played = std::floor((seconds - b.playSeconds) * static_cast<double>(rate_));
        const std::uint64_t within =
            played >= static_cast<double>(b.frames) ? b.frames : static_cast<std::uint64_t>(played);
        heard_ = std::max(heard_, b.start + within);
        break;
    }
    return heard_;
}

std::uint32_t AudioPositionClock::nowMs()
{
    const std::uint64_t frames = heardFrames(contextSeconds_());
    return static_cast<std::uint32_t>(frames * 1000 / rate_);
}

} // namespace platform
