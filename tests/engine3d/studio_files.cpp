#include "tests/engine3d/studio_files.h"

#include <cstring>
#include <functional>
#include <sstream>

namespace studio_files {

using namespace assets::scenes;

Scene smallScene()
{
    Scene s;
    Mesh m;
    m.name = "Tri";
    m.vertices = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
    m.mapping = {{0.5, 0.25}, {0, 0}, {1, 1}};
    m.faces = {{0, 1, 2}};
    m.hasPivot = true;
    m.pivot = {1, 2, 3};
    m.position = {still({0, 0, 0})};
    m.rotation = {RotationKey{}};
    m.scale = {still({1, 1, 1})};
    s.meshes = {m};
    s.camera.name = "Cam";
    s.camera.position = {still({10, 20, 30})};
    s.camera.target = {still({0, 0, 0})};
    s.camera.fov = {ScalarKey{0, 45, {}}};
    s.camera.roll = {ScalarKey{0, 0, {}}};
    return s;
}

Loaded load(const Bytes& file)
{
    std::ostringstream out;
    auto scene = std::make_unique<engine3d::Scene3D>(file.data(), file.size(), "mem.3ds", out);
    return Loaded{std::move(scene), out.str()};
}

const scenes_walk::Chunk* findChunk(const scenes_walk::Chunk& root, std::uint16_t id)
{
    if (root.id == id)
        return &root;
    for (const scenes_walk::Chunk& c : root.children)
        if (const scenes_walk::Chunk* found = findChunk(c, id))
            return found;
    return nullptr;
}

std::size_t chunkStart(const Bytes& file, std::uint16_t id)
{
    const scenes_walk::File walked(file);
    const scenes_walk::Chunk* c = findChunk(walked.root(), id);
    if (!c)
        throw std::invalid_argument("no such chunk in the file");
    return c->start;
}

Bytes renamed(Bytes file, std::uint16_t id, std::uint16_t newId)
{
    putU16(file, chunkStart(file, id), newId);
    return file;
}

namespace {
// Changes the length of every chunk that encloses `offset` by `delta`.
void resizeEnclosing(const Bytes& file, Bytes& out, std::size_t offset, std::ptrdiff_t delta)
{
    const scenes_walk::File walked(file);
    std::function<void(const scenes_walk::Chunk&)> visit = [&](const scenes_walk::Chunk& c) {
        if (c.start < offset && offset < c.end)
            putU32(out, c.start + 2, std::uint32_t(std::ptrdiff_t(c.end - c.start) + delta));
        for (const scenes_walk::Chunk& child : c.children)
            visit(child);
    };
    visit(walked.root());
}
} // namespace

Bytes inserted(const Bytes& file, std::size_t offset, const Bytes& chunk)
{
    Bytes out = file;
    resizeEnclosing(file, out, offset, std::ptrdiff_t(chunk.size()));
    out.insert(out.begin() + std::ptrdiff_t(offset), chunk.begin(), chunk.end());
    return out;
}

Bytes without(const Bytes& file, std::uint16_t id)
{
    const scenes_walk::File walked(file);
    const scenes_walk::Chunk* c = findChunk(walked.root(), id);
    if (!c)
        throw std::invalid_argument("no such chunk in the file");
    Bytes out = file;
    resizeEnclosing(file, out, c->start, -std::ptrdiff_t(c->end - c->start));
    out.erase(out.begin() + std::ptrdiff_t(c->start), out.begin() + std::ptrdiff_t(c->end));
    return out;
}

void putU16(Bytes& file, std::size_t at, std::uint16_t v)
{
    file.at(at) = std::uint8_t(v);
    file.at(at + 1) = std::uint8_t(v >> 8);
}

void putU32(Bytes& file, std::size_t at, std::uint32_t v)
{
    putU16(file, at, std::uint16_t(v));
    putU16(file, at + 2, std::uint16_t(v >> 16));
}

void putF32(Bytes& file, std::size_t at, float v)
{
    std::uint32_t bits;
    std::memcpy(&bits, &v, 4);
    putU32(file, at, bits);
}

} // namespace studio_files
