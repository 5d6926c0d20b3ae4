#pragma once
// The whole show run offline: the demo's own frame loop, show and console
// (on the memory display service), driven by a virtual clock, with the music
// rendered in lockstep through the same player and mixer.
#include "driver/demo_show.h"
#include "driver/frame_loop.h"
#include "music/offline_music.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/keyboard.h"
#include "platform/timer_resolution.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace record {

struct RecordingSettings {
    int fps = 60;
    std::int32_t rate = 44100;
    int firstScene = 0;
};

// One drawn frame: its picture as shown by the console and the audio that
// plays while it is on screen.
struct RecordedFrame {
    std::uint64_t index = 0;
    double t = 0.0;    // demo time of the frame, ms
    int scene = 0;     // the scene that drew it
    const std::uint8_t* pixels = nullptr; // 320x200 words 0x00RRGGBB, rows of `pitch` bytes
    int pitch = 0;
    std::vector<std::uint8_t> audio; // 16-bit stereo
    double drawSeconds = 0.0;        // wall time of the frame step
    double drawCpuSeconds = 0.0;     // processor time of the frame step (the process has one thread)
};

class Recording {
public:
    // Loads everything like the demo (minus the set-up window and the sound
    // device). From a later scene the music starts at that scene's marker row.
    explicit Recording(const RecordingSettings& settings);
    ~Recording();

    bool musicLoaded() const { return music_ && music_->loaded(); }
    // Renders frame k's audio, then draws frame k at t = k x 1000 / fps.
    // False once the show has ended (nothing drawn).
    bool next(RecordedFrame& frame);

private:
    RecordingSettings settings_;
    platform::ManualClock clock_;
    platform::ManualEscapeKey escape_;
    std::unique_ptr<music::OfflineMusic> music_;
    platform::MemoryDisplay* display_ = nullptr; // owned by the console
    driver::DemoShow* show_ = nullptr;           // owned by the loop
    std::unique_ptr<driver::FrameLoop> loop_;
    std::uint64_t frame_ = 0;
};

// Audio frames from the start up to picture k: floor(k x rate / fps), so
// each picture gets rate / fps frames, the remainder carried exactly.
std::uint64_t audioFramesBefore(std::uint64_t k, std::int32_t rate, int fps);

// Demo time (ms) at which the scene marker `scene` is heard, found by playing
// the module silently; -1 when it never comes within `limitSeconds`.
double markerHeardAt(int scene, std::int32_t rate, double limitSeconds);

} // namespace record
