// Fuzz target: the bytes as a settings file applied to a small scene whose
// meshes carry the names the demo's settings files use: every mesh gets the
// texture and drawing kind the file gives (the textures it names are read
// from the target's own folder, see scene_folder.h), and one frame is
// rendered so that every kind chosen is drawn.
#include "console/display.h"
#include "engine3d/scene3d.h"
#include "fuzz/scene_folder.h"
#include "fuzz/small_scene.h"
#include "platform/profile.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz_support::enterSceneFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static display::ConverterHold* converter = [] {
        auto* hold = new display::ConverterHold();
        hold->acquire();
        return hold;
    }();
    static const std::vector<std::uint8_t>* sceneFile = new std::vector<std::uint8_t>(fuzz_support::smallScene());
    static display::Surface* frame = new display::Surface(80, 50, display::format32());
    (void)converter;

    // A scene of its own per input: its texture cache keeps every name it was asked for.
    std::ostringstream messages;
    engine3d::Scene3D scene(sceneFile->data(), sceneFile->size(), "small.3ds", messages);
    scene.applySettings(platform::Profile::fromText(std::string_view(reinterpret_cast<const char*>(data), size)));
    if (engine3d::Camera* camera = scene.camera(0)) {
        camera->setSurface(frame);
        camera->clearDepth(255);
        scene.render(0, 1.0f);
        camera->setSurface(nullptr);
    }
    return 0;
}
