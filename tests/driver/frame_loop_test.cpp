// The entry routine and frame loop with a fake clock, Escape key, show,
// console and timer service: set-up and tear-down order, the clear, the
// Escape check, the time origin and the error path.
#include "driver/clear_surface.h"
#include "driver/frame_loop.h"
#include "tests/support/message_recorder.h"
#include "tests/support/surface_helpers.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;
using testing_support::paint;
using testing_support::pixelAt;

bool allPixelsAre(display::Surface& surface, std::uint32_t value)
{
    const std::vector<std::uint32_t> pixels = testing_support::pixelsOf(surface);
    return std::all_of(pixels.begin(), pixels.end(), [value](std::uint32_t p) { return p == value; });
}

struct Log {
    std::vector<std::string> events;
    void add(std::string e) { events.push_back(std::move(e)); }
};

class LoggingTimerService final : public platform::TimerResolutionService {
public:
    explicit LoggingTimerService(Log& log) : log_(log) {}
    bool query(std::uint32_t& minimum, std::uint32_t& maximum) override
    {
        minimum = 1;
        maximum = 1000;
        return true;
    }
    bool begin(std::uint32_t period) override
    {
        log_.add("timer begin " + std::to_string(period));
        return true;
    }
    void end(std::uint32_t period) override { log_.add("timer end " + std::to_string(period)); }

private:
    Log& log_;
};

class RecordingScreen final : public driver::Screen {
public:
    RecordingScreen(Log& log, std::vector<display::Surface*>& shown, std::vector<std::uint32_t>& firstPixels,
                    std::function<void()> onClose)
        : log_(log), shown_(shown), firstPixels_(firstPixels), onClose_(std::move(onClose))
    {
    }
    ~RecordingScreen() override
    {
        onClose_();
        log_.add("console closed");
    }
    void present(display::Surface& frame) override
    {
        shown_.push_back(&frame);
        firstPixels_.push_back(pixelAt(frame, 0, 0));
    }

private:
    Log& log_;
    std::vector<display::Surface*>& shown_;
    std::vector<std::uint32_t>& firstPixels_;
    std::function<void()> onClose_;
};

// A show whose every frame runs a step the test gives.
class ScriptedShow final : public driver::Show {
public:
    using Step = std::function<void(int frame, double t, driver::FrameLoopState&)>;
    ScriptedShow(Log& log, driver::FrameLoopState& state, Step step) : log_(log), state_(state), step_(std::move(step))
    {
    }
    ~ScriptedShow() override { log_.add("show torn down"); }
    void frame(double t) override
    {
        times.push_back(t);
        step_(frames++, t, state_);
    }

    int frames = 0;
    std::vector<double> times;

private:
    Log& log_;
    driver::FrameLoopState& state_;
    Step step_;
};

// Everything the entry routine needs, faked, with hooks for each test.
struct Harness {
    Log log;
    platform::ManualClock clock{1000};
    platform::ManualEscapeKey escape;
    LoggingTimerService timers{log};
    std::vector<display::Surface*> shown;
    std::vector<std::uint32_t> shownFirstPixels;
    ScriptedShow::Step step = [](int, double, driver::FrameLoopState&) {};
    std::function<void()> beforeOpen = [] {};
    std::function<void()> onClose = [] {};
    ScriptedShow* show = nullptr;
    driver::FrameLoopState* state = nullptr;
    int hasMMX = -1;
    bool mmx = true;
    // Copies of the show's record, kept after it is destroyed.
    int framesRun = 0;
    std::vector<double> times;

    driver::DemoServices services()
    {
        return driver::DemoServices{
            clock,
            escape,
            timers,
            [this] { log.add("priority raised"); },
            [this] {
                log.add("mmx detected");
                return mmx;
            },
            [this](const driver::ShowContext& context) -> std::unique_ptr<driver::Show> {
                log.add("show built");
                hasMMX = context.hasMMX;
                state = &context.state;
                auto s = std::make_unique<ScriptedShow>(log, context.state, [this](int f, double t, driver::FrameLoopState& st) {
                    framesRun = f + 1;
                    times.push_back(t);
                    step(f, t, st);
                });
                show = s.get();
                return s;
            },
            [this](const char* title, int width, int height, const display::Format& format) -> std::unique_ptr<driver::Screen> {
                log.add(std::string("console opened ") + title + " " + std::to_string(width) + "x" +
                        std::to_string(height) + " " + std::to_string(format.bits()));
                beforeOpen();
                return std::make_unique<RecordingScreen>(log, shown, shownFirstPixels, onClose);
            },
        };
    }
};

TEST(FrameLoop, SetsUpAndTearsDownInOrder)
{
    Harness h;
    h.step = [&](int frame, double, driver::FrameLoopState&) {
        if (frame == 2)
            h.escape.press();
    };
    EXPECT_EQ(driver::runDemo(h.services()), 0);
    EXPECT_THAT(h.log.events, ElementsAre("priority raised", "mmx detected", "timer begin 1", "show built",
                                          "console opened Tam+ulv = skit! 320x200 32", "console closed",
                                          "show torn down", "timer end 1"));
}

TEST(FrameLoop, ShowGetsThreeDistinct32BitSurfacesAndTheMmxFlag)
{
    for (bool mmx : {true, false}) {
        Harness h;
        h.mmx = mmx;
        std::vector<display::Surface*> surfaces;
        h.step = [&](int, double, driver::FrameLoopState& s) {
            surfaces = {s.frameSurface, s.tunnelCanvas, s.spareSurface};
            for (auto* surface : surfaces) {
                EXPECT_EQ(surface->width(), 320);
                EXPECT_EQ(surface->height(), 200);
                EXPECT_EQ(surface->format(), display::format32());
            }
            h.escape.press();
        };
        driver::runDemo(h.services());
        EXPECT_EQ(h.hasMMX, mmx ? 1 : 0);
        ASSERT_EQ(surfaces.size(), 3u);
        EXPECT_NE(surfaces[0], surfaces[1]);
        EXPECT_NE(surfaces[1], surfaces[2]);
        EXPECT_NE(surfaces[0], surfaces[2]);
    }
}

TEST(FrameLoop, EscapeAfterTheClearEndsTheLoopWithoutShowingThatFrame)
{
    Harness h;
    h.step = [&](int frame, double, driver::FrameLoopState& s) {
        paint(*s.frameSurface, 0x123456);
        s.clearColour = 0x00abcdef;
        if (frame == 4)
            h.escape.press(); // pressed while frame 4 is drawn
    };
    driver::runDemo(h.services());
    EXPECT_EQ(h.framesRun, 5);
    ASSERT_EQ(h.shown.size(), 5u); // frame 5 was cleared, then the loop ended
    for (auto pixel : h.shownFirstPixels)
        EXPECT_EQ(pixel, 0x123456u);
}

TEST(FrameLoop, EscapeCheckComesAfterTheClear)
{
    // The frame on which Escape is seen is still cleared: look at the frame
    // when the console closes, right after the loop.
    Harness h;
    bool clearedBeforeEnd = false;
    h.step = [&](int, double, driver::FrameLoopState& s) {
        paint(*s.frameSurface, 0x111111);
        s.clearColour = 0x00222222;
        h.escape.press();
    };
    h.onClose = [&] { clearedBeforeEnd = allPixelsAre(*h.state->frameSurface, 0x222222); };
    driver::runDemo(h.services());
    EXPECT_TRUE(clearedBeforeEnd);
}

TEST(FrameLoop, EscapeHeldFromTheStartShowsNothing)
{
    Harness h;
    h.escape.press();
    EXPECT_EQ(driver::runDemo(h.services()), 0);
    EXPECT_EQ(h.framesRun, 0);
    EXPECT_TRUE(h.shown.empty());
}

TEST(FrameLoop, QuitRequestedEndsTheLoopAtTheNextFrame)
{
    Harness h;
    h.step = [&](int frame, double, driver::FrameLoopState& s) {
        if (frame == 13)
            s.quitRequested = 1;
    };
    EXPECT_EQ(driver::runDemo(h.services()), 0);
    EXPECT_EQ(h.framesRun, 14);
    EXPECT_EQ(h.shown.size(), 14u); // the frame that set the request is shown
}

TEST(FrameLoop, RunsOnWithoutEscapeOrQuit)
{
    Harness h;
    h.step = [&](int frame, double, driver::FrameLoopState&) {
        if (frame == 5000)
            h.escape.press();
    };
    driver::runDemo(h.services());
    EXPECT_EQ(h.framesRun, 5001);
}

TEST(FrameLoop, TimeCountsFromJustBeforeTheFirstFrameAcrossTheClockWrap)
{
    Harness h;
    h.clock.set(0xfffffe00u);
    // Opening the console takes time; it does not count.
    h.beforeOpen = [&] { h.clock.advance(700); };
    h.step = [&](int frame, double, driver::FrameLoopState&) {
        h.clock.advance(frame == 0 ? 0x100 : 0x180); // crosses 2^32 on frame 1
        if (frame == 3)
            h.escape.press();
    };
    driver::runDemo(h.services());
    EXPECT_THAT(h.times, ElementsAre(0.0, 256.0, 640.0, 1024.0));
}

TEST(FrameLoop, ClearFollowsTheSettingLeftByThePreviousFrame)
{
    Harness h;
    std::vector<bool> clearedToExpected;
    h.step = [&](int frame, double, driver::FrameLoopState& s) {
        switch (frame) {
        case 0: // first frame: cleared with the initial colour 0
            clearedToExpected.push_back(allPixelsAre(*s.frameSurface, 0));
            paint(*s.frameSurface, 0x55);
            s.clearColour = 0x0a0a025f; // stored with its top byte
            break;
        case 1:
            clearedToExpected.push_back(allPixelsAre(*s.frameSurface, 0x0a0a025f));
            s.clearEnabled = 0;
            paint(*s.frameSurface, 0x77);
            break;
        case 2: // not cleared: the previous frame's picture is still there
            clearedToExpected.push_back(allPixelsAre(*s.frameSurface, 0x77));
            h.escape.press();
            break;
        }
    };
    driver::runDemo(h.services());
    EXPECT_THAT(clearedToExpected, ElementsAre(true, true, true));
}

TEST(FrameLoop, ClearsAndShowsWhicheverSurfaceHoldsTheFrameRole)
{
    Harness h;
    display::Surface* original = nullptr;
    display::Surface* spareAtStart = nullptr;
    std::vector<bool> frameRoleCleared, tunnelKept;
    h.step = [&](int frame, double, driver::FrameLoopState& s) {
        if (frame == 0) {
            original = s.frameSurface;
            spareAtStart = s.spareSurface;
            paint(*s.tunnelCanvas, 0x77);
        } else {
            // The clear went to the surface that took the role last frame;
            // the tunnel canvas is never cleared by the loop.
            frameRoleCleared.push_back(allPixelsAre(*s.frameSurface, 0x00aa00));
            tunnelKept.push_back(allPixelsAre(*s.tunnelCanvas, 0x77));
        }
        s.clearColour = 0x00aa00;
        s.exchangeFrameAndSpare();
        paint(*s.frameSurface, static_cast<std::uint32_t>(frame + 1));
        if (frame == 3)
            h.escape.press();
    };
    driver::runDemo(h.services());
    ASSERT_EQ(h.shown.size(), 4u);
    EXPECT_EQ(h.shown[0], spareAtStart);
    EXPECT_EQ(h.shown[1], original);
    EXPECT_EQ(h.shown[2], spareAtStart);
    EXPECT_EQ(h.shown[3], original);
    EXPECT_THAT(h.shownFirstPixels, ElementsAre(1u, 2u, 3u, 4u));
    EXPECT_THAT(frameRoleCleared, ElementsAre(true, true, true));
    EXPECT_THAT(tunnelKept, ElementsAre(true, true, true));
}

TEST(FrameLoop, ErrorWhileOpeningTheConsoleIsReportedAfterTheShowIsTornDown)
{
    Harness h;
    h.beforeOpen = [] { throw display::Error("could not create window"); };
    std::vector<std::string> eventsWhenReported;
    std::string reported;
    int result = driver::runDemoReportingErrors(h.services(), [&](const display::Error& e) {
        reported = e.message();
        eventsWhenReported = h.log.events;
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(reported, "could not create window");
    EXPECT_THAT(eventsWhenReported,
                ElementsAre("priority raised", "mmx detected", "timer begin 1", "show built",
                            "console opened Tam+ulv = skit! 320x200 32", "show torn down", "timer end 1"));
    EXPECT_EQ(h.framesRun, 0);
}

TEST(FrameLoop, ErrorDuringAFrameTearsEverythingDownBeforeTheReport)
{
    Harness h;
    h.step = [](int frame, double, driver::FrameLoopState&) {
        if (frame == 1)
            throw display::Error("failed to load pixels to console", display::Error("stretching is not implemented"));
    };
    std::vector<std::string> eventsWhenReported;
    std::string reported;
    driver::runDemoReportingErrors(h.services(), [&](const display::Error& e) {
        reported = e.message();
        eventsWhenReported = h.log.events;
    });
    EXPECT_EQ(reported, "failed to load pixels to console\nstretching is not implemented");
    ASSERT_GE(eventsWhenReported.size(), 3u);
    EXPECT_THAT(std::vector<std::string>(eventsWhenReported.end() - 3, eventsWhenReported.end()),
                ElementsAre("console closed", "show torn down", "timer end 1"));
}

TEST(FrameLoopDeathTest, ReportedErrorShowsAnErrorBoxAndExitsWithStatusOne)
{
    EXPECT_EXIT(
        {
            Harness h;
            h.beforeOpen = [] { throw display::Error("could not create window"); };
            driver::runDemoReportingErrors(h.services());
        },
        testing::ExitedWithCode(1), "Error: could not create window");
}

TEST(FrameLoop, ErrorBuildingTheShowStopsBeforeTheConsole)
{
    Harness h;
    auto services = h.services();
    services.buildShow = [&](const driver::ShowContext&) -> std::unique_ptr<driver::Show> {
        throw display::Error("zero surface size");
    };
    std::string reported;
    EXPECT_EQ(driver::runDemoReportingErrors(services, [&](const display::Error& e) { reported = e.message(); }), 1);
    EXPECT_EQ(reported, "zero surface size");
    EXPECT_THAT(h.log.events, ElementsAre("priority raised", "mmx detected", "timer begin 1", "timer end 1"));
}

} // namespace
