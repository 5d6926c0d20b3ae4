// The vector family, written with SSE2: four pixels per 128-bit register in
// the main loops, and the same instructions on a pair (64 bits) or a single
// pixel (32 bits) for the ends, so every pixel goes through identical
// arithmetic. Loads and stores are unaligned, so any start address works.
#include "imageops/routines.h"

#if defined(__SSE2__)
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

// Applies op (on a register of pixels) to `count` pixels: eight at a time,
// then four, then one pair, then one single pixel. Both loads of a step come
// before its stores, so dst may be the same run as src.
template <typename Op>
inline void forEachPixel(std::uint32_t* dst, const std::uint32_t* src, int count, Op op)
{
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m128i first = op(load4(dst + i), load4(src + i));
        const __m128i second = op(load4(dst + i + 4), load4(src + i + 4));
        store4(dst + i, first);
        store4(dst + i + 4, second);
    }
    if (i + 4 <= count) {
        store4(dst + i, op(load4(dst + i), load4(src + i)));
        i += 4;
    }
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

// (2 * x * w) >> 16 for every byte x of a register, w at most 0x7fff. The
// doubled weight (at most 0xfffe) fits an unsigned 16-bit lane, so the
// product is x * 2w with its high half kept (pmulhuw), equal to the signed
// form on these ranges and at most 254. Even bytes are multiplied in the low
// half of each 16-bit lane. Odd bytes are multiplied where they stand, as
// 256 * x: the high half is then floor(x * 2w / 256), whose upper byte is
// the wanted result and whose lower byte is masked off. No shifts, no
// unpacking or packing.
inline __m128i scaleBytes(__m128i x, __m128i doubledWeight)
{
    const __m128i low = _mm_set1_epi16(0x00ff), high = _mm_set1_epi16(static_cast<short>(0xff00));
    const __m128i even = _mm_mulhi_epu16(_mm_and_si128(x, low), doubledWeight);
    const __m128i odd = _mm_and_si128(_mm_mulhi_epu16(_mm_and_si128(x, high), doubledWeight), high);
    return _mm_or_si128(even, odd);
}

inline __m128i doubledWeight(int w) { return _mm_set1_epi16(static_cast<short>(2 * w)); }

} // namespace

void _saturatemmx(std::uint32_t* dst, const std::uint32_t* src, int width, int rows, int dstSkip, int srcSkip)
{
    for (int row = 0; row < rows; ++row) {
        forEachPixel(dst, src, width, [](__m128i d, __m128i s) { return _mm_adds_epu8(d, s); });
        if (row + 1 == rows)
            break; // not past the last row: that address may lie beyond the picture
        dst += width + dstSkip;
        src += width + srcSkip;
    }
}

void _saturateintmmx(std::uint32_t* dst, const std::uint32_t* src, int width, int rows, int dstSkip, int srcSkip,
                     std::uint16_t intensity)
{
    const __m128i weight = doubledWeight(intensity >> 1);
    auto op = [weight](__m128i d, __m128i s) { return _mm_adds_epu8(d, scaleBytes(s, weight)); };
    for (int row = 0; row < rows; ++row) {
        forEachPixel(dst, src, width, op);
        if (row + 1 == rows)
            break; // not past the last row: that address may lie beyond the picture
        dst += width + dstSkip;
        src += width + srcSkip;
    }
}

void _joinscreenmmx(std::uint32_t* dst, const std::uint32_t* a, const std::uint32_t* b, int count)
{
    // With each byte's lowest bit cleared, the rounding-up byte average
    // (2x + 2y + 1) >> 1 is exactly x + y: floor(a / 2) + floor(b / 2) on all
    // four bytes, the top one included, without a carry to lose.
    const __m128i even = _mm_set1_epi8(static_cast<char>(0xfe));
    forEachPair(dst, a, b, count, [even](__m128i x, __m128i y) {
        return _mm_avg_epu8(_mm_and_si128(x, even), _mm_and_si128(y, even));
    });
}

void _fade2colmmx(std::uint32_t* dst, const std::uint32_t* src, std::uint32_t colour, std::uint16_t intensity,
                  int count)
{
    const __m128i pictureWeight = doubledWeight((0xffff - intensity) >> 1);
    // The colour's term is the same for every pixel: worked out once.
    const __m128i colourTerm = scaleBytes(_mm_set1_epi32(static_cast<int>(colour)), doubledWeight(intensity >> 1));
    forEachPixel(dst, src, count,
                 [pictureWeight, colourTerm](__m128i, __m128i s) {
                     return _mm_adds_epu8(scaleBytes(s, pictureWeight), colourTerm);
                 });
}

void _invertmmx(std::uint32_t* dst, const std::uint32_t* src, std::uint32_t mask, int count)
{
    const __m128i m = _mm_set1_epi32(static_cast<int>(mask));
    forEachPair(dst, src, src, count, [m](__m128i s, __m128i) { return _mm_sub_epi8(m, s); });
}

} // namespace imageops

#else // no SSE2: the same results a byte at a time

#include "imageops/routines_bytewise.h"

namespace imageops {

void _saturatemmx(std::uint32_t* dst, const std::uint32_t* src, int width, int rows, int dstSkip, int srcSkip)
{
    bytewise::saturate(dst, src, width, rows, dstSkip, srcSkip, 0, false);
}

void _saturateintmmx(std::uint32_t* dst, const std::uint32_t* src, int width, int rows, int dstSkip, int srcSkip,
                     std::uint16_t intensity)
{
    bytewise::saturate(dst, src, width, rows, dstSkip, srcSkip, intensity >> 1, true);
}

void _joinscreenmmx(std::uint32_t* dst, const std::uint32_t* a, const std::uint32_t* b, int count)
{
    bytewise::joinscreen(dst, a, b, count);
}

void _fade2colmmx(std::uint32_t* dst, const std::uint32_t* src, std::uint32_t colour, std::uint16_t intensity,
                  int count)
{
    bytewise::fade2col(dst, src, colour, intensity, count);
}

void _invertmmx(std::uint32_t* dst, const std::uint32_t* src, std::uint32_t mask, int count)
{
    bytewise::invert(dst, src, mask, count);
}

} // namespace imageops

#endif
