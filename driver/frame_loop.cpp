#include "driver/frame_loop.h"

#include "driver/clear_surface.h"

namespace driver {

int runDemo(const DemoServices& services)
{
    // The code region stays read-only: no routine here patches its own code.
    services.raisePriority();

    const display::Format format = display::format32();
    const int hasMMX = services.detectMmx() ? 1 : 0;

    // Declaration order is construction order; leaving this scope, normally
    // or by an exception, destroys in reverse: console, show, timer guard,
    // then spare, tunnel and frame surfaces.
    display::Surface frame(frameWidth, frameHeight, format);
    display::Surface tunnel(frameWidth, frameHeight, format);
    display::Surface spare(frameWidth, frameHeight, format);

    platform::TimerResolutionGuard timerGuard(1, services.timerResolution);

    FrameLoopState state;
    state.frameSurface = &frame;
    state.tunnelCanvas = &tunnel;
    state.spareSurface = &spare;

    std::unique_ptr<Show> show = services.buildShow(ShowContext{hasMMX, state});
    std::unique_ptr<Screen> screen = services.openScreen(windowTitle, frameWidth, frameHeight, format);

    state.clearEnabled = 1;
    state.clearColour = 0;
    state.quitRequested = 0;
    state.startTime = services.clock.nowMs();

    for (;;) {
        // Unsigned 32-bit difference, so a wrapping clock still counts on.
        const std::uint32_t elapsed = services.clock.nowMs() - state.startTime;
        const double t = static_cast<double>(elapsed);

        if (state.clearEnabled)
            clearSurface(*state.frameSurface, state.clearColour);
        if (services.escape.held() || state.quitRequested)
            break;
        show->frame(t);
        screen->present(*state.frameSurface);
    }
    return 0;
}

int runDemoReportingErrors(const DemoServices& services, const ErrorReporter& report)
{
    try {
        return runDemo(services);
    } catch (const display::Error& error) {
        report(error);
        return 1;
    }
}

} // namespace driver
