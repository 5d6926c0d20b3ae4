// The vector family, written with SSE2: four pixels per 128-bit register in
// the main loops, and the same instructions on a pair (64 bits) or a single
// pixel (32 bits) for the ends, so every pixel goes through identical
// arithmetic. Loads and stores are unaligned, so any start address works.
#include "imageops/routines.h"

#include <emmintrin.h>

#include <cstring>

namespace imageops {

namespace {

inline __m128i load1(const std::uint32_t* p)
{
    std::int32_t v;
    std::memcpy(&v, p, 4);
    return _mm_cvtsi32_si128(v);
}

inline void store1(std::uint32_t* p, __m128i v)
{
    const std::int32_t x = _mm_cvtsi128_si32(v);
    std::memcpy(p, &x, 4);
}

inline __m128i load2(const std::uint32_t* p) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)); }
inline void store2(std::uint32_t* p, __m128i v) { _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v); }
inline __m128i load4(const std::uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void store4(std::uint32_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// Applies op (on a register of pixels) to `count` pixels: four at a time,
// then one pair, then one single pixel.
template <typename Op>
inline void forEachPixel(std::uint32_t* dst, const std::uint32_t* src, int count, Op op)
{
    int i = 0;
    for (; i + 4 <= count; i += 4)
        store4(dst + i, op(load4(dst + i), load4(src + i)));
    if (i + 2 <= count) {
        store2(dst + i, op(load2(dst + i), load2(src + i)));
        i += 2;
    }
    if (i < count)
        store1(dst + i, op(load1(dst + i), load1(src + i)));
}

// Pair-wise walk of the two-source routines: count rounded down to an even
// number, as the 64-bit original processed two pixels per step.
template <typename Op>
inline void forEachPair(std::uint32_t* dst, const std::uint32_t* a, const std::uint32_t* b, int count, Op op)
{
    const int even = count & ~1;
    int i = 0;
    for (; i + 4 <= even; i += 4)
        store4(dst + i, op(load4(a + i), load4(b + i)));
    if (i < even)
        store2(dst + i, op(load2(a + i), load2(b + i)));
}

// (2 * x * w) >> 16 on 16-bit lanes holding bytes: the doubled byte (at most
// 510) times a weight of at most 0x7fff, keeping the high half of the signed
// product. Neither overflows, and the result is at most 254.
inline __m128i scaleLanes(__m128i bytesAsWords, __m128i weight)
{
    return _mm_mulhi_epi16(_mm_add_epi16(bytesAsWords, bytesAsWords), weight);
}

} // namespace

void _saturatemmx(std::uint32_t* dst, const std::uint32_t* src, int width, int rows, int dstSkip, int srcSkip)
{
    for (int row = 0; row < rows; ++row) {
        forEachPixel(dst, src, width, [](__m128i d, __m128i s) { return _mm_adds_epu8(d, s); });
        dst += width + dstSkip;
        src += width + srcSkip;
    }
}

void _saturateintmmx(std::uint32_t* dst, const std::uint32_t* src, int width, int rows, int dstSkip, int srcSkip,
                     std::uint16_t intensity)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i weight = _mm_set1_epi16(static_cast<short>(intensity >> 1));
    auto op = [zero, weight](__m128i d, __m128i s) {
        const __m128i lo = scaleLanes(_mm_unpacklo_epi8(s, zero), weight);
        const __m128i hi = scaleLanes(_mm_unpackhi_epi8(s, zero), weight);
        return _mm_adds_epu8(d, _mm_packus_epi16(lo, hi));
    };
    for (int row = 0; row < rows; ++row) {
        forEachPixel(dst, src, width, op);
        dst += width + dstSkip;
        src += width + srcSkip;
    }
}

void _joinscreenmmx(std::uint32_t* dst, const std::uint32_t* a, const std::uint32_t* b, int count)
{
    // Halving each byte before adding gives floor(a / 2) + floor(b / 2) on
    // all four bytes, the top one included, without a carry to lose.
    const __m128i halfMask = _mm_set1_epi32(0x7f7f7f7f);
    forEachPair(dst, a, b, count, [halfMask](__m128i x, __m128i y) {
        return _mm_add_epi32(_mm_and_si128(_mm_srli_epi32(x, 1), halfMask),
                             _mm_and_si128(_mm_srli_epi32(y, 1), halfMask));
    });
}

void _fade2colmmx(std::uint32_t* dst, const std::uint32_t* src, std::uint32_t colour, std::uint16_t intensity,
                  int count)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i pictureWeight = _mm_set1_epi16(static_cast<short>((0xffff - intensity) >> 1));
    const __m128i colourWeight = _mm_set1_epi16(static_cast<short>(intensity >> 1));
    // The colour's term, the same for every pixel, in all eight lanes.
    const __m128i colourWords = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(colour)), zero);
    const __m128i colourTerm = scaleLanes(colourWords, colourWeight);
    auto op = [zero, pictureWeight, colourTerm](__m128i, __m128i s) {
        const __m128i lo = _mm_add_epi16(scaleLanes(_mm_unpacklo_epi8(s, zero), pictureWeight), colourTerm);
        const __m128i hi = _mm_add_epi16(scaleLanes(_mm_unpackhi_epi8(s, zero), pictureWeight), colourTerm);
        return _mm_packus_epi16(lo, hi);
    };
    forEachPixel(dst, src, count, op);
}

void _invertmmx(std::uint32_t* dst, const std::uint32_t* src, std::uint32_t mask, int count)
{
    const __m128i m = _mm_set1_epi32(static_cast<int>(mask));
    forEachPair(dst, src, src, count, [m](__m128i s, __m128i) { return _mm_sub_epi8(m, s); });
}

} // namespace imageops
