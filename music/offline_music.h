#pragma once
// The music rendered on request instead of by an output thread, for tools
// that keep picture and sound in lockstep (the recorder): the same module
// loading, player and mixer as the demo's start-up, without the set-up window
// and the device.
#include "music/song.h"
#include "platform/clock.h"

#include <cstdint>
#include <memory>
#include <string>

namespace music {

class OfflineMusic {
public:
    // Loads the module at `path` and starts it at `rate` with the default
    // options (no flip, no mute, the first mixer). Markers are stamped and
    // collected by `clock`; their latency is 100 ms, so a marker falls due
    // at the clock time at which its row is heard: with no queued audio and
    // no display to lead, that is when the picture should react.
    OfflineMusic(const std::string& path, std::int32_t rate, platform::Clock& clock);
    ~OfflineMusic();
    OfflineMusic(const OfflineMusic&) = delete;
    OfflineMusic& operator=(const OfflineMusic&) = delete;

    bool loaded() const { return loaded_; }
    std::int32_t rate() const { return rate_; }

    // Renders the next `frames` frames of 16-bit stereo into `out`, ticks
    // stamped from the clock as it reads when the call begins.
    void render(std::uint8_t* out, std::uint32_t frames) { song_->fillBuffer(out, frames * 4); }
    // The facade's query: due markers collected, one occurrence of n taken.
    int takeSync(int n) { return song_->takeSync(n); }

    Song& song() { return *song_; }

    // The latency that makes a marker due when it is heard.
    static constexpr std::int32_t latencyMs = 100;

private:
    std::unique_ptr<Song> song_;
    std::int32_t rate_;
    bool loaded_ = false;
};

} // namespace music
