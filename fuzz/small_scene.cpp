#include "fuzz/small_scene.h"

#include "assets/scenes/scene_model.h"

namespace fuzz_support {

namespace {

using namespace assets::scenes;

Scene baseScene()
{
    Scene scene;
    scene.meshes.push_back(box("Ring", {0, 0, 0}, {10, 10, 10}));
    scene.meshes.push_back(cone("Gitter", {0, 0, 30}, {0, 0, 5}, 12, 5));
    scene.meshes.push_back(floorGrid("Golv", {0, 0, -15}, 60, 2, 2));
    scene.meshes.push_back(box("Hogtalare1", {25, 0, 0}, {4, 4, 8}));
    scene.meshes.push_back(cone("Laser1", {-25, 0, 0}, {-25, 10, 0}, 3, 3));
    scene.meshes.push_back(box("Annan", {0, 25, 0}, {3, 3, 3}));
    for (Mesh& mesh : scene.meshes) {
        mesh.position = {still(mesh.origin)};
        mesh.rotation = {RotationKey{}};
        mesh.scale = {still({1, 1, 1})};
    }
    scene.meshes[0].position = orbit({0, 0, 0}, 8, 2, 0, 20, 4, 1);
    scene.meshes[0].rotation = spin({0, 0, 1}, 1, 20, 4);
    scene.meshes[1].hasPivot = true;
    scene.meshes[1].pivot = {0, 0, 10};
    scene.meshes[1].rotation = spin({1, 0, 0}, 2, 20, 5);
    scene.camera.name = "Camera01";
    scene.camera.position = orbit({0, 0, 0}, 120, 40, 0.5, 20, 4, 1);
    scene.camera.target = {still({0, 0, 0})};
    scene.camera.fov = {{0, 45, {}}};
    scene.camera.roll = {{0, 0, {}}};
    scene.lastFrame = 20;
    return scene;
}

} // namespace

std::vector<std::uint8_t> smallScene() { return encode3ds(baseScene()); }

std::vector<std::vector<std::uint8_t>> smallSceneVariants()
{
    std::vector<std::vector<std::uint8_t>> files;
    Scene shaped = baseScene();
    shaped.meshes[2].scale = {{0, {1, 1, 1}, {}}, {10, {2, 1, 0.5}, {0.5, -0.5, 0.25, 0.5, 0.5}}};
    shaped.meshes[3].position = {{0, {25, 0, 0}, {1, 0, 0}}, {7, {25, 10, 0}, {-1, 1, -1, 1, 0}}, {20, {25, 0, 5}, {}}};
    shaped.camera.roll = {{0, 0, {}}, {20, 45, {0.3, 0, 0}}};
    shaped.camera.fov = {{0, 45, {}}, {10, 80, {}}, {20, 30, {}}};
    files.push_back(encode3ds(shaped));

    Scene unmoving = baseScene();
    for (Mesh& mesh : unmoving.meshes) {
        mesh.position = {still(mesh.origin)};
        mesh.rotation = {RotationKey{}};
    }
    unmoving.camera.position = {still({0, -150, 20})};
    unmoving.lastFrame = 0;
    files.push_back(encode3ds(unmoving));

    Scene single = baseScene();
    single.meshes.resize(1);
    files.push_back(encode3ds(single));
    return files;
}

} // namespace fuzz_support
