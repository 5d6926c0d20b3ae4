#pragma once
// What the frame loop runs and shares with the show: the frame-loop state,
// the roles of the work surfaces, and the show's interface.
#include "console/display.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

namespace driver {

// Written by the show, read by the frame loop. The loop creates the three
// surfaces; the roles `frameSurface` and `spareSurface` may be exchanged by
// the show (the pointers, not the pixels), and whichever surface holds
// `frameSurface` at the end of a frame is the one shown.
struct FrameLoopState {
    int clearEnabled = 1;          // clear frameSurface at the top of each frame
    std::uint32_t clearColour = 0; // the value it is cleared with
    int quitRequested = 0;         // set by the show's last scene
    std::uint32_t startTime = 0;   // clock reading just before the first frame

    display::Surface* frameSurface = nullptr;
    display::Surface* tunnelCanvas = nullptr;
    display::Surface* spareSurface = nullptr;

    void exchangeFrameAndSpare() { std::swap(frameSurface, spareSurface); }
};

// The show: built once during set-up, stepped once per frame, torn down by
// its destructor (which stops the music first).
class Show {
public:
    virtual ~Show() = default;
    // Called once per frame after the clear and the Escape check, with the
    // milliseconds since startTime. Draws into the surfaces of the state it
    // was built with and may change that state.
    virtual void frame(double t) = 0;
};

// What a show is built with.
struct ShowContext {
    int hasMMX;             // 1 when the processor has MMX, else 0
    FrameLoopState& state;  // lives as long as the show
};

using ShowBuilder = std::function<std::unique_ptr<Show>(const ShowContext&)>;

} // namespace driver
