#pragma once
// The driver's hold on the music: runs the music start-up (set-up window,
// module, song, output) on construction, answers marker queries, and stops
// the output on destruction.
#include "music/output_driver.h"
#include "music/sound_options.h"
#include "platform/clock.h"
#include "platform/setup_window.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace music {

class Song;

// What the start-up uses from outside; tests replace them.
struct MusicServices {
    platform::SetupWindowOpener openSetupWindow = platform::openDefaultSetupWindow;
    WaveOutFactory makeWaveOut = platform::createDefaultWaveOut;
    // A pulled stream for the wave output (the browser's); none by default.
    platform::AudioStreamFactory makeAudioStream;
    platform::Clock* clock = nullptr; // the marker clock; null: the system clock
    // Runs on the started song just before the output starts (a test moves
    // the song to a later row here); nothing by default.
    std::function<void(Song&)> beforeOutput;
};

class MusicFacade {
public:
    // The music start-up, in this order: sound options to their defaults and
    // the mixer's and player's tables built; the set-up window with
    // `flagWord`; the song initialised, the module at `path` loaded, options
    // word 0 applied (flip and mute off); the song started at the chosen
    // rate; the chosen output driver set up and started. The music plays from
    // here on.
    MusicFacade(const std::string& path, std::uint32_t flagWord, MusicServices services = {});
    // Stops the output (waiting for the music thread) when playing.
    ~MusicFacade();
    MusicFacade(const MusicFacade&) = delete;
    MusicFacade& operator=(const MusicFacade&) = delete;

    // Moves every due marker into the counters, then consumes one occurrence
    // of n (0..255): returns n when there was one, else -1. Main thread only.
    int takeSync(int n);

    const SoundOptions& options() const { return options_; }
    // The result of the set-up window: 0 after "Go!", 1 after it was closed.
    int setupResult() const { return setupResult_; }
    bool moduleLoaded() const { return loaded_; }
    int startResult() const { return startResult_; }
    Song& song() { return *song_; }

private:
    SoundOptions options_;
    std::unique_ptr<Song> song_;
    std::unique_ptr<OutputDriver> output_;
    int setupResult_ = 0;
    bool loaded_ = false;
    int startResult_ = 1;
    bool playing_ = false;
};

} // namespace music
