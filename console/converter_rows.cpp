// The conversion rows. Each reduction keeps the top bits of every channel
// (no rounding, no dithering). The loops are written so that the compiler
// turns them into vector code; 16-bit and 8-bit results are stored as
// little-endian 16-bit and 8-bit values.
#include "console/converter_rows.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace display::rows {

namespace {

inline std::uint32_t load32(const std::uint8_t* p)
{
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

inline void store32(std::uint8_t* p, std::uint32_t v) { std::memcpy(p, &v, 4); }

// The 24-bit rows: eight pixels at a time into three 64-bit words, the low
// three bytes of each pixel in memory order. `Swap` exchanges red and blue
// first (byte-reversing 0x00RRGGBB gives 0xBBGGRR00).
template <bool Swap>
inline std::uint64_t low24(const std::uint8_t* p)
{
    std::uint32_t c = load32(p);
    if constexpr (Swap)
        c = __builtin_bswap32(c) >> 8;
    return c & 0xffffff;
}

template <bool Swap>
void pack24(const std::uint8_t* __restrict source, std::uint8_t* __restrict destination, int count)
{
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const std::uint8_t* s = source + 4 * i;
        const std::uint64_t p0 = low24<Swap>(s), p1 = low24<Swap>(s + 4), p2 = low24<Swap>(s + 8),
                            p3 = low24<Swap>(s + 12), p4 = low24<Swap>(s + 16), p5 = low24<Swap>(s + 20),
                            p6 = low24<Swap>(s + 24), p7 = low24<Swap>(s + 28);
        const std::uint64_t q0 = p0 | p1 << 24 | p2 << 48;
        const std::uint64_t q1 = p2 >> 16 | p3 << 8 | p4 << 32 | p5 << 56;
        const std::uint64_t q2 = p5 >> 8 | p6 << 16 | p7 << 40;
        std::uint8_t* d = destination + 3 * i;
        std::memcpy(d, &q0, 8);
        std::memcpy(d + 8, &q1, 8);
        std::memcpy(d + 16, &q2, 8);
    }
    for (; i < count; ++i) {
        const std::uint64_t c = low24<Swap>(source + 4 * i);
        std::uint8_t* d = destination + 3 * i;
        d[0] = static_cast<std::uint8_t>(c);
        d[1] = static_cast<std::uint8_t>(c >> 8);
        d[2] = static_cast<std::uint8_t>(c >> 16);
    }
}

// Three channels ((c >> right) << left) & mask, eight pixels at a time with
// SSE2, stored as 16-bit values; the plain formula does the tail. Every
// 16-bit row of the table has this shape.
void shifted16(const std::uint8_t* __restrict source, std::uint8_t* __restrict destination, int count,
               const Generic& g)
{
    int i = 0;
#if defined(__SSE2__)
    const __m128i rr = _mm_cvtsi32_si128(g.rRight), rl = _mm_cvtsi32_si128(g.rLeft);
    const __m128i gr = _mm_cvtsi32_si128(g.gRight), gl = _mm_cvtsi32_si128(g.gLeft);
    const __m128i br = _mm_cvtsi32_si128(g.bRight), bl = _mm_cvtsi32_si128(g.bLeft);
    const __m128i rm = _mm_set1_epi32(static_cast<int>(g.rMask));
    const __m128i gm = _mm_set1_epi32(static_cast<int>(g.gMask));
    const __m128i bm = _mm_set1_epi32(static_cast<int>(g.bMask));
    auto four = [&](__m128i c) {
        __m128i v = _mm_and_si128(_mm_sll_epi32(_mm_srl_epi32(c, rr), rl), rm);
        v = _mm_or_si128(v, _mm_and_si128(_mm_sll_epi32(_mm_srl_epi32(c, gr), gl), gm));
        v = _mm_or_si128(v, _mm_and_si128(_mm_sll_epi32(_mm_srl_epi32(c, br), bl), bm));
        // Sign-extend the low 16 bits so that the signed pack keeps them as they are.
        return _mm_srai_epi32(_mm_slli_epi32(v, 16), 16);
    };
    for (; i + 8 <= count; i += 8) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 4 * i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 4 * i + 16));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(destination + 2 * i), _mm_packs_epi32(four(a), four(b)));
    }
#endif
    for (; i < count; ++i) {
        const std::uint32_t c = load32(source + 4 * i);
        const auto v = static_cast<std::uint16_t>((((c >> g.rRight) << g.rLeft) & g.rMask) |
                                                  (((c >> g.gRight) << g.gLeft) & g.gMask) |
                                                  (((c >> g.bRight) << g.bLeft) & g.bMask));
        std::memcpy(destination + 2 * i, &v, 2);
    }
}

// The four fixed 16-bit rows in fewer steps, eight pixels at a time: red and
// blue (each masked to its top five bits) are moved in one multiply-add of
// the two 16-bit halves of every pixel, green is masked in place, and one
// shift right by `shift` puts all three at their places. Bit for bit the
// same as the rows' formulas; `multipliers` holds the blue factor in its low
// half and the red factor in its high half.
void madd16(const std::uint8_t* __restrict source, std::uint8_t* __restrict destination, int count,
            std::uint32_t multipliers, std::uint32_t greenMask, int shift, const Generic& g)
{
    int i = 0;
#if defined(__SSE2__)
    const __m128i redBlue = _mm_set1_epi32(0x00f800f8);
    const __m128i factors = _mm_set1_epi32(static_cast<int>(multipliers));
    const __m128i green = _mm_set1_epi32(static_cast<int>(greenMask));
    const __m128i up = _mm_cvtsi32_si128(16 - shift);
    auto four = [&](__m128i c) {
        __m128i v = _mm_madd_epi16(_mm_and_si128(c, redBlue), factors);
        v = _mm_or_si128(v, _mm_and_si128(c, green));
        // (v >> shift) sign-extended from bit 15, so that the signed pack
        // keeps the 16 bits as they are.
        return _mm_srai_epi32(_mm_sll_epi32(v, up), 16);
    };
    for (; i + 8 <= count; i += 8) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 4 * i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 4 * i + 16));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(destination + 2 * i), _mm_packs_epi32(four(a), four(b)));
    }
#else
    (void)multipliers;
    (void)greenMask;
    (void)shift;
#endif
    shifted16(source + 4 * i, destination + 2 * i, count - i, g);
}

Generic terms(std::uint32_t rMask, int rRight, int rLeft, std::uint32_t gMask, int gRight, int gLeft,
              std::uint32_t bMask, int bRight, int bLeft)
{
    Generic g;
    g.rMask = rMask;
    g.rRight = rRight;
    g.rLeft = rLeft;
    g.gMask = gMask;
    g.gRight = gRight;
    g.gLeft = gLeft;
    g.bMask = bMask;
    g.bRight = bRight;
    g.bLeft = bLeft;
    return g;
}

// The fixed 16-bit rows as shift terms; (c and 0xf8) shifted left n is the
// same as (c shifted left n) and the destination mask.
const Generic rgb565Terms = terms(0xf800, 8, 0, 0x7e0, 5, 0, 0x1f, 3, 0);
const Generic bgr565Terms = terms(0xf800, 0, 8, 0x7e0, 5, 0, 0x1f, 19, 0);
const Generic rgb555Terms = terms(0x7c00, 9, 0, 0x3e0, 6, 0, 0x1f, 3, 0);
const Generic bgr555Terms = terms(0x7c00, 0, 7, 0x3e0, 6, 0, 0x1f, 19, 0);

} // namespace

void copy(const std::uint8_t* source, std::uint8_t* destination, int count, const Context& context)
{
    std::memmove(destination, source, static_cast<std::size_t>(count) * context.bytes);
}

void rgb32ToBgr32(const std::uint8_t* __restrict source, std::uint8_t* __restrict destination, int count,
                  const Context&)
{
    for (int i = 0; i < count; ++i) {
        std::uint32_t c = load32(source + 4 * i);
        store32(destination + 4 * i, (c & 0xff000000) | ((c & 0xff) << 16) | (c & 0xff00) | ((c >> 16) & 0xff));
    }
}

void rgb32ToBgr24(const std::uint8_t* source, std::uint8_t* destination, int count, const Context&)
{
    pack24<false>(source, destination, count); // memory order blue, green, red
}

void rgb32ToRgb24(const std::uint8_t* source, std::uint8_t* destination, int count, const Context&)
{
    pack24<true>(source, destination, count); // memory order red, green, blue
}

void rgb32ToRgb565(const std::uint8_t* source, std::uint8_t* destination, int count, const Context&)
{
    // ((c >> 8) & 0xf800) | ((c >> 5) & 0x7e0) | ((c >> 3) & 0x1f)
    madd16(source, destination, count, 0x20000004, 0xfc00, 5, rgb565Terms); // red * 8192, blue * 4
}

void rgb32ToBgr565(const std::uint8_t* source, std::uint8_t* destination, int count, const Context&)
{
    // ((c & 0xf8) << 8) | ((c >> 5) & 0x7e0) | ((c >> 19) & 0x1f)
    madd16(source, destination, count, 0x00042000, 0xfc00, 5, bgr565Terms); // red * 4, blue * 8192
}

void rgb32ToRgb555(const std::uint8_t* source, std::uint8_t* destination, int count, const Context&)
{
    // ((c >> 9) & 0x7c00) | ((c >> 6) & 0x3e0) | ((c >> 3) & 0x1f)
    madd16(source, destination, count, 0x20000008, 0xf800, 6, rgb555Terms); // red * 8192, blue * 8
}

void rgb32ToBgr555(const std::uint8_t* source, std::uint8_t* destination, int count, const Context&)
{
    // ((c & 0xf8) << 7) | ((c >> 6) & 0x3e0) | ((c >> 19) & 0x1f)
    madd16(source, destination, count, 0x00082000, 0xf800, 6, bgr555Terms); // red * 8, blue * 8192
}

void rgb32ToRgb332(const std::uint8_t* __restrict source, std::uint8_t* __restrict destination, int count,
                   const Context&)
{
    for (int i = 0; i < count; ++i) {
        std::uint32_t c = load32(source + 4 * i);
        destination[i] = static_cast<std::uint8_t>(((c >> 16) & 0xe0) | ((c >> 11) & 0x1c) | ((c >> 6) & 0x3));
    }
}

void rgb32ToGeneric32(const std::uint8_t* __restrict source, std::uint8_t* __restrict destination, int count,
                      const Context& context)
{
    const Generic g = context.generic;
    for (int i = 0; i < count; ++i) {
        std::uint32_t c = load32(source + 4 * i);
        store32(destination + 4 * i, (((c >> g.rRight) << g.rLeft) & g.rMask) | (((c >> g.gRight) << g.gLeft) & g.gMask) |
                                         (((c >> g.bRight) << g.bLeft) & g.bMask));
    }
}

void rgb32ToGeneric16(const std::uint8_t* source, std::uint8_t* destination, int count, const Context& context)
{
    shifted16(source, destination, count, context.generic);
}

void index8ToBytes1(const std::uint8_t* __restrict source, std::uint8_t* __restrict destination, int count,
                    const Context& context)
{
    for (int i = 0; i < count; ++i)
        destination[i] = static_cast<std::uint8_t>(context.lookup.values[source[i]]);
}

void index8ToBytes2(const std::uint8_t* __restrict source, std::uint8_t* __restrict destination, int count,
                    const Context& context)
{
    for (int i = 0; i < count; ++i) {
        std::uint16_t v = static_cast<std::uint16_t>(context.lookup.values[source[i]]);
        std::memcpy(destination + 2 * i, &v, 2);
    }
}

void index8ToBytes3(const std::uint8_t* __restrict source, std::uint8_t* __restrict destination, int count,
                    const Context& context)
{
    for (int i = 0; i < count; ++i) {
        std::uint32_t v = context.lookup.values[source[i]];
        destination[3 * i] = static_cast<std::uint8_t>(v);
        destination[3 * i + 1] = static_cast<std::uint8_t>(v >> 8);
        destination[3 * i + 2] = static_cast<std::uint8_t>(v >> 16);
    }
}

void index8ToBytes4(const std::uint8_t* __restrict source, std::uint8_t* __restrict destination, int count,
                    const Context& context)
{
    for (int i = 0; i < count; ++i)
        store32(destination + 4 * i, context.lookup.values[source[i]]);
}

} // namespace display::rows
