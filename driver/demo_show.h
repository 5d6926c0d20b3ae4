#pragma once
// The demo's show: the images and effects, the music, and the timeline that
// plays the fourteen scenes on the music's markers.
#include "driver/scene_artist.h"
#include "driver/show.h"
#include "driver/show_effects.h"
#include "driver/timeline.h"

#include <functional>
#include <memory>

namespace driver {

// Builds the show's music and starts it.
using MusicBuilder = std::function<std::unique_ptr<MarkerSource>()>;

class DemoShow final : public Show {
public:
    // Builds the effects and images (ShowEffects), then the music with
    // `buildMusic` (for the demo the sound set-up window, the module and the
    // start of playback), then the timeline, at `firstScene` (0 for the
    // whole show). Destruction stops the music first, then releases the
    // effects and images.
    DemoShow(const ShowContext& context, const MusicBuilder& buildMusic, int firstScene = 0);

    void frame(double t) override { timeline_.frame(t); }
    const Timeline& timeline() const { return timeline_; }

private:
    ShowEffects effects_;
    std::unique_ptr<MarkerSource> music_;
    Timeline timeline_;
};

} // namespace driver
