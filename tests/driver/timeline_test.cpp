// The scene timeline with a logging artist and markers the test makes due:
// each scene's drawing, clear settings and successor, the beat events, and
// the roles of the two frame surfaces.
#include "driver/frame_loop.h"
#include "driver/timeline.h"
#include "tests/driver/show_fakes.h"
#include "tests/support/surface_helpers.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Calls = std::vector<std::string>;

struct Rig {
    explicit Rig(int hasMMX = 1) : timeline(artist, markers, loop.state, hasMMX) {}
    driver_test::LoggingArtist artist;
    driver_test::LoopSurfaces loop{artist};
    driver_test::FakeMarkers markers;
    driver::Timeline timeline;

    // One frame; the calls it made.
    Calls frame(double t)
    {
        timeline.frame(t);
        return artist.take();
    }
    std::string frameRole() const { return loop.state.frameSurface == &loop.frame ? "A" : "B"; }
};

// At t = 10000: sin(10) = -0.5440211, so sway80 = trunc(0.4559789 x 80) = 36,
// sway50 = 22, the end picture's fade trunc(0.4559789 x 32767) = 14941; the
// object scene gets 20, the tunnel angle 300, the grid phase 4, the disco
// 250 and the ball 1000. No beat yet: the first image of each pair.
TEST(Timeline, EachSceneDrawsItsRowInOrder)
{
    const Calls tunnel = {"objectMain A 20", "tunnelSeeds 160", "drawTunnel tunnel 160 100 300 -24",
                          "updateTunnel",    "updateTunnel",    "saturate tunnel A 0 0",
                          "blitKeyed fjollah A 36 0"};
    const std::vector<Calls> expected = {
        {"objectIntro A 10000"},
        tunnel,
        {"gridBlob A 4", "blitKeyed voodoo A 0 0"},
        {"quarterTileCopy A B", "ribbons B 10000"},
        {"disco A 250", "blitKeyed groovy1 A 155 0"},
        {"ribbons A 10000", "blitKeyed skiva A 0 18"},
        {"gridBlob A 4", "blitKeyed dansare1 A 22 0"},
        tunnel,
        // Scenes 8 to 10 started here begin the scroll at this frame: x 319.
        {"gridBlob A 4", "saturate greets A 319 0", "blitKeyed dansare1 A 22 0"},
        {"gridWarp A 4", "saturate greets A 319 0", "blitKeyed dansare1 A 22 0"},
        {"ball A 1000", "saturate greets A 319 0", "blitKeyed dansare1 A 22 0"},
        {"disco A 250", "blitKeyed fjollah A 22 0"},
        {"copyPicture theend A", "fade A ffffff 14941"},
        {},
    };
    for (int scene = 0; scene < driver::sceneCount; ++scene) {
        Rig rig;
        rig.timeline.startAt(scene);
        EXPECT_EQ(rig.frame(10000.0), expected[static_cast<std::size_t>(scene)]) << "scene " << scene;
        EXPECT_EQ(rig.loop.state.quitRequested, scene == 13 ? 1 : 0) << "scene " << scene;
    }
}

TEST(Timeline, ScenesSetTheClearForTheFollowingFrames)
{
    struct Clear {
        std::uint32_t colour;
        int enabled;
    };
    const Clear after[driver::sceneCount] = {
        {0, 1},          {0xa0a0ff, 1},   {0xa0a0ff, 1},   {0xa0a0ff, 0},   {0x6b69e4, 1},
        {0, 1},          {0, 1},          {0x0a0a025f, 1}, {0x0a0a025f, 1}, {0x0a0a025f, 1},
        {0x0a00265f, 1}, {0x6b69e4, 1},   {0x6b69e4, 1},   {0x6b69e4, 1},
    };
    Rig rig;
    for (int scene = 0; scene < driver::sceneCount; ++scene) {
        ASSERT_EQ(rig.timeline.sceneIndex(), scene);
        rig.markers.arrive(scene + 1);
        rig.frame(1000.0 + scene);
        EXPECT_EQ(rig.loop.state.clearColour, after[scene].colour) << "scene " << scene;
        EXPECT_EQ(rig.loop.state.clearEnabled, after[scene].enabled) << "scene " << scene;
        // Started at the next scene, the timeline has the same settings.
        if (scene < driver::lastScene) {
            Rig late;
            late.timeline.startAt(scene + 1);
            EXPECT_EQ(late.loop.state.clearColour, after[scene].colour) << "start at " << scene + 1;
            EXPECT_EQ(late.loop.state.clearEnabled, after[scene].enabled) << "start at " << scene + 1;
        }
    }
    EXPECT_EQ(rig.markers.pending(14), 1); // scene 13 asks for no successor
}

TEST(Timeline, WithoutMarkersTheShowStaysInSceneZero)
{
    Rig rig;
    for (int i = 0; i < 1000; ++i)
        EXPECT_THAT(rig.frame(i * 17.0), ElementsAre("objectIntro A " + std::to_string(i * 17)));
    EXPECT_EQ(rig.timeline.sceneIndex(), 0);
}

TEST(Timeline, MarkersMoveOneSceneAtATimeAndAnEarlyOneWaitsForItsScene)
{
    Rig rig;
    rig.markers.arrive(2); // early: scene 0 does not ask for it
    rig.markers.arrive(4);
    rig.frame(0.0);
    rig.frame(17.0);
    EXPECT_EQ(rig.timeline.sceneIndex(), 0);
    EXPECT_EQ(rig.markers.pending(2), 1);

    rig.markers.arrive(1);
    rig.frame(34.0);
    EXPECT_EQ(rig.timeline.sceneIndex(), 1); // from the next frame on
    rig.frame(51.0);                         // scene 1 finds 2 waiting
    EXPECT_EQ(rig.timeline.sceneIndex(), 2);
    rig.frame(68.0);
    EXPECT_EQ(rig.timeline.sceneIndex(), 2); // 4 is not 3
    rig.markers.arrive(3);
    rig.frame(85.0);
    rig.frame(102.0);
    EXPECT_EQ(rig.timeline.sceneIndex(), 4); // one scene per frame
    EXPECT_EQ(rig.markers.pending(4), 0);
}

TEST(Timeline, TwoZoomMarkersWithin200MsRestartTheZoomAndFlipTheOverlaysTwice)
{
    Rig rig;
    rig.timeline.startAt(1);
    rig.markers.arrive(255);
    // The scene draws before the marker is taken: the flip shows next frame.
    Calls calls = rig.frame(1000.0);
    EXPECT_EQ(calls.back(), "zoomFiltered A B 0");
    EXPECT_EQ(calls[calls.size() - 2], "blitKeyed fjollah A 147 0"); // sway80 = trunc(1.841471 x 80)
    EXPECT_EQ(rig.frameRole(), "B");

    // 50 ms in: f = 1 - 150 x 0.005; bounce trunc(150 x 0.01) = 1.
    calls = rig.frame(1050.0);
    EXPECT_EQ(calls[calls.size() - 2], "blitKeyed fjollav B 149 1"); // trunc(1.867423 x 80)
    EXPECT_EQ(calls.back(), "zoomFiltered B A 0.25");
    EXPECT_EQ(rig.frameRole(), "A");

    rig.markers.arrive(255);
    calls = rig.frame(1100.0);
    EXPECT_EQ(calls.back(), "zoomFiltered A B 0"); // restarted
    EXPECT_EQ(rig.timeline.beatCount(), 2);
    EXPECT_EQ(rig.timeline.zoomEnd(), 1300.0);
    calls = rig.frame(1150.0);
    EXPECT_EQ(calls[calls.size() - 2], "blitKeyed fjollah B 153 1"); // trunc(1.912764 x 80), flipped back

    // Over at zoomEnd: no zoom, the roles stay.
    rig.frame(1299.0);
    const std::string role = rig.frameRole();
    calls = rig.frame(1300.0);
    EXPECT_THAT(calls.back(), ::testing::StartsWith("blitKeyed"));
    EXPECT_EQ(rig.frameRole(), role);
}

TEST(Timeline, WithoutMmxTheZoomIsTheNearestForm)
{
    Rig rig(0);
    rig.markers.arrive(255);
    EXPECT_THAT(rig.frame(0.0), ElementsAre("objectIntro A 0", "zoomNearest A B 0"));
}

TEST(Timeline, FlashMarkersAlternateRedAndGreenAndFade)
{
    Rig rig;
    auto fades = [&](double t) {
        Calls calls = rig.frame(t);
        calls.erase(calls.begin()); // the intro
        return calls;
    };
    rig.markers.arrive(254);
    EXPECT_THAT(fades(1000.0), ElementsAre("fade A ff0000 60000")); // flashCount 1: red
    EXPECT_THAT(fades(1100.0), ElementsAre("fade A ff0000 30000"));
    EXPECT_THAT(fades(1199.5), ElementsAre("fade A ff0000 150"));
    EXPECT_THAT(fades(1200.0), IsEmpty());
    rig.markers.arrive(254);
    EXPECT_THAT(fades(2000.0), ElementsAre("fade A 00ff00 60000")); // 2: green
    rig.markers.arrive(254);
    EXPECT_THAT(fades(2050.0), ElementsAre("fade A ff0000 60000"));
    EXPECT_EQ(rig.timeline.beatCount(), 0);
}

TEST(Timeline, Marker253FlipsTheOverlaysWithoutAZoom)
{
    Rig rig;
    rig.timeline.startAt(11);
    rig.markers.arrive(253);
    EXPECT_THAT(rig.frame(0.0), ElementsAre("disco A 0", "blitKeyed fjollah A 50 0"));
    EXPECT_THAT(rig.frame(20.0), ElementsAre("disco A 0.5", "blitKeyed fjollav A 50 0"));
    EXPECT_EQ(rig.timeline.beatCount(), 1);
    EXPECT_EQ(rig.timeline.zoomEnd(), -1.0);
}

TEST(Timeline, SceneThreeAndZoomsExchangeTheSurfaceRoles)
{
    Rig rig;
    rig.timeline.startAt(3);
    EXPECT_THAT(rig.frame(0.0), ElementsAre("quarterTileCopy A B", "ribbons B 0"));
    EXPECT_EQ(rig.frameRole(), "B");
    EXPECT_THAT(rig.frame(10.0), ElementsAre("quarterTileCopy B A", "ribbons A 10"));
    EXPECT_EQ(rig.frameRole(), "A");
    // A zoom in the same frame exchanges them once more.
    rig.markers.arrive(255);
    EXPECT_THAT(rig.frame(20.0), ElementsAre("quarterTileCopy A B", "ribbons B 20", "zoomFiltered B A 0"));
    EXPECT_EQ(rig.frameRole(), "A");
    EXPECT_EQ(rig.loop.state.tunnelCanvas, &rig.loop.tunnel);
}

TEST(Timeline, GreetingsStartWithSceneEightAndLeaveSceneTenAtMinus630)
{
    Rig rig;
    rig.timeline.startAt(7);
    rig.markers.arrive(8);
    rig.frame(500.0);
    EXPECT_EQ(rig.timeline.scrollStart(), -1.0);
    rig.markers.arrive(9);
    EXPECT_THAT(rig.frame(1000.0), ::testing::Contains("saturate greets A 319 0"));
    EXPECT_EQ(rig.timeline.scrollStart(), 1000.0);
    // Far to the left in scene 9 it is still added (the add clips it away).
    rig.markers.arrive(10);
    EXPECT_THAT(rig.frame(60000.0), ::testing::Contains("saturate greets A -2041 0"));
    // Scene 10: 319 - 23724 x 0.04 = -629.96 is added, -630 is not.
    EXPECT_THAT(rig.frame(24724.0), ::testing::Contains("saturate greets A -629 0"));
    const Calls gone = rig.frame(24725.0);
    EXPECT_THAT(gone, ::testing::Not(::testing::Contains(::testing::StartsWith("saturate"))));
    EXPECT_EQ(rig.timeline.scrollStart(), 1000.0);
}

// A show around the timeline, for the frame loop.
class TimelineShow final : public driver::Show {
public:
    TimelineShow(driver_test::LoggingArtist& artist, driver_test::FakeMarkers& markers, driver::FrameLoopState& state)
        : timeline(artist, markers, state, 1)
    {
    }
    void frame(double t) override { timeline.frame(t); }
    driver::Timeline timeline;
};

class PixelScreen final : public driver::Screen {
public:
    explicit PixelScreen(std::vector<std::uint32_t>& shown) : shown_(shown) {}
    void present(display::Surface& frame) override { shown_.push_back(testing_support::pixelAt(frame, 5, 5)); }

private:
    std::vector<std::uint32_t>& shown_;
};

TEST(Timeline, SceneThirteenShowsOneFrameClearedLikeSceneElevenThenTheLoopEnds)
{
    driver_test::LoggingArtist artist;
    driver_test::FakeMarkers markers;
    markers.arrive(12);
    markers.arrive(13);
    platform::ManualClock clock;
    platform::ManualEscapeKey escape;
    std::vector<std::uint32_t> shown;
    std::vector<int> scenes;
    TimelineShow* show = nullptr;
    driver::DemoServices services{
        clock,
        escape,
        platform::systemTimerResolution(),
        [] {},
        [] { return true; },
        [&](const driver::ShowContext& context) -> std::unique_ptr<driver::Show> {
            auto s = std::make_unique<TimelineShow>(artist, markers, context.state);
            s->timeline.startAt(11);
            show = s.get();
            return s;
        },
        [&](const char*, int, int, const display::Format&) -> std::unique_ptr<driver::Screen> {
            return std::make_unique<PixelScreen>(shown);
        },
    };
    driver::FrameLoop loop(services);
    while (loop.step()) {
        scenes.push_back(show->timeline.sceneIndex());
        clock.advance(17);
    }
    // The frames drawn by scenes 11, 12 and 13; the logging artist draws
    // nothing, so each shows its clear: scene 10's colour, then scene 11's.
    EXPECT_THAT(scenes, ElementsAre(12, 13, 13));
    EXPECT_THAT(shown, ElementsAre(0x0a00265fu, 0x6b69e4u, 0x6b69e4u));
    EXPECT_EQ(loop.state().quitRequested, 1);
    EXPECT_FALSE(loop.step());
}

} // namespace
