// Encoding of a generator scene as a 3D Studio file. The layout is the one
// common 3D Studio readers expect:
//
//   0x4D4D main
//     0x0002 version
//     0x3D3D editor
//       0x3D3E mesh version, 0x0100 master scale
//       0xAFFF material ... (name, colours, texture map)
//       0x4000 named object (name)
//         0x4100 triangle mesh
//           0x4110 vertex list, 0x4140 mapping coordinates, 0x4160 local axes
//           0x4120 face list (+ 0x4130 material faces, 0x4150 smoothing groups)
//       0x4000 named object (camera name)
//         0x4700 camera: position, target, roll, lens
//     0xB000 keyframer
//       0xB00A header, 0xB008 segment, 0xB009 current time
//       0xB002 object node per mesh: 0xB030 id, 0xB010 header, [0xB013 pivot],
//              0xB020 position, 0xB021 rotation, 0xB022 scale
//       0xB003 camera node: 0xB030, 0xB010, 0xB020 position, 0xB023 fov, 0xB024 roll
//       0xB004 camera target node: 0xB030, 0xB010, 0xB020 position
//
// The version chunk is 10 bytes, so the editor's first child starts at
// offset 22, and the tracks of a node follow its header directly, in the
// order above: readers that take tracks by position find them.
#include "assets/scenes/chunk_writer.h"
#include "assets/scenes/scene_model.h"

#include <cmath>
#include <stdexcept>

namespace assets::scenes {
namespace {

void vec(ChunkWriter& w, V3 v)
{
    w.f32(float(v.x));
    w.f32(float(v.y));
    w.f32(float(v.z));
}

void colour24(ChunkWriter& w, std::uint16_t id, std::uint32_t rgb)
{
    w.begin(id);
    w.begin(0x0011);
    w.u8(std::uint8_t(rgb >> 16));
    w.u8(std::uint8_t(rgb >> 8));
    w.u8(std::uint8_t(rgb));
    w.end();
    w.end();
}

std::uint16_t keyFlags(const KeyShape& s)
{
    std::uint16_t f = 0;
    if (s.tension != 0)
        f |= 1;
    if (s.continuity != 0)
        f |= 2;
    if (s.bias != 0)
        f |= 4;
    if (s.easeTo != 0)
        f |= 8;
    if (s.easeFrom != 0)
        f |= 16;
    return f;
}

void keyHead(ChunkWriter& w, std::int32_t frame, const KeyShape& s)
{
    w.u32(std::uint32_t(frame));
    const std::uint16_t f = keyFlags(s);
    w.u16(f);
    if (f & 1)
        w.f32(float(s.tension));
    if (f & 2)
        w.f32(float(s.continuity));
    if (f & 4)
        w.f32(float(s.bias));
    if (f & 8)
        w.f32(float(s.easeTo));
    if (f & 16)
        w.f32(float(s.easeFrom));
}

void trackHead(ChunkWriter& w, std::uint16_t id, std::size_t keys)
{
    if (keys == 0)
        throw std::invalid_argument("every written track needs at least one key");
    w.begin(id);
    w.u16(0x0003); // track flags: loop
    w.u32(0);
    w.u32(0);
    w.u32(std::uint32_t(keys));
}

void positionTrack(ChunkWriter& w, std::uint16_t id, const std::vector<PositionKey>& keys)
{
    trackHead(w, id, keys.size());
    for (const PositionKey& k : keys) {
        keyHead(w, k.frame, k.shape);
        vec(w, k.value);
    }
    w.end();
}

void rotationTrack(ChunkWriter& w, const std::vector<RotationKey>& keys)
{
    trackHead(w, 0xB021, keys.size());
    for (const RotationKey& k : keys) {
        keyHead(w, k.frame, k.shape);
        w.f32(float(k.angle));
        // Readers build the quaternion from the axis as given: store it unit length.
        const double len = std::sqrt(k.axis.x * k.axis.x + k.axis.y * k.axis.y + k.axis.z * k.axis.z);
        if (len <= 0.0)
            throw std::invalid_argument("rotation key with a zero axis");
        vec(w, k.axis * (1.0 / len));
    }
    w.end();
}

void scalarTrack(ChunkWriter& w, std::uint16_t id, const std::vector<ScalarKey>& keys)
{
    trackHead(w, id, keys.size());
    for (const ScalarKey& k : keys) {
        keyHead(w, k.frame, k.shape);
        w.f32(float(k.value));
    }
    w.end();
}

void nodeHeader(ChunkWriter& w, std::uint16_t nodeId, const std::string& name)
{
    w.begin(0xB030);
    w.u16(nodeId);
    w.end();
    w.begin(0xB010);
    w.name(name);
    w.u16(0);      // flags
    w.u16(0);      // flags
    w.u16(0xffff); // parent: none
    w.end();
}

void material(ChunkWriter& w, const Material& m)
{
    w.begin(0xAFFF);
    w.begin(0xA000);
    w.name(m.name);
    w.end();
    colour24(w, 0xA010, (m.diffuse >> 2) & 0x3f3f3f);
    colour24(w, 0xA020, m.diffuse);
    colour24(w, 0xA030, 0xffffff);
    if (!m.textureFile.empty()) {
        w.begin(0xA200);
        w.begin(0x0030); // strength in percent
        w.u16(100);
        w.end();
        w.begin(0xA300);
        w.name(m.textureFile);
        w.end();
        w.end();
    }
    w.end();
}

void mesh(ChunkWriter& w, const Mesh& m)
{
    if (m.mapping.size() != m.vertices.size())
        throw std::invalid_argument("mesh " + m.name + ": one mapping pair per vertex is needed");
    if (m.vertices.empty() || m.faces.empty() || m.vertices.size() > 32767 || m.faces.size() > 32767)
        throw std::invalid_argument("mesh " + m.name + ": vertex or face count out of range");
    for (const auto& f : m.faces)
        for (std::uint16_t i : f)
            if (i >= m.vertices.size())
                throw std::invalid_argument("mesh " + m.name + ": face refers to a missing vertex");

    w.begin(0x4000);
    w.name(m.name);
    w.begin(0x4100);

    w.begin(0x4110);
    w.u16(std::uint16_t(m.vertices.size()));
    for (const V3& v : m.vertices)
        vec(w, v);
    w.end();

    w.begin(0x4140);
    w.u16(std::uint16_t(m.mapping.size()));
    for (const UV& t : m.mapping) {
        w.f32(float(t.u));
        w.f32(float(t.v));
    }
    w.end();

    w.begin(0x4160);
    vec(w, {1, 0, 0});
    vec(w, {0, 1, 0});
    vec(w, {0, 0, 1});
    vec(w, m.origin);
    w.end();

    w.begin(0x4120);
    w.u16(std::uint16_t(m.faces.size()));
    for (const auto& f : m.faces) {
        w.u16(f[0]);
        w.u16(f[1]);
        w.u16(f[2]);
        w.u16(0x0007); // all three edges visible
    }
    if (!m.material.empty()) {
        w.begin(0x4130);
        w.name(m.material);
        w.u16(std::uint16_t(m.faces.size()));
        for (std::size_t i = 0; i < m.faces.size(); ++i)
            w.u16(std::uint16_t(i));
        w.end();
    }
    w.begin(0x4150);
    for (std::size_t i = 0; i < m.faces.size(); ++i)
        w.u32(m.smoothing);
    w.end();
    w.end(); // 0x4120

    w.end(); // 0x4100
    w.end(); // 0x4000
}

V3 firstValue(const std::vector<PositionKey>& keys) { return keys.empty() ? V3{} : keys.front().value; }

} // namespace

std::vector<std::uint8_t> encode3ds(const Scene& scene)
{
    const Camera& cam = scene.camera;
    if (cam.position.empty() || cam.target.empty() || cam.fov.empty() || cam.roll.empty())
        throw std::invalid_argument("the scene camera needs position, target, fov and roll keys");

    ChunkWriter w;
    w.begin(0x4D4D);
    w.begin(0x0002);
    w.u32(3);
    w.end();

    w.begin(0x3D3D);
    w.begin(0x3D3E);
    w.u32(3);
    w.end();
    w.begin(0x0100);
    w.f32(1.0f);
    w.end();
    for (const Material& m : scene.materials)
        material(w, m);
    for (const Mesh& m : scene.meshes)
        mesh(w, m);
    w.begin(0x4000);
    w.name(cam.name);
    w.begin(0x4700);
    vec(w, firstValue(cam.position));
    vec(w, firstValue(cam.target));
    w.f32(float(cam.roll.front().value));
    w.f32(float(cam.lens));
    w.end();
    w.end();
    w.end(); // 0x3D3D

    w.begin(0xB000);
    w.begin(0xB00A);
    w.u16(5);
    w.name("SCENE");
    w.u32(std::uint32_t(scene.lastFrame));
    w.end();
    w.begin(0xB008);
    w.u32(0);
    w.u32(std::uint32_t(scene.lastFrame));
    w.end();
    w.begin(0xB009);
    w.u32(0);
    w.end();

    std::uint16_t nodeId = 0;
    for (const Mesh& m : scene.meshes) {
        w.begin(0xB002);
        nodeHeader(w, nodeId++, m.name);
        if (m.hasPivot) {
            w.begin(0xB013);
            vec(w, m.pivot);
            w.end();
        }
        positionTrack(w, 0xB020, m.position);
        rotationTrack(w, m.rotation);
        positionTrack(w, 0xB022, m.scale);
        w.end();
    }
    w.begin(0xB003);
    nodeHeader(w, nodeId++, cam.name);
    positionTrack(w, 0xB020, cam.position);
    scalarTrack(w, 0xB023, cam.fov);
    scalarTrack(w, 0xB024, cam.roll);
    w.end();
    w.begin(0xB004);
    nodeHeader(w, nodeId++, cam.name);
    positionTrack(w, 0xB020, cam.target);
    w.end();
    w.end(); // 0xB000

    w.end(); // 0x4D4D
    return w.bytes();
}

} // namespace assets::scenes
