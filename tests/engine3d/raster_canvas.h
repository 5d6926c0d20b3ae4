#pragma once
// A small picture with its depth buffer for the rasterizer tests, and screen
// vertices built from the few fields the rasterizers read.
#include "engine3d/screen_vertex.h"

#include <cstdint>
#include <vector>

namespace raster_testing {

struct Canvas {
    int width, height;
    std::vector<std::uint32_t> pixels;
    std::vector<std::int32_t> depth;

    Canvas(int w, int h, std::uint32_t background = 0)
        : width(w), height(h), pixels(std::size_t(w) * h, background), depth(std::size_t(w) * h, -1)
    {
    }
    int pitch() const { return width * 4; }
    std::uint32_t at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
    std::int32_t depthAt(int x, int y) const { return depth[std::size_t(y) * width + x]; }
    // Columns of row y whose pixel differs from `background`, as a bit mask.
    std::uint64_t rowMask(int y, std::uint32_t background = 0) const
    {
        std::uint64_t mask = 0;
        for (int x = 0; x < width && x < 64; ++x)
            if (at(x, y) != background)
                mask |= std::uint64_t(1) << x;
        return mask;
    }
};

inline engine3d::ScreenVertex vertex(float sx, float sy, float u = 0, float v = 0, float w = 0.25f)
{
    engine3d::ScreenVertex s;
    s.sx = sx;
    s.sy = sy;
    s.u = u;
    s.v = v;
    s.w = w;
    s.uz = double(u) * w;
    s.vz = double(v) * w;
    s.iz = w;
    return s;
}

// Texel (column c, row r) of the test texture holds r * 256 + c.
inline std::vector<std::uint32_t> indexTexture()
{
    std::vector<std::uint32_t> texels(256 * 256);
    for (std::uint32_t i = 0; i < texels.size(); ++i)
        texels[i] = i;
    return texels;
}

// Pixels from..to - 1 as a mask.
constexpr std::uint64_t columns(int from, int to)
{
    return ((std::uint64_t(1) << to) - 1) & ~((std::uint64_t(1) << from) - 1);
}

} // namespace raster_testing
