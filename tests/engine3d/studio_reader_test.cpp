#include "assets/scenes/chunk_writer.h"
#include "engine3d/chunk_buffer.h"
#include "engine3d/scene3d.h"
#include "tests/engine3d/studio_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace {

using namespace studio_files;
using assets::scenes::ChunkWriter;
using assets::scenes::encode3ds;
using assets::scenes::Scene;
using engine3d::Vec3;

void expectNear(const Vec3& v, double x, double y, double z, double tolerance = 1e-6)
{
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

Bytes smallFile() { return encode3ds(smallScene()); }

TEST(ChunkBuffer, NamesAreCutAtEightyBytes)
{
    struct Case {
        std::string bytes;
        std::string name;
        std::size_t nulOffset;
    } cases[] = {
        {std::string("abc\0rest", 8), "abc", 3},
        {std::string(100, 'a'), std::string(79, 'a'), 80}, // no NUL in 80 bytes
        {std::string("ab"), "ab", 80},                     // the data ends first
    };
    for (const Case& c : cases) {
        const engine3d::ChunkBuffer file(reinterpret_cast<const std::uint8_t*>(c.bytes.data()), c.bytes.size());
        std::string name;
        EXPECT_EQ(file.readName(0, name), c.nulOffset);
        EXPECT_EQ(name, c.name);
    }
}

TEST(ChunkBuffer, WalksStopAtShortChunksAndTheEndOfTheData)
{
    ChunkWriter w;
    w.begin(0x1000); // parent
    w.begin(0x1001);
    w.u32(0);
    w.end();
    w.begin(0x1002);
    w.end();
    w.end();
    w.begin(0x2000);
    w.end();
    Bytes b = w.bytes();
    const engine3d::ChunkBuffer file(b.data(), b.size());
    EXPECT_EQ(file.findChunk(0, 0x2000, b.size()), 22u);
    EXPECT_EQ(file.findChunk(0, 0x2000, 22), 0u); // the limit ends the walk
    EXPECT_EQ(file.findSubChunk(0, 0x1000), 0u);
    EXPECT_EQ(file.findSubChunk(0, 0x1002), 16u);
    EXPECT_EQ(file.findSubChunk(0, 0x2000), 0u); // not a child

    putU32(b, 6 + 2, 3); // the first child claims 3 bytes: the walk cannot move on
    const engine3d::ChunkBuffer shortChunk(b.data(), b.size());
    EXPECT_EQ(shortChunk.findSubChunk(0, 0x1002), 0u);
    putU32(b, 6 + 2, 0xfffffff0u); // a child reaching past the data's end
    const engine3d::ChunkBuffer longChunk(b.data(), b.size());
    EXPECT_EQ(longChunk.findChunk(6, 0x1002, SIZE_MAX), 0u);

    engine3d::ChunkHeader h;
    EXPECT_FALSE(engine3d::ChunkBuffer(b.data(), 5).header(0, h)); // a header must be whole
}

TEST(StudioReader, SmallSceneMessagesAndContents)
{
    const Loaded l = load(smallFile());
    EXPECT_EQ(l.messages, "\nletar efter 3dstudioobjekt i filen mem.3ds..."
                          "\n\nObjekt Tri hittat...\nMeshobjekt Tri laddas\nhittade mappingkoordinater"
                          "\nKeyframedata till Tri ok."
                          "\n\nObjekt Cam hittat...\nKameraobjekt Cam laddas...\nPositiontrack hittad..."
                          "\nTargettrack hittad...\nKeyframedata till Cam ok.");
    engine3d::Scene3D& s = *l.scene;
    ASSERT_EQ(s.meshCount(), 1);
    ASSERT_EQ(s.cameraCount(), 1);
    EXPECT_EQ(s.camera(2), nullptr);
    EXPECT_EQ(s.camera(0)->name, "Cam");
    const engine3d::Mesh& m = *s.mesh(0);
    EXPECT_EQ(m.name, "Tri");
    EXPECT_EQ(m.kind, engine3d::Textured);
    // File (x, y, z) becomes (x, z, y); the pivot (1, 3, 2) is subtracted.
    expectNear(m.pivot, 1, 3, 2);
    expectNear(m.vertices[0], 0, 0, 0);
    expectNear(m.vertices[1], 3, 3, 3);
    expectNear(m.vertices[2], 6, 6, 6);
    EXPECT_NEAR(m.boundingRadius, std::sqrt(108.0) + 1.0, 1e-9);
    // Mapping coordinates in texels, per corner.
    ASSERT_EQ(m.faceCount(), 1);
    EXPECT_EQ(m.faces[0].uv[0].u, 128.0f);
    EXPECT_EQ(m.faces[0].uv[0].v, 64.0f);
    EXPECT_EQ(m.faces[0].uv[2].u, 256.0f);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(m.faces[0].corners[c], &m.screenVertices[std::size_t(c)]);
    EXPECT_EQ(m.screenVertices[2].sourceIndex, 2u);
    const engine3d::Camera& cam = *s.camera(0);
    expectNear(cam.position, 10, 30, 20);
    EXPECT_EQ(cam.focalLength, 256.0f);
    EXPECT_EQ(cam.positionTrack.keyCount(), 1);
    EXPECT_EQ(cam.targetTrack.keyCount(), 1);
}

TEST(StudioReader, FacesSharingAVertexShareItsRecord)
{
    Scene scene = smallScene();
    scene.meshes[0].vertices.push_back({0, 0, 0});
    scene.meshes[0].mapping.push_back({0.75, 0.75});
    scene.meshes[0].faces.push_back({2, 1, 3});
    const Loaded l = load(encode3ds(scene));
    const engine3d::Mesh& m = *l.scene->mesh(0);
    ASSERT_EQ(m.faceCount(), 2);
    EXPECT_EQ(m.faces[0].corners[2], m.faces[1].corners[0]);
    EXPECT_EQ(m.faces[1].uv[2].u, 192.0f);
}

TEST(StudioReader, LocalAxesMoveVerticesIntoObjectSpace)
{
    // Axes turned a quarter about the file's z: X = (0, 1, 0), Y = (-1, 0, 0),
    // origin (10, 0, 0). The file point (10, 2, 0) lies 2 along X.
    Scene scene = smallScene();
    scene.meshes[0].vertices[0] = {10, 2, 0};
    scene.meshes[0].hasPivot = false;
    Bytes file = encode3ds(scene);
    const std::size_t axes = chunkStart(file, 0x4160);
    const float values[12] = {0, 1, 0, -1, 0, 0, 0, 0, 1, 10, 0, 0};
    for (int i = 0; i < 12; ++i)
        putF32(file, axes + 6 + 4 * std::size_t(i), values[i]);
    const Loaded l = load(file);
    const engine3d::Mesh& m = *l.scene->mesh(0);
    // Rows X, Z, Y with exchanged components; the origin as translation.
    expectNear(m.localTransform.row0, 0, 0, 1);
    expectNear(m.localTransform.row1, 0, 1, 0);
    expectNear(m.localTransform.row2, -1, 0, 0);
    expectNear(m.localTransform.translation, 10, 0, 0);
    expectNear(m.vertices[0], 2, 0, 0);
}

TEST(StudioReader, TracksAreFoundAmongOtherNodeChunks)
{
    // An instance name between the node header and the pivot, as other
    // tools write it.
    Scene scene = smallScene();
    scene.meshes[0].position = {assets::scenes::still({1, 2, 3}), assets::scenes::still({4, 5, 6})};
    scene.meshes[0].position[1].frame = 10;
    const Bytes plain = encode3ds(scene);
    ChunkWriter instance;
    instance.begin(0xB011);
    instance.name("copy");
    instance.end();
    const Bytes file = inserted(plain, chunkStart(plain, 0xB013), instance.bytes());
    const Loaded l = load(file);
    EXPECT_EQ(l.messages.find("inte"), std::string::npos) << l.messages;
    const engine3d::Mesh& m = *l.scene->mesh(0);
    expectNear(m.pivot, 1, 3, 2);
    EXPECT_EQ(m.positionTrack.keyCount(), 2);
    EXPECT_EQ(m.rotationTrack.keyCount(), 1);
    EXPECT_EQ(m.scaleTrack.keyCount(), 1);
    expectNear(m.positionTrack.keys[1].value, 4, 6, 5);
}

TEST(StudioReader, EditorSectionIsFoundWhereverItStarts)
{
    // Some writers leave out the version chunk and the editor's own
    // settings: the first object is then at offset 12, not 22.
    const Bytes file = without(without(without(smallFile(), 0x0002), 0x3D3E), 0x0100);
    ASSERT_EQ(chunkStart(file, 0x4000), 12u);
    const Loaded l = load(file);
    EXPECT_EQ(l.messages.find("inte"), std::string::npos) << l.messages;
    ASSERT_EQ(l.scene->meshCount(), 1);
    EXPECT_EQ(l.scene->cameraCount(), 1);
    EXPECT_EQ(l.scene->mesh(0)->rotationTrack.keyCount(), 1);
}

TEST(StudioReader, LastFrameCoversEveryTrack)
{
    struct Case {
        const char* track;
        void (*raise)(Scene&);
    } cases[] = {
        {"position", [](Scene& s) { s.meshes[0].position[0].frame = 11; }},
        {"rotation", [](Scene& s) { s.meshes[0].rotation[0].frame = 11; }},
        {"scale", [](Scene& s) { s.meshes[0].scale[0].frame = 11; }},
        {"camera position", [](Scene& s) { s.camera.position[0].frame = 11; }},
        {"target", [](Scene& s) { s.camera.target[0].frame = 11; }},
        {"field of view", [](Scene& s) { s.camera.fov[0].frame = 11; }},
        {"roll", [](Scene& s) { s.camera.roll[0].frame = 11; }},
    };
    for (const Case& c : cases) {
        Scene scene = smallScene();
        c.raise(scene);
        EXPECT_EQ(load(encode3ds(scene)).scene->lastFrame(), 11) << c.track;
    }
    EXPECT_EQ(load(smallFile()).scene->lastFrame(), 0);
}

TEST(StudioReader, MissingChunksAndTheirMessages)
{
    struct Case {
        const char* what;
        Bytes file;
        const char* message; // the scan's text for it
        int meshes, cameras;
    };
    const Bytes plain = smallFile();
    Bytes noMeshData = plain;
    putU32(noMeshData, chunkStart(plain, 0x4100) + 2, 2); // too short to be a chunk
    const Case cases[] = {
        {"no vertex list", renamed(plain, 0x4110), "\nHittar inte vertexdatan...", 0, 1},
        {"no face list", renamed(plain, 0x4120), "\nHittar inte polygondatan...", 0, 1},
        {"no mesh data", noMeshData, "\nKunde inte hitta meshdatan...", 0, 1},
        {"no mapping", renamed(plain, 0x4140), "\nkunde inte hitta några mappingkoordinater...", 1, 1},
        {"no local axes", renamed(plain, 0x4160), "\nkunde inte hitta translationsmatrisen...", 1, 1},
        {"no object node", renamed(plain, 0xB002), "\nKeyframedata till Tri lästes inte korrekt...", 1, 1},
        {"no target node", renamed(plain, 0xB004), "\nKeyframedatan till Cam lästes inte korrekt...", 1, 1},
        {"a light", renamed(plain, 0x4700, 0x4600), "\n\nObjekt Cam hittat...Okänt objekt hittat...", 1, 0},
    };
    for (const Case& c : cases) {
        const Loaded l = load(c.file);
        EXPECT_NE(l.messages.find(c.message), std::string::npos) << c.what << ": " << l.messages;
        EXPECT_EQ(l.scene->meshCount(), c.meshes) << c.what;
        EXPECT_EQ(l.scene->cameraCount(), c.cameras) << c.what;
    }
}

TEST(StudioReader, WhatMeshesAndCamerasKeepWithoutOptionalChunks)
{
    // No local axes: identity axes at the origin. No mapping: corners at 0.
    const Loaded noAxes = load(renamed(renamed(smallFile(), 0x4160), 0x4140));
    expectNear(noAxes.scene->mesh(0)->vertices[1], 4 - 1, 6 - 3, 5 - 2);
    EXPECT_EQ(noAxes.scene->mesh(0)->faces[0].uv[0].u, 0.0f);
    // A camera without keys is evaluated where the file stores it.
    const Loaded noKeys = load(renamed(renamed(smallFile(), 0xB003), 0xB004));
    engine3d::Camera& cam = *noKeys.scene->camera(0);
    expectNear(cam.positionAt(5.0f), 10, 30, 20);
    expectNear(cam.targetAt(5.0f), 0, 0, 0);
}

TEST(StudioReader, IndicesBeyondTheirListsAreNotFollowed)
{
    Scene two = smallScene();
    two.meshes[0].faces.push_back({2, 1, 0});
    Bytes file = encode3ds(two);
    putU16(file, chunkStart(file, 0x4120) + 8, 3); // face 0 names vertex 3 of 3
    putU16(file, chunkStart(file, 0x4140) + 6, 1); // one mapping pair for three vertices
    const Loaded l = load(file);
    const engine3d::Mesh& m = *l.scene->mesh(0);
    ASSERT_EQ(m.faceCount(), 1); // the broken face is dropped
    EXPECT_EQ(m.faces[0].uv[0].u, 0.0f); // vertex 2 has no pair
    EXPECT_EQ(m.faces[0].uv[2].u, 128.0f);
}

TEST(StudioReader, CountsAreUnsigned)
{
    ChunkWriter w;
    w.begin(0x4D4D);
    w.begin(0x0002);
    w.u32(3);
    w.end();
    w.begin(0x3D3D);
    w.begin(0x4000);
    w.name("Big");
    w.begin(0x4100);
    w.begin(0x4110);
    const int vertices = 40000;
    w.u16(std::uint16_t(vertices));
    for (int i = 0; i < vertices; ++i) {
        w.f32(float(i));
        w.f32(0);
        w.f32(0);
    }
    w.end();
    w.begin(0x4120);
    w.u16(1);
    for (std::uint16_t index : {0, 39999, 39998, 0})
        w.u16(index);
    w.end();
    w.end();
    w.end();
    w.end();
    w.end();
    const Loaded l = load(w.bytes());
    ASSERT_EQ(l.scene->meshCount(), 1);
    EXPECT_EQ(l.scene->mesh(0)->vertexCount(), vertices);
    ASSERT_EQ(l.scene->mesh(0)->faceCount(), 1);
    EXPECT_EQ(l.scene->mesh(0)->faces[0].corners[1]->sourceIndex, 39999u);
}

TEST(StudioReader, FilesThatCannotBeRead)
{
    std::ostringstream out;
    engine3d::Scene3D missing("no/such\\file.3ds", out);
    EXPECT_EQ(out.str(), "\nKunde inte hitta filen no/such\\file.3ds");
    EXPECT_EQ(missing.readResult(), engine3d::ReadResult::NotOpened);
    EXPECT_EQ(missing.meshCount(), 0);
    // Too short to hold anything: scanned, nothing found.
    const Loaded tiny = load(Bytes{0x4d, 0x4d, 6, 0});
    EXPECT_EQ(tiny.scene->readResult(), engine3d::ReadResult::Done);
    EXPECT_EQ(tiny.scene->meshCount() + tiny.scene->cameraCount(), 0);
}

} // namespace
