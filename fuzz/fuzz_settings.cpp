// Fuzz target: the bytes as a settings file applied to a small scene whose
// meshes carry the names the demo's settings files use: every mesh gets the
// texture and drawing kind the file gives; the textures it names are read
// from the target's own working folder (see scene_folder.h), so corpus and
// artifact paths given to this target must be absolute.
#include "console/display.h"
#include "engine3d/scene3d.h"
#include "fuzz/scene_folder.h"
#include "fuzz/small_scene.h"
#include "platform/profile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
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
    // The scene is made once and made again every 4096 inputs: its texture
    // cache keeps every name it was ever asked for. Applying settings sets
    // every mesh's texture and kind afresh, so an input has the same effect
    // on a new scene as on a used one.
    static const std::vector<std::uint8_t> sceneFile = fuzz_support::smallScene();
    static std::unique_ptr<engine3d::Scene3D> scene;
    static int uses = 0;
    if (!scene || ++uses % 4096 == 0) {
        std::ostringstream messages;
        scene = std::make_unique<engine3d::Scene3D>(sceneFile.data(), sceneFile.size(), "small.3ds", messages);
    }
    scene->applySettings(platform::Profile::fromText(std::string_view(reinterpret_cast<const char*>(data), size)));
    // Wireframe meshes, and only they, carry the product table their drawer reads.
    for (int i = 0; i < scene->meshCount(); ++i) {
        const engine3d::Mesh& mesh = *scene->mesh(i);
        if (((mesh.kind & engine3d::Wireframe) != 0) != (mesh.productTable.size() == 256 * 256))
            std::abort();
    }
    return 0;
}
