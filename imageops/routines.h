#pragma once
// The picture routines of the two families, on raw runs of 32-bit pixels
// (0x00RRGGBB, blue in the lowest byte). Sizes, counts and skips are in
// pixels. "nommx" routines are the plain integer family, "mmx" routines the
// vector family (SSE2 on this target). Both families exist for every routine;
// where their results differ, each routine gives exactly the result stated
// beside it, so the two can be compared pixel by pixel.
//
// Width/rows routines walk `rows` rows of `width` pixels and, after each row,
// move the destination on by `dstSkip` and the source by `srcSkip` further
// pixels. Count routines treat their pictures as one run of `count` pixels.
// A destination may be the same run as a source (in-place use); partial
// overlaps are not supported. No routine allocates.
#include <cstdint>

namespace imageops {

// Saturating add per channel: dst = min(dst + src, 255) for blue, green, red.
// Plain: dst's top byte is kept. Vector: the top byte is added the same way.
void _saturatenommx(std::uint32_t* dst, const std::uint32_t* src, int width, int rows, int dstSkip, int srcSkip);
void _saturatemmx(std::uint32_t* dst, const std::uint32_t* src, int width, int rows, int dstSkip, int srcSkip);

// Saturating add of a scaled source.
// Plain: dst = min(dst + T[intensity][src], 255) per channel with T the scale
// table (intensity 0..255); the top byte becomes src's top byte.
// Vector: dst = min(dst + ((2 * src * (intensity >> 1)) >> 16), 255) on all
// four bytes (intensity 0..0xffff).
void _saturateintnommx(std::uint32_t* dst, const std::uint32_t* src, int width, int rows, int dstSkip, int srcSkip,
                       const std::uint8_t* scaleTable, std::uint8_t intensity);
void _saturateintmmx(std::uint32_t* dst, const std::uint32_t* src, int width, int rows, int dstSkip, int srcSkip,
                     std::uint16_t intensity);

// Average of two pictures: floor(a / 2) + floor(b / 2) per channel.
// Plain: the top byte becomes 0. Vector: the top byte is averaged the same
// way, and only count rounded down to an even number is processed (pixel
// pairs); an odd last pixel of dst is left as it was.
void _joinscreennommx(std::uint32_t* dst, const std::uint32_t* a, const std::uint32_t* b, int count);
void _joinscreenmmx(std::uint32_t* dst, const std::uint32_t* a, const std::uint32_t* b, int count);

// Fade of src towards colour (0x00RRGGBB) by intensity (0 = src, 0xffff = the
// colour).
// Plain: with k = intensity >> 8, out = T[255 - k][src] + T[k][colour] per
// channel; exactly src at k = 0 and exactly the colour at k = 255; the top
// byte becomes 0.
// Vector: out = min(((2 * src * ((0xffff - intensity) >> 1)) >> 16)
//                 + ((2 * colour * (intensity >> 1)) >> 16), 255)
// on all four bytes; this gives src - 1 for a non-zero channel at intensity 0
// and 254 for a colour channel of 255 at 0xffff.
void _fade2colnommx(std::uint32_t* dst, const std::uint32_t* src, std::uint32_t colour, std::uint16_t intensity,
                    int count, const std::uint8_t* scaleTable);
void _fade2colmmx(std::uint32_t* dst, const std::uint32_t* src, std::uint32_t colour, std::uint16_t intensity,
                  int count);

// Inversion against a mask, with m the mask's channel.
// Plain: out = m - src when src <= m, else src - m - 1; dst's top byte kept.
// Vector: out = (m - src) mod 256 on all four bytes, on count rounded down to
// an even number (pixel pairs); an odd last pixel of dst is left as it was.
void _invertnommx(std::uint32_t* dst, const std::uint32_t* src, std::uint32_t mask, int count);
void _invertmmx(std::uint32_t* dst, const std::uint32_t* src, std::uint32_t mask, int count);

// True when the processor reports MMX (asks it every call; call it once).
bool _detectmmx();

} // namespace imageops
