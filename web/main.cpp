// The demo in a browser: the page's Start button builds the frame loop with
// the browser's services, and the browser calls one frame step per
// animation frame. The music plays from the audio callback, and the audio
// position is the clock of pictures and markers alike.
//
// The page also asks for offline frames at given demo times (its ?at= test
// mode): the recorder's own loop on a virtual clock, shown on the canvas.
#include "driver/console_screen.h"
#include "driver/demo_show.h"
#include "driver/frame_loop.h"
#include "driver/show_music.h"
#include "driver/timeline.h"
#include "imageops/routines.h"
#include "platform/message_box.h"
#include "platform/thread_priority.h"
#include "platform/timer_resolution.h"
#include "platform/web/page.h"
#include "tools/record/recording.h"

#include <emscripten.h>

#include <exception>
#include <memory>

EM_JS(void, demo_page_ready, (), { Module.page.ready(); });
EM_JS(void, demo_page_frame, (double stepMs, double canvasMs, double showMs, int scene, double musicMs),
      { Module.page.frameDone(stepMs, canvasMs, showMs, scene, musicMs); });
EM_JS(void, demo_page_ended, (), { Module.page.ended(); });

namespace {

std::unique_ptr<driver::FrameLoop> loop;
driver::DemoShow* show = nullptr; // owned by the loop

void endShow()
{
    emscripten_cancel_main_loop();
    loop.reset(); // the show and with it the music first, then the surfaces
    show = nullptr;
    demo_page_ended();
}

void frame()
{
    if (!loop)
        return;
    const double before = emscripten_get_now();
    bool going = false;
    try {
        going = loop->step();
    } catch (const display::Error& error) {
        loop.reset();
        error.report();
    }
    const double stepMs = emscripten_get_now() - before;
    if (!going) {
        endShow();
        return;
    }
    const double showMs = static_cast<double>(platform::webAudioClock().nowMs() - loop->state().startTime);
    demo_page_frame(stepMs, platform::lastCanvasMs(), showMs, show ? show->timeline().sceneIndex() : 0,
                    static_cast<double>(platform::webAudioClock().nowMs()));
}

int firstScene = 0; // where the show starts (the page's ?from=, for tests)

const driver::DemoServices& services()
{
    static const driver::DemoServices s{
        platform::webAudioClock(),
        platform::pageEscapeKey(),
        platform::systemTimerResolution(),
        [] { platform::raiseThreadPriorityOneStep(); },
        [] { return imageops::_detectmmx(); },
        [](const driver::ShowContext& context) -> std::unique_ptr<driver::Show> {
            auto built = std::make_unique<driver::DemoShow>(
                context,
                [] {
                    music::MusicServices music;
                    music.makeAudioStream = platform::createWebAudioStream;
                    music.clock = &platform::webAudioClock();
                    return driver::demoMusic(firstScene, std::move(music));
                },
                firstScene);
            show = built.get();
            return built;
        },
        driver::consoleOpener(),
    };
    return s;
}

std::unique_ptr<record::Recording> recording;

} // namespace

// Start (and Play again): set-up, then one step per animation frame, the
// show from scene `scene` (0 for the whole show; the music from that
// scene's marker). Returns 1 when the show runs; 0 when set-up failed (the
// page shows why).
extern "C" EMSCRIPTEN_KEEPALIVE int demo_start(int scene)
{
    if (loop)
        return 1;
    firstScene = scene >= 0 && scene <= driver::lastScene ? scene : 0;
    platform::clearPageEscape();
    try {
        loop = std::make_unique<driver::FrameLoop>(services());
    } catch (const display::Error& error) {
        error.report();
        return 0;
    } catch (const std::exception& error) {
        platform::messageBox("Error", error.what());
        return 0;
    }
    emscripten_set_main_loop(frame, 0, 0);
    return 1;
}

// Test mode: renders offline (60 frames a second, the recorder's settings)
// up to the first frame at or after `ms`, shows it on the canvas and returns
// its index; -1 when the show ended before. Times must not go back.
extern "C" EMSCRIPTEN_KEEPALIVE int demo_render_at(double ms)
{
    try {
        if (!recording)
            recording = std::make_unique<record::Recording>(record::RecordingSettings{});
        record::RecordedFrame f;
        do {
            if (!recording->next(f))
                return -1;
        } while (f.t < ms);
        platform::showOnCanvas(f.pixels, f.pitch, driver::frameWidth, driver::frameHeight);
        return static_cast<int>(f.index);
    } catch (const std::exception& error) {
        platform::messageBox("Error", error.what());
        return -1;
    }
}

int main()
{
    demo_page_ready();
    return 0;
}
