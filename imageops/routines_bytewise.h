#pragma once
// The vector family's arithmetic one byte at a time, for processors without
// SSE2 (a WebAssembly build without its SSE2 emulation): the same results as
// the SSE2 code, including the top byte and the pair-wise walks.
#include <cstdint>

namespace imageops::bytewise {

// op applied to the four bytes of a and b in turn.
template <typename Op>
inline std::uint32_t eachByte(std::uint32_t a, std::uint32_t b, Op op)
{
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8)
        out |= (static_cast<std::uint32_t>(op((a >> shift) & 0xffu, (b >> shift) & 0xffu)) & 0xffu) << shift;
    return out;
}

inline std::uint32_t addSaturate(std::uint32_t x, std::uint32_t y) { return x + y > 0xffu ? 0xffu : x + y; }
// (2 * x * w) >> 16 for w at most 0x7fff.
inline std::uint32_t scale(std::uint32_t x, std::uint32_t w) { return (x * 2u * w) >> 16; }

inline void saturate(std::uint32_t* dst, const std::uint32_t* src, int width, int rows, int dstSkip, int srcSkip,
                     std::uint32_t weight, bool scaled)
{
    for (int row = 0; row < rows; ++row) {
        for (int i = 0; i < width; ++i)
            dst[i] = eachByte(dst[i], src[i], [&](std::uint32_t d, std::uint32_t s) {
                return addSaturate(d, scaled ? scale(s, weight) : s);
            });
        if (row + 1 == rows)
            break; // not past the last row: that address may lie beyond the picture
        dst += width + dstSkip;
        src += width + srcSkip;
    }
}

inline void joinscreen(std::uint32_t* dst, const std::uint32_t* a, const std::uint32_t* b, int count)
{
    for (int i = 0; i < (count & ~1); ++i)
        dst[i] = eachByte(a[i], b[i], [](std::uint32_t x, std::uint32_t y) { return (x >> 1) + (y >> 1); });
}

inline void fade2col(std::uint32_t* dst, const std::uint32_t* src, std::uint32_t colour, std::uint16_t intensity,
                     int count)
{
    const std::uint32_t pictureWeight = (0xffffu - intensity) >> 1, colourWeight = intensity >> 1u;
    for (int i = 0; i < count; ++i)
        dst[i] = eachByte(src[i], colour, [&](std::uint32_t s, std::uint32_t c) {
            return addSaturate(scale(s, pictureWeight), scale(c, colourWeight));
        });
}

inline void invert(std::uint32_t* dst, const std::uint32_t* src, std::uint32_t mask, int count)
{
    for (int i = 0; i < (count & ~1); ++i)
        dst[i] = eachByte(mask, src[i], [](std::uint32_t m, std::uint32_t s) { return m - s; });
}

} // namespace imageops::bytewise
