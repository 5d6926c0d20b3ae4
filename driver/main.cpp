// The demo's entry point: the real services around the frame loop.
#include "driver/console_screen.h"
#include "driver/frame_loop.h"
#include "imageops/routines.h"
#include "platform/clock.h"
#include "platform/keyboard.h"
#include "platform/thread_priority.h"
#include "platform/timer_resolution.h"

int main()
{
    driver::DemoServices services{
        platform::systemClock(),
        platform::sdlEscapeKey(),
        platform::systemTimerResolution(),
        [] { platform::raiseThreadPriorityOneStep(); },
        [] { return imageops::_detectmmx(); },
        [](const driver::ShowContext&) -> std::unique_ptr<driver::Show> { return std::make_unique<driver::EmptyShow>(); },
        driver::consoleOpener(),
    };
    return driver::runDemoReportingErrors(services);
}
