// Loading a scene of several thousand faces (written here with the data
// generator's encoder): the engine's reader against lib3ds, from the same
// bytes in memory and from the same file.
#include "assets/common/tga_writer.h"
#include "assets/scenes/scene_model.h"
#include "engine3d/scene3d.h"

#include <benchmark/benchmark.h>
#include <lib3ds/file.h>
#include <lib3ds/io.h>
#include <lib3ds/mesh.h>

#include <cstdio>
#include <cstring>
#include <malloc.h>
#include <filesystem>
#include <ostream>

namespace {

using namespace assets::scenes;

// Five meshes (about 9,000 faces in all), each with position, rotation and
// scale tracks, and a camera with twelve keys.
const std::vector<std::uint8_t>& sceneBytes()
{
    static const std::vector<std::uint8_t> bytes = [] {
        Scene s;
        s.lastFrame = 1200;
        s.meshes = {sphere("Sphere", {0, 0, 0}, 50, 64, 32, 2, 1), torus("Torus", {0, 0, 0}, 80, 8, 96, 16, 4, 1),
                    floorGrid("Floor", {0, 0, -60}, 300, 24, 4), box("Box", {100, 0, 0}, {10, 10, 10}),
                    cone("Cone", {0, 100, 40}, {0, 100, 0}, 20, 32)};
        for (Mesh& m : s.meshes) {
            m.position = orbit({0, 0, 0}, 10, 0, 0, 1200, 12, 1);
            m.rotation = spin({0, 0, 1}, 2, 1200, 8);
            m.scale = {still({1, 1, 1})};
        }
        s.camera.name = "Camera";
        s.camera.position = orbit({0, 0, 0}, 300, 80, 0, 1200, 12, 1);
        s.camera.target = {still({0, 0, 0})};
        s.camera.fov = {ScalarKey{0, 45, {}}};
        s.camera.roll = {ScalarKey{0, 0, {}}};
        return encode3ds(s);
    }();
    return bytes;
}

std::string scenePath()
{
    static const std::string path = [] {
        const auto p = std::filesystem::temp_directory_path() / "engine3d_bench_scene.3ds";
        assets::writeBytes(p, sceneBytes());
        return p.string();
    }();
    return path;
}

// Both readers free about a megabyte per load. With the C library's usual
// thresholds that memory goes back to the system after every load and is
// faulted in again by the next one, which on this machine costs more than the
// reading itself. Each benchmark runs both ways: "system" with those
// thresholds, "kept" with the memory kept in the process (as in the demo,
// which loads each scene once). All "system" runs are registered first: the
// setting cannot be undone.
void allocator(benchmark::State& state)
{
    const bool keep = state.range(0) != 0;
    if (keep) {
        mallopt(M_TRIM_THRESHOLD, 64 << 20);
        mallopt(M_MMAP_THRESHOLD, 64 << 20);
    }
    state.SetLabel(keep ? "kept" : "system");
}

void countFaces(benchmark::State& state, const engine3d::Scene3D& scene)
{
    int faces = 0;
    for (int i = 0; i < scene.meshCount(); ++i)
        faces += scene.mesh(i)->faceCount();
    state.counters["faces"] = faces;
    state.counters["bytes"] = double(sceneBytes().size());
}

void engineFromMemory(benchmark::State& state)
{
    allocator(state);
    const auto& bytes = sceneBytes();
    std::ostream quiet(nullptr); // the progress messages are not wanted here
    for (auto _ : state) {
        engine3d::Scene3D scene(bytes.data(), bytes.size(), "bench.3ds", quiet);
        benchmark::DoNotOptimize(scene.meshCount());
    }
    countFaces(state, engine3d::Scene3D(bytes.data(), bytes.size(), "bench.3ds", quiet));
}

void engineFromFile(benchmark::State& state)
{
    allocator(state);
    const std::string path = scenePath();
    std::ostream quiet(nullptr);
    for (auto _ : state) {
        engine3d::Scene3D scene(path, quiet);
        benchmark::DoNotOptimize(scene.meshCount());
    }
}

// lib3ds reading through its own io callbacks from the same bytes.
struct MemoryIo {
    const std::vector<std::uint8_t>* bytes;
    long position = 0;
};

Lib3dsBool ioError(void*) { return LIB3DS_FALSE; }
long ioSeek(void* self, long offset, Lib3dsIoSeek origin)
{
    auto* m = static_cast<MemoryIo*>(self);
    const long size = long(m->bytes->size());
    long to = origin == LIB3DS_SEEK_SET ? offset : origin == LIB3DS_SEEK_CUR ? m->position + offset : size + offset;
    if (to < 0 || to > size)
        return -1;
    m->position = to;
    return 0;
}
long ioTell(void* self) { return static_cast<MemoryIo*>(self)->position; }
size_t ioRead(void* self, void* buffer, size_t size)
{
    auto* m = static_cast<MemoryIo*>(self);
    const size_t left = m->bytes->size() - size_t(m->position);
    const size_t n = size < left ? size : left;
    std::memcpy(buffer, m->bytes->data() + m->position, n);
    m->position += long(n);
    return n;
}
size_t ioWrite(void*, const void*, size_t) { return 0; }

void lib3dsFromMemory(benchmark::State& state)
{
    allocator(state);
    for (auto _ : state) {
        MemoryIo memory{&sceneBytes()};
        Lib3dsIo* io = lib3ds_io_new(&memory, ioError, ioSeek, ioTell, ioRead, ioWrite);
        Lib3dsFile* file = lib3ds_file_new();
        if (!lib3ds_file_read(file, io))
            state.SkipWithError("lib3ds could not read the scene");
        int faces = 0;
        for (Lib3dsMesh* m = file->meshes; m; m = m->next)
            faces += int(m->faces);
        state.counters["faces"] = faces;
        lib3ds_file_free(file);
        lib3ds_io_free(io);
    }
}

void lib3dsFromFile(benchmark::State& state)
{
    allocator(state);
    const std::string path = scenePath();
    for (auto _ : state) {
        Lib3dsFile* file = lib3ds_file_load(path.c_str());
        if (!file)
            state.SkipWithError("lib3ds could not load the scene");
        lib3ds_file_free(file);
    }
}

#define LOAD_BENCHMARKS(arg)                                                                                          \
    BENCHMARK(engineFromMemory)->Arg(arg)->Unit(benchmark::kMicrosecond);                                             \
    BENCHMARK(lib3dsFromMemory)->Arg(arg)->Unit(benchmark::kMicrosecond);                                             \
    BENCHMARK(engineFromFile)->Arg(arg)->Unit(benchmark::kMicrosecond);                                               \
    BENCHMARK(lib3dsFromFile)->Arg(arg)->Unit(benchmark::kMicrosecond)
LOAD_BENCHMARKS(0);
LOAD_BENCHMARKS(1);

} // namespace
