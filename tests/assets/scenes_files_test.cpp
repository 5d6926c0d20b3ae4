// The two 3D Studio scenes as files: a clean chunk tree in the layout the
// demo's reader walks (editor children from offset 22, node tracks taken by
// position), meshes and tracks that make sense, loops that close, cameras
// that look at the scene, and settings files that use every drawing kind.
#include "assets/generator.h"
#include "assets/scenes/scenes.h"
#include "tests/assets/scenes_chunk_walk.h"
#include "tests/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using scenes_walk::Chunk;
using scenes_walk::File;

std::vector<std::uint8_t> readFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const fs::path& generated()
{
    static const testing_support::ScratchDir dir("assets_scenes_files_test");
    static const bool written = (assets::writeScenes(dir.path()), true);
    (void)written;
    return dir.path();
}

struct SceneCase {
    const char* file;
    const char* settings;
    std::int32_t loop;
    double focalLength; // what the demo sets on camera 0
    const char* centrePiece;
};
const SceneCase cases[] = {
    {"boll.3ds", "boll.ini", assets::scenes::ballLoop, 50.0, "Boll"},
    {"disco.3ds", "disco.ini", assets::scenes::discoLoop, 350.0, "Kula"},
};

struct Loaded {
    std::unique_ptr<File> file;
    const Chunk* editor = nullptr;
    const Chunk* keyframer = nullptr;
};

Loaded load(const SceneCase& c)
{
    Loaded l;
    l.file = std::make_unique<File>(readFile(generated() / c.file));
    const Chunk& root = l.file->root();
    l.editor = scenes_walk::child(root, 0x3D3D);
    l.keyframer = scenes_walk::child(root, 0xB000);
    return l;
}

struct Q {
    double w, x, y, z;
};
Q mul(Q p, Q q)
{
    return {p.w * q.w - p.x * q.x - p.y * q.y - p.z * q.z, p.w * q.x + q.w * p.x + p.y * q.z - p.z * q.y,
            p.w * q.y + q.w * p.y + p.z * q.x - p.x * q.z, p.w * q.z + q.w * p.z + p.x * q.y - p.y * q.x};
}

TEST(ScenesFiles, ChunkTreeIsCleanAndEditorChildrenStartAtOffset22)
{
    for (const SceneCase& c : cases) {
        Loaded l = load(c);
        EXPECT_TRUE(l.file->problems().empty()) << c.file << ": " << (l.file->problems().empty() ? "" : l.file->problems()[0]);
        const Chunk& root = l.file->root();
        EXPECT_EQ(root.id, 0x4D4D) << c.file;
        ASSERT_GE(root.children.size(), 3u) << c.file;
        // Version chunk of 10 bytes, then the editor: its first child at 22.
        EXPECT_EQ(root.children[0].id, 0x0002);
        EXPECT_EQ(root.children[0].end - root.children[0].start, 10u);
        ASSERT_NE(l.editor, nullptr);
        EXPECT_EQ(l.editor->start, 16u);
        ASSERT_FALSE(l.editor->children.empty());
        EXPECT_EQ(l.editor->children[0].start, 22u);
        // The keyframer follows the editor directly, so a walk from 22 that
        // steps over whole chunks reaches it.
        ASSERT_NE(l.keyframer, nullptr);
        EXPECT_EQ(l.keyframer->start, l.editor->end) << c.file;
    }
}

TEST(ScenesFiles, MeshesHaveVerticesFacesMappingAndAxes)
{
    for (const SceneCase& c : cases) {
        Loaded l = load(c);
        ASSERT_NE(l.editor, nullptr);
        int meshes = 0, cameras = 0;
        for (const Chunk* obj : scenes_walk::children(*l.editor, 0x4000)) {
            const std::string name = l.file->name(obj->start + 6);
            EXPECT_LT(name.size(), 80u);
            ASSERT_EQ(obj->children.size(), 1u) << name;
            const Chunk& body = obj->children[0];
            // The reader looks at the chunk right behind the name.
            EXPECT_EQ(body.start, obj->start + 6 + name.size() + 1) << name;
            if (body.id == 0x4700) {
                ++cameras;
                EXPECT_GE(body.end - body.start, 6u + 6 * 4) << name;
                continue;
            }
            ASSERT_EQ(body.id, 0x4100) << name;
            ++meshes;
            const Chunk* verts = scenes_walk::child(body, 0x4110);
            const Chunk* faces = scenes_walk::child(body, 0x4120);
            const Chunk* map = scenes_walk::child(body, 0x4140);
            const Chunk* axes = scenes_walk::child(body, 0x4160);
            ASSERT_TRUE(verts && faces && map && axes) << name;
            const int nv = l.file->u16(verts->start + 6), nf = l.file->u16(faces->start + 6);
            EXPECT_GT(nv, 2);
            EXPECT_LT(nv, 32768);
            EXPECT_GT(nf, 0);
            EXPECT_LT(nf, 32768);
            EXPECT_EQ(verts->end - verts->start, 8u + 12u * std::size_t(nv)) << name;
            EXPECT_EQ(l.file->u16(map->start + 6), nv) << name;
            EXPECT_EQ(map->end - map->start, 8u + 8u * std::size_t(nv)) << name;
            EXPECT_EQ(axes->end - axes->start, 6u + 48u) << name;
            for (int f = 0; f < nf; ++f)
                for (int k = 0; k < 3; ++k)
                    EXPECT_LT(l.file->u16(faces->start + 8 + std::size_t(f) * 8 + std::size_t(k) * 2), nv) << name;
            for (int i = 0; i < nv * 3; ++i)
                EXPECT_TRUE(std::isfinite(l.file->f32(verts->start + 8 + std::size_t(i) * 4))) << name;
        }
        EXPECT_GE(meshes, 3) << c.file;
        EXPECT_EQ(cameras, 1) << c.file;
    }
}

// Closed meshes wind their faces counter-clockwise seen from outside: their
// signed volume is positive. With the reader's exchange of y and z and the
// camera's axes, exactly those faces pass the drawing side's facing test
// when they face the camera.
TEST(ScenesFiles, ClosedMeshesFaceOutwardAndTheFloorFacesUp)
{
    for (const SceneCase& c : cases) {
        Loaded l = load(c);
        for (const Chunk* obj : scenes_walk::children(*l.editor, 0x4000)) {
            const std::string name = l.file->name(obj->start + 6);
            const Chunk& body = obj->children[0];
            if (body.id != 0x4100)
                continue;
            const Chunk* verts = scenes_walk::child(body, 0x4110);
            const Chunk* faces = scenes_walk::child(body, 0x4120);
            auto vertex = [&](int i, int k) { return double(l.file->f32(verts->start + 8 + std::size_t(i) * 12 + std::size_t(k) * 4)); };
            double volume = 0;
            int down = 0;
            const int nf = l.file->u16(faces->start + 6);
            for (int f = 0; f < nf; ++f) {
                int idx[3];
                for (int k = 0; k < 3; ++k)
                    idx[k] = l.file->u16(faces->start + 8 + std::size_t(f) * 8 + std::size_t(k) * 2);
                double a[3], b[3], d[3];
                for (int k = 0; k < 3; ++k) {
                    a[k] = vertex(idx[0], k);
                    b[k] = vertex(idx[1], k);
                    d[k] = vertex(idx[2], k);
                }
                volume += a[0] * (b[1] * d[2] - b[2] * d[1]) - a[1] * (b[0] * d[2] - b[2] * d[0]) +
                          a[2] * (b[0] * d[1] - b[1] * d[0]);
                const double nz = (b[0] - a[0]) * (d[1] - a[1]) - (b[1] - a[1]) * (d[0] - a[0]);
                down += nz <= 0;
            }
            if (name == "Golv") {
                EXPECT_EQ(down, 0) << "floor faces not facing up";
            } else if (name.rfind("Laser", 0) != 0) { // the laser fans are open, drawn as lines
                EXPECT_GT(volume, 0.0) << c.file << " " << name;
            }
        }
    }
}

// Object nodes: header, optional pivot, then position, rotation and scale
// tracks with nothing between, as the demo's reader takes them by position.
TEST(ScenesFiles, KeyframerNodesHoldTheirTracksInOrder)
{
    for (const SceneCase& c : cases) {
        Loaded l = load(c);
        ASSERT_NE(l.keyframer, nullptr);
        std::vector<std::string> meshNames, nodeNames;
        std::string cameraName;
        for (const Chunk* obj : scenes_walk::children(*l.editor, 0x4000)) {
            const std::string name = l.file->name(obj->start + 6);
            (obj->children[0].id == 0x4100 ? meshNames.push_back(name) : (void)(cameraName = name));
        }
        auto following = [&](const Chunk& node) {
            // The chunks from the one right behind the node header's name + 6 bytes.
            const Chunk* header = scenes_walk::child(node, 0xB010);
            EXPECT_NE(header, nullptr);
            const std::string name = l.file->name(header->start + 6);
            EXPECT_EQ(header->end, header->start + 6 + name.size() + 1 + 6);
            std::vector<std::uint16_t> ids;
            bool after = false;
            for (const Chunk& k : node.children) {
                if (after)
                    ids.push_back(k.id);
                after = after || &k == header;
            }
            return std::pair(name, ids);
        };
        for (const Chunk* node : scenes_walk::children(*l.keyframer, 0xB002)) {
            auto [name, ids] = following(*node);
            nodeNames.push_back(name);
            if (!ids.empty() && ids[0] == 0xB013)
                ids.erase(ids.begin());
            EXPECT_EQ(ids, (std::vector<std::uint16_t>{0xB020, 0xB021, 0xB022})) << name;
        }
        EXPECT_EQ(nodeNames, meshNames) << c.file;
        const auto camNodes = scenes_walk::children(*l.keyframer, 0xB003);
        const auto targetNodes = scenes_walk::children(*l.keyframer, 0xB004);
        ASSERT_EQ(camNodes.size(), 1u);
        ASSERT_EQ(targetNodes.size(), 1u);
        auto [camName, camIds] = following(*camNodes[0]);
        EXPECT_EQ(camName, cameraName);
        EXPECT_EQ(camIds, (std::vector<std::uint16_t>{0xB020, 0xB023, 0xB024}));
        auto [targetName, targetIds] = following(*targetNodes[0]);
        EXPECT_EQ(targetName, cameraName);
        EXPECT_EQ(targetIds, (std::vector<std::uint16_t>{0xB020}));
    }
}

// Tracks parse exactly, frames rise, the last key frame of the file is the
// loop length, and every animated track ends where it began.
TEST(ScenesFiles, TracksLoopSeamlessly)
{
    for (const SceneCase& c : cases) {
        Loaded l = load(c);
        std::int32_t lastFrame = 0;
        int rotating = 0, moving = 0;
        bool usesTcb = false, usesEase = false;
        for (std::uint16_t nodeId : {std::uint16_t(0xB002), std::uint16_t(0xB003), std::uint16_t(0xB004)})
            for (const Chunk* node : scenes_walk::children(*l.keyframer, nodeId))
                for (const Chunk& t : node->children) {
                    const int values = t.id == 0xB021 ? 4 : (t.id == 0xB023 || t.id == 0xB024) ? 1 : 3;
                    if (t.id < 0xB020 || t.id > 0xB024)
                        continue;
                    const auto keys = l.file->track(t, values);
                    ASSERT_FALSE(keys.empty());
                    EXPECT_EQ(keys.front().frame, 0);
                    for (std::size_t i = 0; i < keys.size(); ++i) {
                        if (i > 0) {
                            EXPECT_GT(keys[i].frame, keys[i - 1].frame);
                        }
                        lastFrame = std::max(lastFrame, keys[i].frame);
                        usesTcb = usesTcb || (keys[i].flags & 7) != 0;
                        usesEase = usesEase || (keys[i].flags & 24) != 0;
                    }
                    if (keys.size() < 2)
                        continue;
                    EXPECT_EQ(keys.back().frame, c.loop) << c.file;
                    if (t.id == 0xB020 || t.id == 0xB022) {
                        ++moving;
                        for (int k = 0; k < 3; ++k)
                            EXPECT_NEAR(keys.back().value[std::size_t(k)], keys.front().value[std::size_t(k)], 1e-3);
                    }
                    if (t.id == 0xB021) {
                        ++rotating;
                        // Relative axis-angle keys: their product over the loop is
                        // a whole number of turns, so the last pose is the first.
                        Q total{1, 0, 0, 0};
                        for (std::size_t i = 1; i < keys.size(); ++i) {
                            const auto& v = keys[i].value;
                            const double len = std::sqrt(double(v[1]) * v[1] + double(v[2]) * v[2] + double(v[3]) * v[3]);
                            EXPECT_NEAR(len, 1.0, 1e-6);
                            const double h = v[0] * 0.5;
                            total = mul(Q{std::cos(h), v[1] * std::sin(h), v[2] * std::sin(h), v[3] * std::sin(h)}, total);
                        }
                        EXPECT_NEAR(std::fabs(total.w), 1.0, 1e-5) << c.file;
                    }
                }
        EXPECT_EQ(lastFrame, c.loop) << c.file;
        EXPECT_GT(rotating, 0);
        EXPECT_GT(moving, 0);
        EXPECT_TRUE(usesTcb) << c.file;
        (void)usesEase;
        EXPECT_TRUE(l.file->problems().empty()) << c.file;
    }
}

// Simple profile reading for the test: sections and key=value lines.
std::map<std::string, std::map<std::string, std::string>> readIni(const fs::path& p)
{
    std::map<std::string, std::map<std::string, std::string>> out;
    std::ifstream in(p);
    std::string line, section;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            section = line.substr(1, line.find(']') - 1);
            out[section];
            continue;
        }
        const auto eq = line.find('=');
        if (eq != std::string::npos)
            out[section][line.substr(0, eq)] = line.substr(eq + 1);
    }
    return out;
}

TEST(ScenesFiles, SettingsUseEveryDrawingKindAndExistingTextures)
{
    std::set<int> kinds; // 0 textured, 1 perspective, 2 wireframe, 3 flat
    std::set<std::string> textureNames;
    for (const auto& t : assets::scenes::textureFiles())
        textureNames.insert("data/" + t.name);
    for (const SceneCase& c : cases) {
        const auto ini = readIni(generated() / c.settings);
        ASSERT_TRUE(ini.count("Default")) << c.settings;
        ASSERT_TRUE(ini.at("Default").count("Textur"));
        ASSERT_TRUE(ini.at("Default").count("Typ"));
        Loaded l = load(c);
        std::set<std::string> meshNames;
        for (const Chunk* obj : scenes_walk::children(*l.editor, 0x4000))
            if (obj->children[0].id == 0x4100)
                meshNames.insert(l.file->name(obj->start + 6));
        for (const auto& [section, keys] : ini)
            if (section != "Default") {
                EXPECT_TRUE(meshNames.count(section)) << c.settings << ": section for no mesh: " << section;
            }
        for (const std::string& mesh : meshNames) {
            const auto& own = ini.count(mesh) ? ini.at(mesh) : ini.at("Default");
            const std::string texture = own.count("Textur") ? own.at("Textur") : ini.at("Default").at("Textur");
            const int typ = std::stoi(own.count("Typ") ? own.at("Typ") : ini.at("Default").at("Typ"));
            kinds.insert(typ >= 1 && typ <= 3 ? typ : 0);
            EXPECT_TRUE(textureNames.count(texture)) << mesh << " names " << texture;
            EXPECT_LT(texture.size(), 80u);
        }
        // Some mesh takes its drawing from the Default section.
        bool defaulted = false;
        for (const std::string& mesh : meshNames)
            defaulted = defaulted || !ini.count(mesh);
        EXPECT_TRUE(defaulted) << c.settings;
    }
    EXPECT_EQ(kinds, (std::set<int>{0, 1, 2, 3}));
    for (const auto& t : assets::scenes::textureFiles()) {
        const assets::Image img = t.make();
        EXPECT_EQ(img.width, 256) << t.name;
        EXPECT_EQ(img.height, 256) << t.name;
    }
}

// The camera looks at the scene: at every camera key, the centre piece lies
// in front of the camera and inside the picture, with the view the demo
// builds (y and z of the file exchanged, world up +y, camera x right, y
// down, z forward; screen = 160 + F x / z, 100 + F y / z) and its focal
// length.
TEST(ScenesFiles, TheCameraKeepsTheCentrePieceInThePicture)
{
    for (const SceneCase& c : cases) {
        Loaded l = load(c);
        auto firstTrack = [&](const Chunk& node, std::uint16_t id) {
            return l.file->track(*scenes_walk::child(node, id), 3);
        };
        const auto camKeys = firstTrack(*scenes_walk::children(*l.keyframer, 0xB003)[0], 0xB020);
        const auto targetKeys = firstTrack(*scenes_walk::children(*l.keyframer, 0xB004)[0], 0xB020);
        std::vector<float> centre;
        for (const Chunk* node : scenes_walk::children(*l.keyframer, 0xB002))
            if (l.file->name(scenes_walk::child(*node, 0xB010)->start + 6) == c.centrePiece) {
                // The position keys place the pivot; the mesh's own origin
                // lies the pivot's length away from it.
                centre = firstTrack(*node, 0xB020).front().value;
                if (const Chunk* pivot = scenes_walk::child(*node, 0xB013))
                    for (int k = 0; k < 3; ++k)
                        centre[std::size_t(k)] -= l.file->f32(pivot->start + 6 + std::size_t(k) * 4);
            }
        ASSERT_EQ(centre.size(), 3u) << c.file;
        auto engine = [](const std::vector<float>& v) { return std::array<double, 3>{v[0], v[2], v[1]}; };
        auto targetAt = [&](std::int32_t frame) {
            for (std::size_t i = 0; i + 1 < targetKeys.size(); ++i)
                if (frame >= targetKeys[i].frame && frame <= targetKeys[i + 1].frame) {
                    const double f = double(frame - targetKeys[i].frame) / (targetKeys[i + 1].frame - targetKeys[i].frame);
                    std::vector<float> v(3);
                    for (int k = 0; k < 3; ++k)
                        v[std::size_t(k)] = float(targetKeys[i].value[std::size_t(k)] * (1 - f) + targetKeys[i + 1].value[std::size_t(k)] * f);
                    return v;
                }
            return targetKeys.front().value;
        };
        for (const auto& key : camKeys) {
            const auto P = engine(key.value), T = engine(targetAt(key.frame)), C = engine(centre);
            auto sub = [](auto a, auto b) { return std::array<double, 3>{a[0] - b[0], a[1] - b[1], a[2] - b[2]}; };
            auto dot = [](auto a, auto b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; };
            auto norm = [&](auto a) { const double s = 1 / std::sqrt(dot(a, a)); return std::array<double, 3>{a[0] * s, a[1] * s, a[2] * s}; };
            const auto f = norm(sub(T, P));
            auto h = sub(sub(T, std::array<double, 3>{0, 1, 0}), P);
            const double fh = dot(f, h);
            h = {h[0] - f[0] * fh, h[1] - f[1] * fh, h[2] - f[2] * fh};
            const auto u = norm(h);
            const std::array<double, 3> r = {f[1] * u[2] - f[2] * u[1], f[2] * u[0] - f[0] * u[2], f[0] * u[1] - f[1] * u[0]};
            const auto d = sub(C, P);
            const double x = dot(d, r), y = dot(d, u), z = dot(d, f);
            ASSERT_GT(z, 10.0) << c.file << " frame " << key.frame;
            const double sx = 160 + c.focalLength * x / z, sy = 100 + c.focalLength * y / z;
            EXPECT_GT(sx, 40) << c.file << " frame " << key.frame;
            EXPECT_LT(sx, 280) << c.file << " frame " << key.frame;
            EXPECT_GT(sy, 20) << c.file << " frame " << key.frame;
            EXPECT_LT(sy, 180) << c.file << " frame " << key.frame;
        }
    }
}

TEST(ScenesEncoder, RefusesMeshesReadersCouldNotFollow)
{
    using namespace assets::scenes;
    Scene s = ballScene();
    Scene bad = s;
    bad.meshes[0].faces[0][1] = std::uint16_t(bad.meshes[0].vertices.size());
    EXPECT_THROW(encode3ds(bad), std::invalid_argument);
    bad = s;
    bad.meshes[0].mapping.pop_back();
    EXPECT_THROW(encode3ds(bad), std::invalid_argument);
    bad = s;
    bad.meshes[0].rotation[0].axis = {0, 0, 0};
    EXPECT_THROW(encode3ds(bad), std::invalid_argument);
    bad = s;
    bad.camera.target.clear();
    EXPECT_THROW(encode3ds(bad), std::invalid_argument);
    bad = s;
    bad.meshes[0].name.assign(80, 'n');
    EXPECT_THROW(encode3ds(bad), std::invalid_argument);
    EXPECT_THROW(sphere("big", {0, 0, 0}, 1.0, 300, 200, 1, 1), std::length_error);
}

} // namespace
