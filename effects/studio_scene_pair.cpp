#include "effects/studio_scene_pair.h"

#include "engine3d/scene3d.h"
#include "platform/current_directory.h"

#include <cmath>

namespace effects {

namespace {

std::unique_ptr<engine3d::Scene3D> loadScene(const char* scenePath, const char* settingsName, float focalLength)
{
    auto scene = std::make_unique<engine3d::Scene3D>(scenePath);
    scene->applySettings(platform::currentDirectory() + settingsName);
    if (engine3d::Camera* camera = scene->camera(0))
        camera->focalLength = focalLength;
    return scene;
}

// Points the scene's first camera at the frame and clears its depth buffer,
// when the scene can be drawn: it has a first camera and an animation to
// loop over (a last key frame above 0). Nothing otherwise.
engine3d::Camera* startFrame(engine3d::Scene3D& scene, display::Surface& surface)
{
    engine3d::Camera* camera = scene.lastFrame() > 0 ? scene.camera(0) : nullptr;
    if (camera) {
        camera->setSurface(&surface);
        camera->clearDepth(255);
    }
    return camera;
}

// Key-frame time: x wrapped into 0 .. lastFrame, as a float.
float keyFrameTime(double x, int lastFrame) { return static_cast<float>(std::fmod(x, double(lastFrame))); }

} // namespace

StudioScenePair::StudioScenePair()
    : ball_(loadScene("data/boll.3ds", "\\data\\boll.ini", 50.0f)),
      disco_(loadScene("data/disco.3ds", "\\data\\disco.ini", 350.0f))
{
}

StudioScenePair::~StudioScenePair() = default;

void StudioScenePair::renderDisco(display::Surface& surface, double x)
{
    if (startFrame(*disco_, surface))
        disco_->render(0, keyFrameTime(x, disco_->lastFrame()));
}

void StudioScenePair::renderBall(display::Surface& surface, double x)
{
    engine3d::Camera* camera = startFrame(*ball_, surface);
    if (!camera)
        return;
    camera->roll = static_cast<float>(x * 0.01);
    ball_->render(0, keyFrameTime(x, ball_->lastFrame()));
}

} // namespace effects
