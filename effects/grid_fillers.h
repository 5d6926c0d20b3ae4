#pragma once
// The block fillers of the grid distortion: each maps a 256x256 texture onto a
// picture of one fixed size through a grid of texture coordinates and
// darkness values, interpolated over square blocks of pixels.
#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace effects {

// One grid point: texture coordinates and darkness, each signed 16.16 fixed
// point. Only the low 8 bits of each integer part are used by the fillers.
struct GridPoint {
    std::int32_t u = 0;
    std::int32_t v = 0;
    std::int32_t darkness = 0;
};

namespace gridfill {

// The texture every filler reads: 256x256 texels of 0x??RRGGBB, rows of 1024 bytes.
constexpr int textureSize = 256;

// Subtracts `darkness` (0..255) from the red, green and blue bytes of a
// texel, stopping each at 0; the top byte passes through unchanged.
inline std::uint32_t darkenPlain(std::uint32_t texel, std::uint32_t darkness)
{
    std::uint32_t r = (texel >> 16) & 0xff;
    std::uint32_t g = (texel >> 8) & 0xff;
    std::uint32_t b = texel & 0xff;
    r = r > darkness ? r - darkness : 0;
    g = g > darkness ? g - darkness : 0;
    b = b > darkness ? b - darkness : 0;
    return (texel & 0xff000000u) | (r << 16) | (g << 8) | b;
}

// The same with one saturating byte subtraction where the processor has it
// (the top byte of the subtrahend is 0, so the top byte is kept).
inline std::uint32_t darken(std::uint32_t texel, std::uint32_t darkness)
{
#if defined(__SSE2__)
    const __m128i result = _mm_subs_epu8(_mm_cvtsi32_si128(static_cast<int>(texel)),
                                         _mm_cvtsi32_si128(static_cast<int>(darkness * 0x010101u)));
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(result));
#else
    return darkenPlain(texel, darkness);
#endif
}

// One block of n x n pixels (n = 1 << shift) whose corners are the grid
// points p00 (top left), p01 (right), p10 (below) and p11 (below right).
// `destination` is the block's top-left pixel, `rowPixels` the picture's row
// length in pixels. Differences are shifted right arithmetically by `shift`;
// all sums wrap at 32 bits.
void _fillblock(const GridPoint& p00, const GridPoint& p01, const GridPoint& p10, const GridPoint& p11, int shift,
                std::uint32_t* destination, int rowPixels, const std::uint32_t* texture);

// The family: (grid points, row-major; first pixel of the locked picture,
// rows of the listed length; first texel of the locked texture).
//                                                  picture   grid   block
void _test8x8320x200(const GridPoint* points, std::uint32_t* destination, const std::uint32_t* texture);  // 320x200  41x26  8x8
void _test8x8320x240(const GridPoint* points, std::uint32_t* destination, const std::uint32_t* texture);  // 320x240  41x31  8x8
void _test8x8320x2402(const GridPoint* points, std::uint32_t* destination, const std::uint32_t* texture); // 320x240  21x16  16x16
void _test8x8640x480(const GridPoint* points, std::uint32_t* destination, const std::uint32_t* texture);  // 640x480  81x61  8x8
void _test8x8256x256(const GridPoint* points, std::uint32_t* destination, const std::uint32_t* texture);  // 256x256  33x33  8x8

using Filler = void (*)(const GridPoint*, std::uint32_t*, const std::uint32_t*);

// The filler for a picture of width x height pixels, a grid of gridWidth x
// gridHeight points and blocks of blockWidth x blockHeight pixels, or null
// when the family has none for that combination.
Filler findFiller(int width, int height, int gridWidth, int gridHeight, int blockWidth, int blockHeight);

} // namespace gridfill
} // namespace effects
