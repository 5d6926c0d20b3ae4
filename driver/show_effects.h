#pragma once
// The show's resources - image operations, the circle image, the ten overlay
// images and the effect objects - behind the timeline's drawing calls.
#include "driver/scene_artist.h"
#include "effects/fire_tunnel.h"
#include "effects/grid_distortion.h"
#include "effects/object_scene.h"
#include "effects/spline_ribbons.h"
#include "effects/studio_scene_pair.h"
#include "imageops/image_ops.h"

#include <array>
#include <memory>

namespace driver {

class ShowEffects final : public SceneArtist {
public:
    // Builds, in this order: ImageOps with hasMMX, the circle image, the ten
    // overlay images, ObjectScene (flag 0), StudioScenePair, GridDistortion
    // (41 x 26 points, 8x8 blocks) and FireTunnel (10, 320, 200, 10.0).
    // Members go in reverse order: tunnel, grid, scene pair, object scene,
    // overlays, circle image, ImageOps.
    explicit ShowEffects(int hasMMX);

    display::Surface& overlay(Overlay image) override { return *overlays_[static_cast<std::size_t>(image)]; }

    void objectIntro(display::Surface& frame, float x) override { objects_.renderIntro(frame, nullptr, x); }
    void objectMain(display::Surface& frame, double x) override { objects_.renderMain(frame, x); }
    void setTunnelSeedCount(int count) override { tunnel_.seedCount = count; }
    void drawTunnel(display::Surface& canvas, int centreX, int centreY, int angleOffset, int depthOffset) override
    {
        tunnel_.draw(canvas, centreX, centreY, angleOffset, depthOffset);
    }
    void updateTunnel() override { tunnel_.update(); }
    void gridBlob(display::Surface& frame, double phase) override { grid_.renderBlob(frame, circle_, phase); }
    void gridWarp(display::Surface& frame, double phase) override { grid_.renderWarp(frame, circle_, phase); }
    void ribbons(display::Surface& frame, double t) override { ribbons_.draw(t, frame); }
    void disco(display::Surface& frame, double x) override { studio_.renderDisco(frame, x); }
    void ball(display::Surface& frame, double x) override { studio_.renderBall(frame, x); }

    void saturate(display::Surface& frame, display::Surface& picture, int x, int y) override
    {
        imageOps_.saturate(frame, picture, x, y);
    }
    void fadeToColour(display::Surface& frame, std::uint32_t colour, int intensity) override
    {
        imageOps_.fade2col(frame, frame, colour, intensity);
    }
    void blitKeyed(display::Surface& image, display::Surface& frame, int x, int y) override;
    void copyPicture(display::Surface& image, display::Surface& frame) override;
    void beatZoomFiltered(display::Surface& destination, display::Surface& source, float f) override;
    void beatZoomNearest(display::Surface& destination, display::Surface& source, float f) override;
    void quarterTileCopy(display::Surface& destination, display::Surface& source) override;

private:
    imageops::ImageOps imageOps_;
    display::Surface circle_;
    std::array<std::unique_ptr<display::Surface>, overlayCount> overlays_;
    effects::ObjectScene objects_;
    effects::StudioScenePair studio_;
    effects::GridDistortion grid_;
    effects::FireTunnel tunnel_;
    // Keeps nothing between frames; held only for its splat form.
    effects::SplineRibbons ribbons_;
};

} // namespace driver
