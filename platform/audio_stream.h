#pragma once
// A pulled audio output: the device asks for each block of 16-bit stereo
// when it needs it, on the thread that runs the program (a browser's audio
// callback), instead of playing blocks queued by a mixing thread.
#include <cstdint>
#include <functional>
#include <memory>

namespace platform {

// Fills `frames` frames of interleaved 16-bit stereo (left first) into
// `samples`. `aheadMs` is the audio handed to the device earlier that is
// still to be heard before this block.
using AudioFill = std::function<void(std::int16_t* samples, std::uint32_t frames, std::uint32_t aheadMs)>;

class AudioStream {
public:
    // Closes the stream if open.
    virtual ~AudioStream() = default;
    // Starts playback at `rate` frames a second; `fill` is called for every
    // block until close. False (with nothing started) when no device plays.
    virtual bool open(std::uint32_t rate, AudioFill fill) = 0;
    // Stops playback; `fill` is not called any more. Harmless when closed.
    virtual void close() = 0;
};

using AudioStreamFactory = std::function<std::unique_ptr<AudioStream>()>;

} // namespace platform
