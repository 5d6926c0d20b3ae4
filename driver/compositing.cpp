#include "driver/compositing.h"

#include "console/surface_lock.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace driver {

namespace {

bool drawable(const display::Surface& surface) { return !surface.empty() && surface.format().bits() == 32; }

// Pixels per row, from the surface's pitch in bytes.
std::ptrdiff_t stride(const display::Surface& surface) { return surface.pitch() / 4; }

// The zoom's 16.16 positions. The float expressions are evaluated in the
// order written and converted with truncation toward zero.
struct ZoomMapping {
    std::int64_t du, dv, uStart, vStart;
};

ZoomMapping zoomMapping(const display::Surface& destination, const display::Surface& source, float f)
{
    if (!(f >= 0.0f))
        f = 0.0f; // also NaN
    if (f > 1.0f)
        f = 1.0f;
    const float sw = static_cast<float>(source.width()), sh = static_cast<float>(source.height());
    const float dw = static_cast<float>(destination.width()), dh = static_cast<float>(destination.height());
    ZoomMapping m;
    m.du = static_cast<std::int64_t>(sw * f / dw * 65536.0f);
    m.dv = static_cast<std::int64_t>(sh * f / dh * 65536.0f);
    m.uStart = static_cast<std::int64_t>((sw / 2.0f - sw * f / 2.0f) * 65536.0f);
    m.vStart = static_cast<std::int64_t>((sh / 2.0f - sh * f / 2.0f) * 65536.0f);
    return m;
}

// How many of the first `count` positions uStart + x * du (du >= 0) lie
// below `limit`.
int leadingColumnsBelow(const ZoomMapping& m, std::int64_t limit, int count)
{
    if (m.uStart >= limit)
        return 0;
    if (m.du == 0)
        return count;
    return static_cast<int>(std::min<std::int64_t>(count, (limit - m.uStart + m.du - 1) / m.du));
}

// One channel step of the filter: a + ((2 * (b - a) * w) >> 16), the shift
// floored (C++ shifts negative values arithmetically), as the high half of a
// signed 16 x 16-bit product.
inline int lerpChannel(int a, int b, int w) { return a + ((2 * (b - a) * w) >> 16); }

// The filtered value of one pixel from its four neighbours, all four bytes.
std::uint32_t filteredPixel(std::uint32_t p00, std::uint32_t p01, std::uint32_t p10, std::uint32_t p11, int wx, int wy)
{
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int top = lerpChannel((p00 >> shift) & 0xff, (p01 >> shift) & 0xff, wx);
        const int bottom = lerpChannel((p10 >> shift) & 0xff, (p11 >> shift) & 0xff, wx);
        const int value = std::clamp(lerpChannel(top, bottom, wy), 0, 255);
        out |= static_cast<std::uint32_t>(value) << shift;
    }
    return out;
}

#if defined(__SSE2__)
inline __m128i load2(const std::uint32_t* p) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)); }

// 2 * (b - a) * w >> 16 added to a, on eight 16-bit lanes.
inline __m128i lerpLanes(__m128i a, __m128i b, __m128i w)
{
    const __m128i diff = _mm_sub_epi16(b, a);
    return _mm_add_epi16(a, _mm_mulhi_epi16(_mm_add_epi16(diff, diff), w));
}

// Filters two destination pixels at once: pixel A samples columns cA, cA + 1
// and pixel B columns cB, cB + 1 of the rows row0 and row1. wx holds A's
// weight in lanes 0-3 and B's in lanes 4-7. Writes A then B at out.
inline void filteredPair(std::uint32_t* out, const std::uint32_t* row0, const std::uint32_t* row1, std::int64_t cA,
                         std::int64_t cB, __m128i wx, __m128i wy)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i topBytes = _mm_unpacklo_epi64(load2(row0 + cA), load2(row0 + cB));
    const __m128i bottomBytes = _mm_unpacklo_epi64(load2(row1 + cA), load2(row1 + cB));
    const __m128i topA = _mm_unpacklo_epi8(topBytes, zero);       // c00 of A, c01 of A
    const __m128i topB = _mm_unpackhi_epi8(topBytes, zero);       // c00 of B, c01 of B
    const __m128i bottomA = _mm_unpacklo_epi8(bottomBytes, zero); // c10 of A, c11 of A
    const __m128i bottomB = _mm_unpackhi_epi8(bottomBytes, zero); // c10 of B, c11 of B
    const __m128i top = lerpLanes(_mm_unpacklo_epi64(topA, topB), _mm_unpackhi_epi64(topA, topB), wx);
    const __m128i bottom = lerpLanes(_mm_unpacklo_epi64(bottomA, bottomB), _mm_unpackhi_epi64(bottomA, bottomB), wx);
    const __m128i result = lerpLanes(top, bottom, wy);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(result, result));
}
#endif

} // namespace

void beatZoomNearest(display::Surface& destination, display::Surface& source, float f)
{
    if (!drawable(destination) || !drawable(source))
        return;
    display::SurfaceLock sourceLock(source);
    display::SurfaceLock destinationLock(destination, sourceLock);
    const std::uint32_t* s = sourceLock.pixels();
    std::uint32_t* d = destinationLock.pixels();
    const int dw = destination.width(), dh = destination.height();
    const std::int64_t lastColumn = source.width() - 1, lastRow = source.height() - 1;
    const ZoomMapping m = zoomMapping(destination, source, f);

    // Positions only grow along a row (f is within 0..1), so the columns that
    // need no clamping are the leading ones, counted once.
    const int inside = leadingColumnsBelow(m, (lastColumn + 1) << 16, dw);
    std::int64_t v = m.vStart;
    for (int y = 0; y < dh; ++y, v += m.dv) {
        const std::uint32_t* sourceRow = s + std::min(v >> 16, lastRow) * stride(source);
        std::uint32_t* out = d + y * stride(destination);
        std::int64_t u = m.uStart;
        int x = 0;
        for (; x < inside; ++x, u += m.du)
            out[x] = sourceRow[u >> 16];
        for (; x < dw; ++x, u += m.du)
            out[x] = sourceRow[std::min(u >> 16, lastColumn)];
    }
}

void beatZoomFiltered(display::Surface& destination, display::Surface& source, float f)
{
    if (!drawable(destination) || !drawable(source))
        return;
    display::SurfaceLock sourceLock(source);
    display::SurfaceLock destinationLock(destination, sourceLock);
    const std::uint32_t* s = sourceLock.pixels();
    std::uint32_t* d = destinationLock.pixels();
    const int dw = destination.width(), dh = destination.height();
    const std::int64_t lastColumn = source.width() - 1, lastRow = source.height() - 1;
    const ZoomMapping m = zoomMapping(destination, source, f);

    // With f in 0..1 the positions never fall below 0 and only grow along a
    // row, so the leading destination columns whose right neighbour exists
    // are worked out once: they take the two-pixel loop, the rest (none for
    // the driver's factors) read the last column twice.
#if defined(__SSE2__)
    const int pairEnd = leadingColumnsBelow(m, lastColumn << 16, dw) & ~1;

    // Lane weights advance by du's fraction modulo 65536 (16-bit lanes wrap),
    // two pixels per step, in step with the integer columns.
    const __m128i fractionStep = _mm_set1_epi16(static_cast<short>((2 * m.du) & 0xffff));
    const __m128i startFractions = _mm_unpacklo_epi64(_mm_set1_epi16(static_cast<short>(m.uStart & 0xffff)),
                                                      _mm_set1_epi16(static_cast<short>((m.uStart + m.du) & 0xffff)));
#endif

    std::int64_t v = m.vStart;
    for (int y = 0; y < dh; ++y, v += m.dv) {
        const std::int64_t row = std::min(v >> 16, lastRow);
        const std::uint32_t* row0 = s + row * stride(source);
        const std::uint32_t* row1 = s + std::min(row + 1, lastRow) * stride(source);
        const int wy = static_cast<int>((v & 0xffff) >> 1);
        std::uint32_t* out = d + y * stride(destination);
        std::int64_t u = m.uStart;
        int x = 0;
#if defined(__SSE2__)
        const __m128i wyLanes = _mm_set1_epi16(static_cast<short>(wy));
        __m128i fractions = startFractions;
        for (; x < pairEnd; x += 2, u += 2 * m.du) {
            filteredPair(out + x, row0, row1, u >> 16, (u + m.du) >> 16, _mm_srli_epi16(fractions, 1), wyLanes);
            fractions = _mm_add_epi16(fractions, fractionStep);
        }
#endif
        for (; x < dw; ++x, u += m.du) {
            const std::int64_t column = std::min(u >> 16, lastColumn);
            const std::int64_t next = std::min(column + 1, lastColumn);
            const int wx = static_cast<int>((u & 0xffff) >> 1);
            out[x] = filteredPixel(row0[column], row0[next], row1[column], row1[next], wx, wy);
        }
    }
}

void quarterTileCopy(display::Surface& destination, display::Surface& source)
{
    if (!drawable(destination) || !drawable(source))
        return;
    display::SurfaceLock sourceLock(source);
    display::SurfaceLock destinationLock(destination, sourceLock);
    const std::uint32_t* s = sourceLock.pixels();
    std::uint32_t* d = destinationLock.pixels();
    const int halfWidth = destination.width() / 2, halfHeight = destination.height() / 2;
    // Every second column and row of the source: as many as it has.
    const int columns = std::min(halfWidth, (source.width() + 1) / 2);
    const int rows = std::min(halfHeight, (source.height() + 1) / 2);
    const std::ptrdiff_t sourceStride = stride(source), destinationStride = stride(destination);

    for (int y = 0; y < rows; ++y) {
        const std::uint32_t* in = s + 2 * y * sourceStride;
        std::uint32_t* upper = d + y * destinationStride;
        std::uint32_t* lower = d + (y + halfHeight) * destinationStride;
        for (int x = 0; x < columns; ++x) {
            // Each channel halved (its lowest bit dropped), top byte 0.
            const std::uint32_t p = (in[2 * x] >> 1) & 0x7f7f7f;
            upper[x] = p;
            upper[x + halfWidth] = p;
            lower[x] = p;
            lower[x + halfWidth] = p;
        }
    }
}

void blitKeyed(display::Surface& image, display::Surface& destination, int x, int y)
{
    if (!drawable(image) || !drawable(destination))
        return;
    const long long w = image.width(), h = image.height();
    const long long W = destination.width(), H = destination.height();
    // Positions far outside cannot overflow: the sums are taken in 64 bits.
    if (x >= W || y >= H || x + w <= 0 || y + h <= 0)
        return;

    display::SurfaceLock imageLock(image);
    display::SurfaceLock destinationLock(destination, imageLock);
    const long long firstColumn = std::max(0LL, -static_cast<long long>(x));
    const long long firstRow = std::max(0LL, -static_cast<long long>(y));
    const long long left = std::max(0, x), top = std::max(0, y);
    const long long columns = std::min(x + w, W) - left;
    const long long rows = std::min(y + h, H) - top;

    const std::uint32_t* in = imageLock.pixels() + firstRow * stride(image) + firstColumn;
    std::uint32_t* out = destinationLock.pixels() + top * stride(destination) + left;
    const std::uint32_t key = in[-firstColumn]; // column 0 of the first drawn row
    // Written as a select rather than a branch (a key pixel writes back the
    // destination's own value), so the row loop runs several pixels wide.
    for (long long r = 0; r < rows; ++r, in += stride(image), out += stride(destination))
        for (long long c = 0; c < columns; ++c) {
            const std::uint32_t value = in[c];
            out[c] = value == key ? out[c] : value;
        }
}

void copyPicture(display::Surface& image, display::Surface& destination)
{
    if (!drawable(image) || !drawable(destination))
        return;
    display::SurfaceLock imageLock(image);
    display::SurfaceLock destinationLock(destination, imageLock);
    const int columns = std::min(image.width(), destination.width());
    const int rows = std::min(image.height(), destination.height());
    for (int y = 0; y < rows; ++y)
        std::memcpy(destinationLock.pixels() + y * stride(destination), imageLock.pixels() + y * stride(image),
                    static_cast<std::size_t>(columns) * 4);
}

} // namespace driver
