#include "driver/timeline.h"

#include "platform/portable_math.h"

#include <algorithm>
#include <cmath>

namespace driver {

namespace {

// What a scene sets for the clear of the following frames.
struct ClearSetting {
    bool setsColour;
    std::uint32_t colour;
    int enabled; // -1 unchanged, 0 disabled, 1 enabled
};

constexpr ClearSetting clearSettings[sceneCount] = {
    {false, 0, -1},         // 0
    {true, 0xa0a0ff, -1},   // 1
    {false, 0, -1},         // 2
    {false, 0, 0},          // 3: the feedback keeps the last frame
    {true, 0x6b69e4, 1},    // 4
    {true, 0, -1},          // 5
    {false, 0, -1},         // 6
    {true, 0x0a0a025f, -1}, // 7: the top byte is stored with the rest
    {false, 0, -1},         // 8
    {false, 0, -1},         // 9
    {true, 0x0a00265f, -1}, // 10
    {true, 0x6b69e4, 1},    // 11
    {false, 0, -1},         // 12
    {false, 0, -1},         // 13
};

// Conversions to int truncate toward zero.
int sway80(double t) { return static_cast<int>((platform::math::sin(t * 0.001) + 1.0) * 80.0); }
int sway50(double t) { return static_cast<int>((platform::math::sin(t * 0.001) + 1.0) * 50.0); }

constexpr double beatLengthMs = 200.0;

} // namespace

Timeline::Timeline(SceneArtist& artist, MarkerSource& markers, FrameLoopState& state, int hasMMX)
    : artist_(artist), markers_(markers), state_(state), hasMMX_(hasMMX)
{
}

void Timeline::startAt(int scene)
{
    scene = std::clamp(scene, 0, lastScene);
    for (int s = 0; s < scene; ++s)
        applyClearSetting(s);
    sceneIndex_ = scene;
    nextScene_ = scene;
}

void Timeline::applyClearSetting(int scene)
{
    const ClearSetting& setting = clearSettings[scene];
    if (setting.setsColour)
        state_.clearColour = setting.colour;
    if (setting.enabled >= 0)
        state_.clearEnabled = setting.enabled;
}

display::Surface& Timeline::pair(Overlay even, Overlay odd)
{
    return artist_.overlay((beatCount_ & 1) ? odd : even);
}

void Timeline::askForSuccessor(int scene)
{
    if (markers_.takeSync(scene + 1) == scene + 1)
        nextScene_ = scene + 1;
}

// Scenes 1 and 7: the tiles, the fire tunnel added over them, the title pair.
void Timeline::tunnelOverObjects(display::Surface& frame, double t)
{
    display::Surface& canvas = *state_.tunnelCanvas;
    artist_.objectMain(frame, t * 0.002);
    artist_.setTunnelSeedCount(160);
    artist_.drawTunnel(canvas, 160, 100, static_cast<int>(t * 0.03), -24);
    artist_.updateTunnel();
    artist_.updateTunnel();
    artist_.saturate(frame, canvas, 0, 0);
    // bounce: 0 to 2 pixels while a beat zoom runs.
    const int bounce = zoomEnd_ - t > 0.0 ? static_cast<int>((zoomEnd_ - t) * 0.01) : 0;
    artist_.blitKeyed(pair(Overlay::Fjollah, Overlay::Fjollav), frame, sway80(t), bounce);
}

void Timeline::playScene(int scene, double t)
{
    applyClearSetting(scene);
    // Started late (a test or a recording from a later scene), the greetings
    // start scrolling with the first scene that shows them.
    if (scene >= 8 && scene <= 10 && scrollStart_ == -1.0)
        scrollStart_ = t;

    display::Surface& frame = *state_.frameSurface;
    display::Surface& greets = artist_.overlay(Overlay::Greets);
    switch (scene) {
    case 0:
        artist_.objectIntro(frame, static_cast<float>(t));
        break;
    case 1:
    case 7:
        tunnelOverObjects(frame, t);
        break;
    case 2:
        artist_.gridBlob(frame, t * 0.0004);
        artist_.blitKeyed(artist_.overlay(Overlay::Voodoo), frame, 0, 0);
        break;
    case 3:
        artist_.quarterTileCopy(*state_.spareSurface, frame);
        state_.exchangeFrameAndSpare();
        artist_.ribbons(*state_.frameSurface, t);
        break;
    case 4:
        artist_.disco(frame, t * 0.025);
        artist_.blitKeyed(pair(Overlay::Groovy1, Overlay::Groovy2), frame, 155, 0);
        break;
    case 5:
        artist_.ribbons(frame, t);
        artist_.blitKeyed(artist_.overlay(Overlay::Skiva), frame, 0, 18);
        break;
    case 6:
        artist_.gridBlob(frame, t * 0.0004);
        artist_.blitKeyed(pair(Overlay::Dansare1, Overlay::Dansare2), frame, sway50(t), 0);
        break;
    case 8:
    case 9:
        if (scene == 8)
            artist_.gridBlob(frame, t * 0.0004);
        else
            artist_.gridWarp(frame, t * 0.0004);
        artist_.saturate(frame, greets, static_cast<int>(scrollX(t)), 0);
        artist_.blitKeyed(pair(Overlay::Dansare1, Overlay::Dansare2), frame, sway50(t), 0);
        break;
    case 10:
        artist_.ball(frame, t * 0.1);
        if (scrollX(t) > -630.0)
            artist_.saturate(frame, greets, static_cast<int>(scrollX(t)), 0);
        artist_.blitKeyed(pair(Overlay::Dansare1, Overlay::Dansare2), frame, sway50(t), 0);
        break;
    case 11:
        artist_.disco(frame, t * 0.025);
        artist_.blitKeyed(pair(Overlay::Fjollah, Overlay::Fjollav), frame, sway50(t), 0);
        break;
    case 12:
        artist_.copyPicture(artist_.overlay(Overlay::Theend), frame);
        artist_.fadeToColour(frame, 0xffffff, static_cast<int>((platform::math::sin(t * 0.001) + 1.0) * 32767.0));
        break;
    default: // 13: the last frame
        state_.quitRequested = 1;
        return;
    }
    askForSuccessor(scene);
}

void Timeline::frame(double t)
{
    playScene(sceneIndex_, t);

    if (markers_.takeSync(255) == 255) {
        zoomEnd_ = t + beatLengthMs;
        ++beatCount_;
    }
    if (zoomEnd_ - t > 0.0) {
        // 0 on the marker's own frame, rising to 1 over the zoom.
        const float f = static_cast<float>(1.0 - (zoomEnd_ - t) * 0.005);
        if (hasMMX_)
            artist_.beatZoomFiltered(*state_.spareSurface, *state_.frameSurface, f);
        else
            artist_.beatZoomNearest(*state_.spareSurface, *state_.frameSurface, f);
        state_.exchangeFrameAndSpare();
    }

    if (markers_.takeSync(254) == 254) {
        flashEnd_ = t + beatLengthMs;
        ++flashCount_;
    }
    if (flashEnd_ - t > 0.0) {
        const std::uint32_t colour = (flashCount_ & 1) ? 0xff0000u : 0x00ff00u;
        artist_.fadeToColour(*state_.frameSurface, colour, static_cast<int>((flashEnd_ - t) * 300.0));
    }

    if (markers_.takeSync(253) == 253)
        ++beatCount_;

    sceneIndex_ = nextScene_;
}

} // namespace driver
