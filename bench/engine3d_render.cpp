// The rasterizers per pixel and the 3D Studio scenes per frame. Counters:
// "per_px" is the time per pixel drawn (or, for lines, per step along the
// line). The floor is the least any textured span loop can cost here.
#include "effects/studio_scene_pair.h"
#include "engine3d/aa_line.h"
#include "engine3d/face_drawers.h"
#include "engine3d/perspective_rasterizer.h"
#include "engine3d/polygon_rasterizers.h"
#include "engine3d/scene3d.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <random>
#include <sstream>
#include <vector>

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 200;

struct Target {
    std::vector<std::uint32_t> pixels = std::vector<std::uint32_t>(kWidth * kHeight);
    std::vector<std::int32_t> depth = std::vector<std::int32_t>(kWidth * kHeight, -1);
    std::vector<std::uint32_t> texels = std::vector<std::uint32_t>(256 * 256);

    Target()
    {
        for (std::uint32_t i = 0; i < texels.size(); ++i)
            texels[i] = i * 0x9e3779b9u;
    }
    void clearDepth(benchmark::State& state)
    {
        state.PauseTiming();
        std::fill(depth.begin(), depth.end(), -1);
        state.ResumeTiming();
    }
    engine3d::RasterTarget raster() { return {pixels.data(), depth.data(), kWidth * 4, kWidth, kHeight}; }
};

benchmark::Counter perPixel(double pixels)
{
    return benchmark::Counter(pixels, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

engine3d::ScreenVertex corner(float x, float y, float u, float v, float w)
{
    engine3d::ScreenVertex s;
    s.sx = x;
    s.sy = y;
    s.u = u;
    s.v = v;
    s.w = w;
    s.uz = double(u * w);
    s.vz = double(v * w);
    s.iz = w;
    return s;
}

// The floor: per pixel one texel read, one depth compare and, when nearer,
// two stores; the texel address and depth step as simply as possible.
__attribute__((noinline)) void floorSpan(std::uint32_t* pixels, std::int32_t* depth, int count, std::uint32_t first,
                                         std::uint32_t z, const std::uint32_t* texels)
{
    for (int i = 0; i < count; ++i) {
        const std::uint32_t texel = texels[(first + std::uint32_t(i)) & 0xffffu];
        if (std::int32_t(z) > depth[i]) {
            pixels[i] = texel;
            depth[i] = std::int32_t(z);
        }
        z += 3;
    }
}

void floorLoop(benchmark::State& state)
{
    Target t;
    for (auto _ : state) {
        t.clearDepth(state);
        for (int y = 0; y < kHeight; ++y)
            floorSpan(&t.pixels[y * kWidth], &t.depth[y * kWidth], kWidth, std::uint32_t(y) << 8, 1000, t.texels.data());
        benchmark::ClobberMemory();
    }
    state.counters["per_px"] = perPixel(kWidth * kHeight);
}
BENCHMARK(floorLoop)->Unit(benchmark::kMicrosecond);

// The whole screen as one polygon, tilted in depth: 1/z from 1/100 on the
// left to 1/300 on the right, u from 0 to 512 across, v from 10 to 30 (v/z
// the same everywhere), so that both span routines read the texture alike.
struct FullScreen {
    engine3d::ScreenVertex v[4] = {corner(0, 0, 0, 10, 0.01f), corner(0, 200, 0, 10, 0.01f),
                                   corner(320, 200, 512, 30, 1.0f / 300), corner(320, 0, 512, 30, 1.0f / 300)};
    const engine3d::ScreenVertex* list[4] = {&v[0], &v[1], &v[2], &v[3]};
};

void tmapFullScreen(benchmark::State& state)
{
    Target t;
    FullScreen s;
    for (auto _ : state) {
        t.clearDepth(state);
        engine3d::_tmapasm32b(s.list, 4, 104858, 4096, -34952, t.texels.data(), t.pixels.data(), t.depth.data(), kWidth * 4);
        benchmark::ClobberMemory();
    }
    state.counters["per_px"] = perPixel(kWidth * kHeight);
}
BENCHMARK(tmapFullScreen)->Unit(benchmark::kMicrosecond);

void persphlineFullScreen(benchmark::State& state)
{
    Target t;
    FullScreen s;
    const float dzdx = (1.0f / 300 - 0.01f) / 320;
    const float dudx = (512.0f / 300) / 320;
    for (auto _ : state) {
        t.clearDepth(state);
        engine3d::scanPerspective(s.list, 4, dudx, 0.0f, dzdx, t.texels.data(),
                                  {t.pixels.data(), t.depth.data(), kWidth * 4});
        benchmark::ClobberMemory();
    }
    state.counters["per_px"] = perPixel(kWidth * kHeight);
}
BENCHMARK(persphlineFullScreen)->Unit(benchmark::kMicrosecond);

void flatFullScreen(benchmark::State& state)
{
    Target t;
    FullScreen s;
    for (auto _ : state) {
        t.clearDepth(state);
        engine3d::_flatasm32b(s.list, 4, -34952, 0x204060, t.pixels.data(), t.depth.data(), kWidth * 4);
        benchmark::ClobberMemory();
    }
    state.counters["per_px"] = perPixel(kWidth * kHeight);
}
BENCHMARK(flatFullScreen)->Unit(benchmark::kMicrosecond);

// 200 lines across the screen, half of them flat (x-major) and half steep.
void aalineAcrossTheScreen(benchmark::State& state)
{
    Target t;
    const std::vector<std::uint32_t> table = engine3d::makeProductTable();
    double steps = 0;
    for (int i = 0; i < 100; ++i)
        steps += 318 + 198;
    for (auto _ : state) {
        for (int i = 0; i < 100; ++i) {
            engine3d::_aaline32b(0.5f, 1.25f + i * 1.9f, 318.5f, 198.0f - i * 1.9f, t.pixels.data(), kWidth * 4, kWidth,
                                 kHeight, table.data(), 0, 127, 0);
            engine3d::_aaline32b(1.0f + i * 3.1f, 0.75f, 318.0f - i * 3.1f, 198.75f, t.pixels.data(), kWidth * 4,
                                 kWidth, kHeight, table.data(), 0, 127, 0);
        }
        benchmark::ClobberMemory();
    }
    state.counters["per_px"] = perPixel(steps);
}
BENCHMARK(aalineAcrossTheScreen)->Unit(benchmark::kMicrosecond);

// A mix of 400 small triangles (sides of 4 to 40 pixels) at random depths,
// through their face drawers as the pipeline calls them (gradients
// included), wound the way drawn faces are.
class TriangleMix {
public:
    TriangleMix() : vertices_(3 * kCount), faces_(kCount)
    {
        std::mt19937 random(7);
        std::uniform_real_distribution<float> x(20, 300), y(20, 180), size(4, 40), depth(100, 400), uv(0, 256);
        for (int i = 0; i < kCount; ++i) {
            const float cx = x(random), cy = y(random), s = size(random);
            const float px[3] = {cx, cx - s * 0.5f, cx + s * 0.5f};
            const float py[3] = {cy - s * 0.5f, cy + s * 0.5f, cy + s * 0.3f};
            engine3d::Face& f = faces_[std::size_t(i)];
            for (int k = 0; k < 3; ++k) {
                engine3d::ScreenVertex& v = vertices_[std::size_t(3 * i + k)];
                v = corner(std::clamp(px[k], 1.0f, 318.0f), std::clamp(py[k], 1.0f, 198.0f), 0, 0, 1.0f / depth(random));
                f.corners[k] = &v;
                f.uv[k] = {uv(random), uv(random)};
            }
            f.texture = &texture_;
        }
        // Pixels covered, triangle by triangle.
        for (auto& f : faces_) {
            Target t;
            engine3d::FaceContext context = contextFor(t);
            engine3d::drawFlatFace(f, context);
            pixels_ += double(std::count_if(t.depth.begin(), t.depth.end(), [](std::int32_t d) { return d != -1; }));
            // Steps along the outline, for the wireframe drawer.
            for (int k = 0; k < 3; ++k) {
                const engine3d::ScreenVertex& a = *f.corners[k];
                const engine3d::ScreenVertex& b = *f.corners[(k + 1) % 3];
                lineSteps_ += std::max(std::fabs(b.sx - a.sx), std::fabs(b.sy - a.sy));
            }
        }
    }

    engine3d::FaceContext contextFor(Target& t) { return {t.raster(), projection_, engine3d::FaceClipper(frustum_, projection_)}; }

    // Per pixel covered, or per step along the outlines (lines).
    template <class Draw> void run(benchmark::State& state, Draw draw, bool lines = false)
    {
        Target t;
        engine3d::FaceContext context = contextFor(t);
        display::Surface& texture = texture_;
        for (auto _ : state) {
            t.clearDepth(state);
            auto* texels = static_cast<std::uint32_t*>(texture.lock());
            for (auto& f : faces_)
                draw(f, context, texels);
            texture.unlock();
            benchmark::ClobberMemory();
        }
        state.counters["per_px"] = perPixel(lines ? lineSteps_ : pixels_);
    }

private:
    static constexpr int kCount = 400;
    std::vector<engine3d::ScreenVertex> vertices_;
    std::vector<engine3d::Face> faces_;
    display::Surface texture_{256, 256, display::format32()};
    engine3d::Frustum frustum_ = engine3d::makeFrustum(kWidth, kHeight, 256.0f);
    engine3d::Projection projection_{256.0f, 160, 100};
    double pixels_ = 0;
    double lineSteps_ = 0;
};

TriangleMix& mix()
{
    static TriangleMix m;
    return m;
}

void tmapTriangles(benchmark::State& state)
{
    mix().run(state, [](engine3d::Face& f, engine3d::FaceContext& c, const std::uint32_t* texels) {
        engine3d::drawTexturedFace(f, c, texels);
    });
}
BENCHMARK(tmapTriangles)->Unit(benchmark::kMicrosecond);

void persphlineTriangles(benchmark::State& state)
{
    mix().run(state, [](engine3d::Face& f, engine3d::FaceContext& c, const std::uint32_t*) {
        f.texture->unlock(); // the perspective drawer locks the face's texture itself
        engine3d::drawPerspectiveFace(f, c);
        f.texture->lock();
    });
}
BENCHMARK(persphlineTriangles)->Unit(benchmark::kMicrosecond);

void flatTriangles(benchmark::State& state)
{
    mix().run(state, [](engine3d::Face& f, engine3d::FaceContext& c, const std::uint32_t*) { engine3d::drawFlatFace(f, c); });
}
BENCHMARK(flatTriangles)->Unit(benchmark::kMicrosecond);

void aalineTriangles(benchmark::State& state)
{
    static const std::vector<std::uint32_t> table = engine3d::makeProductTable();
    mix().run(
        state,
        [](engine3d::Face& f, engine3d::FaceContext& c, const std::uint32_t*) {
            engine3d::drawWireframeFace(f, c, table.data());
        },
        true);
}
BENCHMARK(aalineTriangles)->Unit(benchmark::kMicrosecond);

// The scenes read data/ from the current directory: build/, one folder above
// this program's.
effects::StudioScenePair& scenes()
{
    static effects::StudioScenePair* pair = [] {
        if (!std::filesystem::exists("data/disco.3ds") && std::filesystem::exists("../data/disco.3ds"))
            std::filesystem::current_path("..");
        std::ostringstream quiet;
        std::streambuf* out = std::cout.rdbuf(quiet.rdbuf());
        auto* p = new effects::StudioScenePair;
        std::cout.rdbuf(out);
        return p;
    }();
    return *pair;
}

// Whole frames across the loop (one 60 Hz frame of demo time apart, at the
// scene's key-frame rate), depth clearing included.
using SceneRender = void (effects::StudioScenePair::*)(display::Surface&, double);

void sceneFrame(benchmark::State& state, SceneRender render, double scale)
{
    display::Surface frame(kWidth, kHeight, display::format32());
    scenes();
    if (!std::filesystem::exists("data/disco.3ds") || !std::filesystem::exists("data/boll.3ds")) {
        state.SkipWithError("no data/ here: run from build/ (or build/bench/)");
        return;
    }
    double t = 0;
    for (auto _ : state) {
        (scenes().*render)(frame, t * scale);
        t += 1000.0 / 60;
        benchmark::ClobberMemory();
    }
}
BENCHMARK_CAPTURE(sceneFrame, disco, &effects::StudioScenePair::renderDisco, 0.025)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(sceneFrame, ball, &effects::StudioScenePair::renderBall, 0.1)->Unit(benchmark::kMicrosecond);

} // namespace
