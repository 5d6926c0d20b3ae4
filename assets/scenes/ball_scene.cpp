// The ball scene: a mirror ball with a ring around it and three small balls
// circling it inside a wire cage. The demo views it through a very wide lens
// (focal length 50) with the camera rolling, so the camera stays close.
#include "assets/common/det_math.h"
#include "assets/scenes/scenes.h"

namespace assets::scenes {

Scene ballScene()
{
    Scene s;
    s.lastFrame = ballLoop;
    s.materials = {{"BOLLYTA", 0xffb0d0, "bolltex.tga"}, {"RINGYTA", 0xffd34d, "ring.tga"}, {"GITTER", 0x00ff00, ""}};

    Mesh ball = sphere("Boll", {0, 0, 0}, 50.0, 24, 16, 2.0, 1.0);
    ball.material = "BOLLYTA";
    ball.position = {still({0, 0, 0})};
    ball.rotation = spin({0, 0, 1}, 2, ballLoop, 8);
    ball.scale = {still({1, 1, 1})};
    s.meshes.push_back(ball);

    // The ring is tilted, then turns about its own (tilted) axis: a quarter
    // turn per key, a whole turn over the loop.
    Mesh ring = torus("Ring", {0, 0, 0}, 64.0, 4.0, 48, 8, 4.0, 1.0);
    ring.material = "RINGYTA";
    ring.position = {still({0, 0, 0})};
    {
        const double tilt = 0.45;
        RotationKey k0;
        k0.axis = {1, 0, 0};
        k0.angle = tilt;
        ring.rotation.push_back(k0);
        for (RotationKey k : spin({0, -dmath::sin(tilt), dmath::cos(tilt)}, 1, ballLoop, 4)) {
            if (k.frame == 0)
                continue;
            k.shape.continuity = 0.2;
            ring.rotation.push_back(k);
        }
    }
    ring.scale = {still({1, 1, 1})};
    s.meshes.push_back(ring);

    Mesh cage = sphere("Gitter", {0, 0, 0}, 260.0, 12, 8, 1.0, 1.0);
    cage.material = "GITTER";
    cage.position = {still({0, 0, 0})};
    cage.rotation = spin({0, 0, 1}, -1, ballLoop, 6);
    cage.scale = {still({1, 1, 1})};
    s.meshes.push_back(cage);

    // Three small balls on tilted orbits, each at its own height and phase.
    for (int i = 0; i < 3; ++i) {
        const std::string name = "Satellit" + std::to_string(i + 1);
        Mesh m = sphere(name, {0, 0, 0}, 11.0, 12, 8, 1.0, 1.0);
        m.material = "BOLLYTA";
        m.position = orbit({0, 0, 0}, 118.0 + 14.0 * i, -30.0 + 30.0 * i, 2.1 * i, ballLoop, 12, i == 1 ? 2 : 1);
        for (PositionKey& k : m.position)
            k.value.z += 25.0 * dmath::sin(k.value.x * 0.02 + i);
        m.rotation = spin({0.3, 0, 1}, 3, ballLoop, 12);
        m.scale = {still({1, 1, 1})};
        s.meshes.push_back(m);
    }

    Camera& cam = s.camera;
    cam.name = "Kamera";
    cam.lens = 2400.0 / 145.0; // the demo's focal length 50 spans about 145 degrees
    // Close around the ball, swinging in and out and up and down.
    for (int i = 0; i <= 12; ++i) {
        const int k = i % 12;
        const double a = 2.0 * dmath::pi * double(k) / 12.0;
        PositionKey key;
        key.frame = ballLoop * i / 12;
        const double r = 84.0 + 6.0 * dmath::sin(2.0 * a);
        key.value = {r * dmath::cos(a), r * dmath::sin(a), 28.0 * dmath::sin(3.0 * a)};
        key.shape.tension = 0.1;
        cam.position.push_back(key);
    }
    for (int i = 0; i <= 4; ++i) {
        PositionKey key;
        key.frame = ballLoop * i / 4;
        key.value = {0, 0, (i % 2 == 0) ? 0.0 : 12.0};
        key.shape.easeTo = 0.5;
        key.shape.easeFrom = 0.5;
        cam.target.push_back(key);
    }
    ScalarKey fov;
    fov.value = 145.0;
    cam.fov = {fov};
    cam.roll = {ScalarKey{}};
    return s;
}

std::string ballSettings()
{
    return "; Drawing of the meshes of boll.3ds.\n"
           "; Typ: 1 perspective-textured, 2 wireframe, 3 flat, anything else textured.\n"
           "\n"
           "[Default]\n"
           "Textur=data/bolltex.tga\n"
           "Typ=0\n"
           "\n"
           "[Ring]\n"
           "Textur=data/ring.tga\n"
           "Typ=1\n"
           "\n"
           "[Gitter]\n"
           "Typ=2\n";
}

} // namespace assets::scenes
