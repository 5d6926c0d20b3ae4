#pragma once
// What the scene timeline asks of the rest of the show: the drawing calls of
// its scenes (effects, overlay images, compositing) and the music's marker
// query. The demo puts the real effects and music behind them; tests put
// recorders that log each call.
#include "console/display.h"

#include <cstdint>

namespace driver {

// The ten overlay images, in the order they are loaded.
enum class Overlay { Fjollah, Fjollav, Groovy1, Groovy2, Voodoo, Skiva, Dansare1, Dansare2, Greets, Theend };
constexpr int overlayCount = 10;

// File of each overlay image, indexed by Overlay.
inline constexpr const char* overlayPaths[overlayCount] = {
    "data/fjollah.tga", "data/fjollav.tga",  "data/groovy1.tga",  "data/groovy2.tga", "data/voodoo.tga",
    "data/skiva.tga",   "data/dansare1.tga", "data/dansare2.tga", "data/greets.tga",  "data/theend.tga",
};

class SceneArtist {
public:
    virtual ~SceneArtist() = default;

    virtual display::Surface& overlay(Overlay image) = 0;

    // Effects.
    virtual void objectIntro(display::Surface& frame, float x) = 0;
    virtual void objectMain(display::Surface& frame, double x) = 0;
    virtual void setTunnelSeedCount(int count) = 0;
    virtual void drawTunnel(display::Surface& canvas, int centreX, int centreY, int angleOffset, int depthOffset) = 0;
    virtual void updateTunnel() = 0;
    virtual void gridBlob(display::Surface& frame, double phase) = 0; // the circle image as texture
    virtual void gridWarp(display::Surface& frame, double phase) = 0;
    virtual void ribbons(display::Surface& frame, double t) = 0;
    virtual void disco(display::Surface& frame, double x) = 0;
    virtual void ball(display::Surface& frame, double x) = 0;

    // Image operations and compositing.
    virtual void saturate(display::Surface& frame, display::Surface& picture, int x, int y) = 0;
    // The frame moved toward `colour` by `intensity` (0..0xffff), in place.
    virtual void fadeToColour(display::Surface& frame, std::uint32_t colour, int intensity) = 0;
    virtual void blitKeyed(display::Surface& image, display::Surface& frame, int x, int y) = 0;
    // The image's pixels over the frame from its top-left corner.
    virtual void copyPicture(display::Surface& image, display::Surface& frame) = 0;
    virtual void beatZoomFiltered(display::Surface& destination, display::Surface& source, float f) = 0;
    virtual void beatZoomNearest(display::Surface& destination, display::Surface& source, float f) = 0;
    virtual void quarterTileCopy(display::Surface& destination, display::Surface& source) = 0;
};

// The music's marker query: n when an occurrence of marker n is due and not
// yet taken (taking it), else -1.
class MarkerSource {
public:
    virtual ~MarkerSource() = default;
    virtual int takeSync(int n) = 0;
};

} // namespace driver
