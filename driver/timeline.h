#pragma once
// The scene timeline: fourteen scenes moved on one at a time by the music's
// markers 1 to 13, and the beat events of markers 255 (zoom and overlay
// flip), 254 (red or green flash) and 253 (overlay flip).
#include "driver/scene_artist.h"
#include "driver/show.h"

namespace driver {

constexpr int sceneCount = 14;
constexpr int lastScene = sceneCount - 1;

class Timeline {
public:
    // Draws through `artist`, asks `markers`, and writes the frame-loop
    // state (clear settings, quit request, surface roles). hasMMX picks the
    // filtered beat zoom (1) or the nearest one (0).
    Timeline(SceneArtist& artist, MarkerSource& markers, FrameLoopState& state, int hasMMX);

    // Starts the timeline at a later scene, with the clear settings the
    // scenes before it would have left. Before the first frame only.
    void startAt(int scene);

    // The frame step at t ms: the scene, the beat zoom, the colour flash,
    // marker 253, then the scene for the next frame.
    void frame(double t);

    int sceneIndex() const { return sceneIndex_; }
    int nextScene() const { return nextScene_; }
    int beatCount() const { return beatCount_; }
    int flashCount() const { return flashCount_; }
    double zoomEnd() const { return zoomEnd_; }
    double flashEnd() const { return flashEnd_; }
    double scrollStart() const { return scrollStart_; }

private:
    void playScene(int scene, double t);
    void applyClearSetting(int scene);
    void tunnelOverObjects(display::Surface& frame, double t);
    void askForSuccessor(int scene);
    display::Surface& pair(Overlay even, Overlay odd);
    double scrollX(double t) const { return 319.0 - (t - scrollStart_) * 0.04; }

    SceneArtist& artist_;
    MarkerSource& markers_;
    FrameLoopState& state_;
    int hasMMX_;

    int sceneIndex_ = 0;
    int nextScene_ = 0;
    int beatCount_ = 0;
    int flashCount_ = 0;
    double zoomEnd_ = -1.0;
    double flashEnd_ = -1.0;
    double scrollStart_ = -1.0;
};

} // namespace driver
