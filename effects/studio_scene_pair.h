#pragma once
// The demo's two 3D Studio scenes, the mirror ball and the disco floor, each
// drawn through its first camera into a frame. The driver passes a time
// already scaled for the scene; the pair turns it into a key-frame time that
// loops over the scene's animation.
#include "console/display.h"

#include <memory>

namespace engine3d {
class Scene3D;
}

namespace effects {

class StudioScenePair {
public:
    // Loads "data/boll.3ds" with "\data\boll.ini" and "data/disco.3ds" with
    // "\data\disco.ini", relative to the current directory, and sets the
    // focal lengths of their first cameras (50 and 350).
    StudioScenePair();
    ~StudioScenePair();
    StudioScenePair(const StudioScenePair&) = delete;
    StudioScenePair& operator=(const StudioScenePair&) = delete;

    // The disco scene at x = t * 0.025 (25 key frames a second of demo time).
    void renderDisco(display::Surface& surface, double x);
    // The ball scene at x = t * 0.1 (100 key frames a second), its camera
    // rolling one turn every 2π / 0.001 ms.
    void renderBall(display::Surface& surface, double x);

private:
    std::unique_ptr<engine3d::Scene3D> ball_;
    std::unique_ptr<engine3d::Scene3D> disco_;
};

} // namespace effects
