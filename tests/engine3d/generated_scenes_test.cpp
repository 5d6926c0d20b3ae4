// The data generator's two scenes through the reader: read whole without a
// warning, and every truncation and random damage of them read without a
// fault (run under the sanitizers for the out-of-bounds part).
#include "assets/scenes/scenes.h"
#include "tests/engine3d/studio_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <random>

namespace {

using namespace studio_files;
using assets::scenes::Scene;

struct Generated {
    const char* name;
    Scene (*make)();
};
const Generated kScenes[] = {{"boll", assets::scenes::ballScene}, {"disco", assets::scenes::discoScene}};

TEST(GeneratedScenes, ReadWholeWithoutWarnings)
{
    for (const Generated& g : kScenes) {
        const Scene model = g.make();
        const Loaded l = load(assets::scenes::encode3ds(model));
        for (const char* warning : {"inte", "Okänt", "Slut"})
            EXPECT_EQ(l.messages.find(warning), std::string::npos) << g.name << ": " << l.messages;
        const engine3d::Scene3D& s = *l.scene;
        ASSERT_EQ(s.meshCount(), int(model.meshes.size())) << g.name;
        for (int i = 0; i < s.meshCount(); ++i) {
            const auto& m = model.meshes[std::size_t(i)];
            EXPECT_EQ(s.mesh(i)->name, m.name);
            EXPECT_EQ(s.mesh(i)->vertexCount(), int(m.vertices.size())) << m.name;
            EXPECT_EQ(s.mesh(i)->faceCount(), int(m.faces.size())) << m.name;
            EXPECT_EQ(s.mesh(i)->positionTrack.keyCount(), int(m.position.size())) << m.name;
            EXPECT_EQ(s.mesh(i)->rotationTrack.keyCount(), int(m.rotation.size())) << m.name;
        }
        ASSERT_EQ(s.cameraCount(), 1);
        EXPECT_EQ(s.camera(0)->name, model.camera.name);
        EXPECT_EQ(s.camera(0)->targetTrack.keyCount(), int(model.camera.target.size()));
        EXPECT_EQ(s.lastFrame(), model.lastFrame) << g.name; // the loop ends on a key
    }
}

// Reads the scene and evaluates every track once, as a frame would.
void exercise(const Bytes& file)
{
    const Loaded l = load(file);
    engine3d::Scene3D& s = *l.scene;
    const float t = float(s.lastFrame()) * 0.37f;
    for (int i = 0; i < s.meshCount(); ++i) {
        engine3d::Mesh& m = *s.mesh(i);
        engine3d::evaluatePositionTrack(m.positionTrack, t);
        engine3d::evaluateRotationTrack(m.rotationTrack, t);
        for (const engine3d::Face& f : m.faces)
            for (const engine3d::ScreenVertex* c : f.corners)
                ASSERT_LT(c->sourceIndex, m.screenVertices.size());
    }
    for (int i = 0; i < s.cameraCount(); ++i) {
        s.camera(i)->positionAt(t);
        s.camera(i)->targetAt(t);
    }
}

TEST(GeneratedScenes, EveryTruncationReads)
{
    // Each load frees a few hundred kilobytes at the top of the heap; keep
    // them mapped rather than returning them to the system every time (a
    // tuning of the GNU C library's allocator; other systems go without).
#ifdef __GLIBC__
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
    for (const Generated& g : kScenes) {
        const Bytes whole = assets::scenes::encode3ds(g.make());
        for (std::size_t size = 0; size < whole.size(); ++size)
            exercise(Bytes(whole.begin(), whole.begin() + std::ptrdiff_t(size)));
    }
}

TEST(GeneratedScenes, RandomDamageReads)
{
    std::mt19937 random(20261209);
    for (const Generated& g : kScenes) {
        const Bytes whole = assets::scenes::encode3ds(g.make());
        for (int round = 0; round < 400; ++round) {
            Bytes damaged = whole;
            const int changes = 1 + int(random() % 16);
            for (int i = 0; i < changes; ++i)
                damaged[random() % damaged.size()] = std::uint8_t(random());
            exercise(damaged);
        }
    }
}

} // namespace
