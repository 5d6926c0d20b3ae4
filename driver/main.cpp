// The demo's entry point: the real services around the frame loop.
#include "driver/console_screen.h"
#include "driver/demo_show.h"
#include "driver/frame_loop.h"
#include "driver/show_music.h"
#include "imageops/routines.h"
#include "platform/clock.h"
#include "platform/keyboard.h"
#include "platform/thread_priority.h"
#include "platform/timer_resolution.h"

int main()
{
    // Only the end-to-end tests set this, to play a late part of the show.
    const int firstScene = driver::firstSceneForTests();
    driver::DemoServices services{
        platform::systemClock(),
        platform::systemEscapeKey(),
        platform::systemTimerResolution(),
        [] { platform::raiseThreadPriorityOneStep(); },
        [] { return imageops::_detectmmx(); },
        [firstScene](const driver::ShowContext& context) -> std::unique_ptr<driver::Show> {
            return std::make_unique<driver::DemoShow>(
                context, [firstScene] { return driver::demoMusic(firstScene); }, firstScene);
        },
        driver::consoleOpener(),
    };
    return driver::runDemoReportingErrors(services);
}
