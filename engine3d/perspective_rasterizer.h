#pragma once
// Perspective-correct textured polygons: texture coordinates exact at every
// 16th pixel of a span (a division there) and stepped linearly in between.
// Texels, depth buffer and depth rule as in the affine rasterizer.
#include "engine3d/screen_vertex.h"

#include <cstdint>

namespace engine3d {

// Where spans go: surface pixels and depth entries sharing rows `pitch`
// bytes apart.
struct SpanTarget {
    std::uint32_t* pixels = nullptr;
    std::int32_t* depth = nullptr;
    int pitch = 0;
};

// One span, pixels x1 to x2 - 1 of the rows starting at dest and zb. u, v and
// z are u/z, v/z and 1/z at pixel x1; the steps their changes per pixel.
void _persphline(int x1, int x2, float u, float v, float z, float ustep, float vstep, float zstep,
                 const std::uint32_t* texture, std::uint32_t* dest, std::int32_t* zb);

// Walks a convex polygon (vertex pointers in the pipeline's order, at least
// 3) in doubles and draws one span per row. Reads the vertices' screen
// position and their perspective terms uz, vz and iz; dudx, dvdx and dzdx
// are the polygon's constant x-gradients of u/z, v/z and 1/z.
void scanPerspective(const ScreenVertex* const* corners, int count, float dudx, float dvdx, float dzdx,
                     const std::uint32_t* texels, const SpanTarget& target);

} // namespace engine3d
