// The disco scene: a lit dance floor seen from above and aside, a mirror
// ball on its cord, two black speaker stacks and four green laser fans
// sweeping from the ceiling. The demo views it with a long lens (focal
// length 350) while the camera circles the floor once per loop.
#include "assets/common/det_math.h"
#include "assets/scenes/scenes.h"

namespace assets::scenes {

Scene discoScene()
{
    Scene s;
    s.lastFrame = discoLoop;
    s.materials = {{"GOLV", 0xff3d8b, "golv.tga"},
                   {"KULA", 0xd8d0ff, "kula.tga"},
                   {"SVART", 0x000000, ""},
                   {"LASER", 0x00ff00, ""}};

    Mesh floor = floorGrid("Golv", {0, 0, 0}, 200.0, 8, 2.0);
    floor.material = "GOLV";
    floor.position = {still({0, 0, 0})};
    floor.rotation = {RotationKey{}};
    floor.scale = {still({1, 1, 1})};
    s.meshes.push_back(floor);

    // The ball hangs from a cord; its pivot is the top of the cord, so the
    // position keys place the hook and the ball spins about the cord.
    const V3 hook{0, 0, 295};
    Mesh ball = sphere("Kula", {0, 0, 170}, 36.0, 20, 14, 2.0, 1.0);
    merge(ball, box("cord", {0, 0, 250}, {1.2, 1.2, 45}));
    ball.material = "KULA";
    ball.origin = {0, 0, 170};
    ball.hasPivot = true;
    ball.pivot = hook - ball.origin;
    ball.position = {still(hook)};
    ball.rotation = spin({0, 0, 1}, 1, discoLoop, 4);
    for (RotationKey& k : ball.rotation)
        k.shape.tension = -0.1; // a touch of overshoot between the quarter turns
    ball.scale = {still({1, 1, 1})};
    s.meshes.push_back(ball);

    for (int side = 0; side < 2; ++side) {
        const double x = side == 0 ? -175.0 : 175.0;
        Mesh stack = box(side == 0 ? "Hogtalare1" : "Hogtalare2", {x, 150, 60}, {30, 26, 60});
        merge(stack, box("top", {x, 150, 138}, {22, 20, 18}));
        stack.material = "SVART";
        stack.rotation = {RotationKey{}};
        // The speakers thump: a little up on every other key of the loop.
        for (int i = 0; i <= 16; ++i) {
            PositionKey k;
            k.frame = discoLoop * i / 16;
            k.value = {x, 150, 60.0 + ((i % 2) ? 3.0 : 0.0)};
            k.shape.tension = 0.5;
            stack.position.push_back(k);
        }
        stack.scale = {still({1, 1, 1})};
        s.meshes.push_back(stack);
    }

    // Laser fans from the four upper corners, sweeping to and fro around
    // their source (the mesh origin): the sweeps of each fan cancel over the loop.
    for (int i = 0; i < 4; ++i) {
        const double sx = (i & 1) ? 190.0 : -190.0, sy = (i & 2) ? 190.0 : -190.0;
        const V3 source{sx, sy, 300};
        const V3 spot{-sx * 0.3, -sy * 0.3, 0};
        Mesh fan = cone("Laser" + std::to_string(i + 1), source, spot, 70.0, 5);
        fan.material = "LASER";
        fan.position = {still(source)};
        const V3 axis = i % 2 ? V3{0, 0, 1} : V3{0.3, 0.2, 1};
        const double sweep = 0.5;
        const double angles[5] = {0.0, sweep, -2.0 * sweep, 2.0 * sweep, -sweep};
        for (int k = 0; k < 5; ++k) {
            RotationKey key;
            key.frame = discoLoop * k / 4;
            key.axis = axis;
            key.angle = (i >= 2 ? -1.0 : 1.0) * angles[k];
            key.shape.bias = k % 2 ? 0.25 : -0.25;
            fan.rotation.push_back(key);
        }
        fan.scale = {still({1, 1, 1})};
        s.meshes.push_back(fan);
    }

    Camera& cam = s.camera;
    cam.name = "Kamera01";
    cam.lens = 2400.0 / 49.1; // the demo's focal length 350 spans about 49 degrees
    cam.position = orbit({0, 0, 0}, 760.0, 270.0, -1.9, discoLoop, 8, 1);
    for (std::size_t i = 0; i < cam.position.size(); ++i)
        cam.position[i].value.z += (i % 2) ? 40.0 : 0.0;
    for (int i = 0; i <= 4; ++i) {
        PositionKey k;
        k.frame = discoLoop * i / 4;
        k.value = {0, 0, (i % 2) ? 95.0 : 70.0};
        cam.target.push_back(k);
    }
    ScalarKey fov;
    fov.value = 49.1;
    cam.fov = {fov};
    cam.roll = {ScalarKey{}};
    return s;
}

std::string discoSettings()
{
    return "; Drawing of the meshes of disco.3ds.\n"
           "; Typ: 1 perspective-textured, 2 wireframe, 3 flat, anything else textured.\n"
           "\n"
           "[Default]\n"
           "Textur=data/kula.tga\n"
           "Typ=0\n"
           "\n"
           "[Golv]\n"
           "Textur=data/golv.tga\n"
           "Typ=1\n"
           "\n"
           "[Hogtalare1]\n"
           "Typ=3\n"
           "\n"
           "[Hogtalare2]\n"
           "Typ=3\n"
           "\n"
           "[Laser1]\n"
           "Typ=2\n"
           "\n"
           "[Laser2]\n"
           "Typ=2\n"
           "\n"
           "[Laser3]\n"
           "Typ=2\n"
           "\n"
           "[Laser4]\n"
           "Typ=2\n";
}

} // namespace assets::scenes
