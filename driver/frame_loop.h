#pragma once
// The demo's entry routine: set-up, the frame loop and tear-down, with every
// outside service passed in so that tests can replace them.
#include "console/display.h"
#include "driver/show.h"
#include "platform/clock.h"
#include "platform/keyboard.h"
#include "platform/timer_resolution.h"

#include <functional>
#include <memory>

namespace driver {

constexpr int frameWidth = 320;
constexpr int frameHeight = 200;
inline constexpr const char* windowTitle = "Tam+ulv = skit!";

// The opened console as the frame loop uses it. Destroying it closes it.
class Screen {
public:
    virtual ~Screen() = default;
    // Called once per frame: copies the frame to the display and presents it
    // (processing the window's messages).
    virtual void present(display::Surface& frame) = 0;
};

// Creates the console and opens it; throws display::Error on failure.
using ScreenOpener =
    std::function<std::unique_ptr<Screen>(const char* title, int width, int height, const display::Format& format)>;

struct DemoServices {
    platform::Clock& clock;
    platform::EscapeKey& escape;
    platform::TimerResolutionService& timerResolution;
    std::function<void()> raisePriority; // best effort, never fails
    std::function<bool()> detectMmx;
    ShowBuilder buildShow;
    ScreenOpener openScreen;
};

// The entry routine cut at its frame: construction is the set-up (priority,
// MMX, the three surfaces, the timer guard, the show, the console, the start
// time), each step() is one frame, and destruction is the tear-down
// (console, show, timer guard, surfaces). A platform calls step() once per
// frame; a display::Error from any of them leaves everything built so far
// destroyed in reverse order.
class FrameLoop {
public:
    explicit FrameLoop(const DemoServices& services);
    FrameLoop(const FrameLoop&) = delete;
    FrameLoop& operator=(const FrameLoop&) = delete;

    // One frame at the clock's elapsed time. Returns false, having drawn and
    // shown nothing, once Escape is held or the show asked to quit; the loop
    // has then ended and further calls return false at once.
    bool step();
    // The same frame at a given time t (ms since the start), for a platform
    // that keeps its own time (an offline recording on a virtual clock).
    bool stepAt(double t);

    FrameLoopState& state() { return state_; }
    bool ended() const { return ended_; }

private:
    DemoServices services_;
    int hasMMX_;
    display::Surface frame_;
    display::Surface tunnel_;
    display::Surface spare_;
    platform::TimerResolutionGuard timerGuard_;
    FrameLoopState state_;
    std::unique_ptr<Show> show_;
    std::unique_ptr<Screen> screen_;
    bool ended_ = false;
};

// Runs set-up, the frame loop until Escape or quitRequested, and tear-down.
// Returns 0. A display::Error leaves it after everything built so far has
// been destroyed in reverse order.
int runDemo(const DemoServices& services);

// Shows an error and ends the process; tests pass one that records instead.
using ErrorReporter = std::function<void(const display::Error&)>;

// runDemo inside the one handler for display::Error: the error is reported
// (by default a message box titled "Error" and exit status 1) after the
// tear-down. Returns runDemo's result, or 1 when a reporter returns.
int runDemoReportingErrors(const DemoServices& services,
                           const ErrorReporter& report = [](const display::Error& e) { e.report(); });

} // namespace driver
