#include "driver/frame_loop.h"

#include "driver/clear_surface.h"

namespace driver {

namespace {

// Set-up steps 1 to 3, before any member that needs them: the code region
// stays read-only (no routine here patches its own code), the priority is
// raised, and the processor is asked for MMX.
int prepareProcess(const DemoServices& services)
{
    services.raisePriority();
    return services.detectMmx() ? 1 : 0;
}

} // namespace

// Member order is construction order; destruction runs in reverse: console,
// show, timer guard, then spare, tunnel and frame surfaces.
FrameLoop::FrameLoop(const DemoServices& services)
    : services_(services),
      hasMMX_(prepareProcess(services_)),
      frame_(frameWidth, frameHeight, display::format32()),
      tunnel_(frameWidth, frameHeight, display::format32()),
      spare_(frameWidth, frameHeight, display::format32()),
      timerGuard_(1, services_.timerResolution)
{
    state_.frameSurface = &frame_;
    state_.tunnelCanvas = &tunnel_;
    state_.spareSurface = &spare_;
    // The loop's initial values are in place before the show is built, so
    // that a show started at a later scene can leave the clear its earlier
    // scenes would have set.
    state_.clearEnabled = 1;
    state_.clearColour = 0;
    state_.quitRequested = 0;
    show_ = services_.buildShow(ShowContext{hasMMX_, state_});
    screen_ = services_.openScreen(windowTitle, frameWidth, frameHeight, display::format32());
    state_.startTime = services_.clock.nowMs();
}

bool FrameLoop::step()
{
    // Unsigned 32-bit difference, so a wrapping clock still counts on.
    const std::uint32_t elapsed = services_.clock.nowMs() - state_.startTime;
    return stepAt(static_cast<double>(elapsed));
}

bool FrameLoop::stepAt(double t)
{
    if (ended_)
        return false;
    if (state_.clearEnabled)
        clearSurface(*state_.frameSurface, state_.clearColour);
    if (services_.escape.held() || state_.quitRequested) {
        ended_ = true;
        return false;
    }
    show_->frame(t);
    screen_->present(*state_.frameSurface);
    return true;
}

int runDemo(const DemoServices& services)
{
    FrameLoop loop(services);
    while (loop.step()) {
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
