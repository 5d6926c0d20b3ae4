// Fuzz target: the bytes as a 3D Studio file read from memory (the tracks are
// prepared as it loads), every mesh's and camera's tracks evaluated before,
// inside and after the animation, and one frame rendered through the first
// camera into a small surface, the meshes drawn by the kind the input's size
// picks with a small texture. The texture is read from the target's own
// working folder (see scene_folder.h), so corpus and artifact paths given to
// this target must be absolute.
#include "console/display.h"
#include "engine3d/keyframes.h"
#include "engine3d/scene3d.h"
#include "fuzz/scene_folder.h"
#include "platform/profile.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz_support::enterSceneFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static display::Surface* frame = new display::Surface(80, 50, display::format32());

    std::ostringstream messages;
    engine3d::Scene3D scene(data, size, "fuzz.3ds", messages);
    // Typ 0 textured, 1 perspective-textured, 3 flat, and 2 wireframe (whose
    // set-up copies a 256 KB table into every mesh) for one input in eight.
    static const int kinds[8] = {0, 1, 3, 0, 1, 3, 0, 2};
    scene.applySettings(
        platform::Profile::fromText("[Default]\nTextur=tex.tga\nTyp=" + std::to_string(kinds[size % 8]) + "\n"));

    const float last = static_cast<float>(scene.lastFrame());
    for (float t : {-1.0f, 0.0f, last * 0.37f, last, last + 5.5f}) {
        for (int i = 0; i < scene.meshCount(); ++i) {
            engine3d::Mesh& mesh = *scene.mesh(i);
            engine3d::evaluatePositionTrack(mesh.positionTrack, t);
            engine3d::evaluateRotationTrack(mesh.rotationTrack, t);
        }
        for (int i = 0; i < scene.cameraCount(); ++i) {
            scene.camera(i)->positionAt(t);
            scene.camera(i)->targetAt(t);
        }
    }
    if (engine3d::Camera* camera = scene.camera(0)) {
        camera->setSurface(frame);
        camera->clearDepth(255);
        scene.render(0, last * 0.5f);
        camera->setSurface(nullptr);
    }
    return 0;
}
