#pragma once
// The wave output on a pulled audio stream: the device's callback runs the
// player and the mixer for each block it asks for, so no mixing thread is
// needed (the browser build, single-threaded).
#include "music/output_driver.h"
#include "platform/audio_stream.h"

#include <memory>

namespace music {

class StreamDriver final : public SoundOutput {
public:
    // `stream` may be null: start then finds no output device.
    StreamDriver(Song& song, std::int32_t mixingRate, std::unique_ptr<platform::AudioStream> stream);
    ~StreamDriver() override;

    // Sync reset with latency 600, then the stream opened; every block's
    // markers get the audio still ahead of it as their latency, so they
    // fall due 100 ms before their rows are heard. No device, or one that
    // does not open, is fatal like the wave output's.
    int start() override;
    // Closes the stream (no fill runs after it) and releases the marker table.
    void stop() override;

private:
    Song& song_;
    std::int32_t rate_;
    std::unique_ptr<platform::AudioStream> stream_;
    bool started_ = false;
};

} // namespace music
