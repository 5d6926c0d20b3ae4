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
