#pragma once
// The affine texture-mapping and flat polygon rasterizers. Both draw a convex
// screen-space polygon (vertex pointers in the pipeline's order, at least 3)
// into a 32-bit surface with a depth buffer of signed 1/z in 8.24 fixed point
// that shares the surface's rows and pitch (bytes); a pixel is drawn when its
// depth is strictly greater (nearer) than the entry, which then takes it.
// They clip nothing: every vertex must lie on the surface.
#include "engine3d/screen_vertex.h"

#include <cstdint>

namespace engine3d {

// Texels are 256x256, addressed by the low 8 bits of the integer parts of the
// 8.16 coordinates, so textures repeat. stepu and stepv: texels per pixel to
// the right in 16.16; stepz: 1/z per pixel in 8.24.
void _tmapasm32b(const ScreenVertex* const* cornpek, int vertices, std::int32_t stepu, std::int32_t stepv,
                 std::int32_t stepz, const std::uint32_t* texpek, std::uint32_t* dest, std::int32_t* zbuffer,
                 int pitch);

// Every covered pixel takes `col`; zstep: 1/z per pixel in 8.24.
void _flatasm32b(const ScreenVertex* const* cornpek, int vertices, std::int32_t zstep, std::uint32_t col,
                 std::uint32_t* dest, std::int32_t* zbuffer, int pitch);

// The affine span: `count` pixels from `pixels` and `depth` on, coordinates
// and depth stepping by constant amounts (u and v wrap in 24 bits). Inline,
// so that the perspective rasterizer's 16-pixel blocks pay no call.
inline void texturedSpan(std::uint32_t* pixels, std::int32_t* depth, int count, std::uint32_t u, std::uint32_t v,
                         std::uint32_t z, std::uint32_t stepu, std::uint32_t stepv, std::uint32_t stepz,
                         const std::uint32_t* texels)
{
    for (int i = 0; i < count; ++i) {
        // Row (v >> 16) & 255 times 256 plus column (u >> 16) & 255.
        const std::uint32_t texel = texels[((v >> 8) & 0xff00u) | ((u >> 16) & 0xffu)];
        if (static_cast<std::int32_t>(z) > depth[i]) {
            pixels[i] = texel;
            depth[i] = static_cast<std::int32_t>(z);
        }
        z += stepz;
        u += stepu;
        v += stepv;
    }
}

} // namespace engine3d
