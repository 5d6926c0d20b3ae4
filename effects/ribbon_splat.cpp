// The ribbon splat in its two forms, and the processor query that picks one.
#include "effects/spline_ribbons.h"
#include "platform/cpu.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <cstring>

namespace effects {

namespace {

// a + b per byte, stopping at 255, on the three low bytes; the top byte of
// `pixel` is kept.
inline std::uint32_t addSaturateRgb(std::uint32_t pixel, std::uint32_t colour)
{
    std::uint32_t result = pixel & 0xff000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        std::uint32_t sum = ((pixel >> shift) & 0xffu) + ((colour >> shift) & 0xffu);
        result |= (sum > 0xffu ? 0xffu : sum) << shift;
    }
    return result;
}

#if defined(__SSE2__)
inline void addSaturateBytes(std::uint32_t* pixel, __m128i colour)
{
    __m128i p = _mm_cvtsi32_si128(static_cast<int>(*pixel));
    *pixel = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_adds_epu8(p, colour)));
}
#endif

} // namespace

void _splatnommx(std::uint32_t* centre, int pitch, std::uint8_t a, std::uint8_t b, std::uint8_t c)
{
    const std::uint32_t colour = static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b) << 8 |
                                 static_cast<std::uint32_t>(c) << 16;
    const std::uint32_t half = static_cast<std::uint32_t>(a >> 1) | static_cast<std::uint32_t>(b >> 1) << 8 |
                               static_cast<std::uint32_t>(c >> 1) << 16;
    centre[0] = addSaturateRgb(centre[0], colour);
    centre[pitch] = addSaturateRgb(centre[pitch], half);
    centre[-pitch] = addSaturateRgb(centre[-pitch], half);
    centre[-1] = addSaturateRgb(centre[-1], half);
    centre[1] = addSaturateRgb(centre[1], half);
}

void _splatmmx(std::uint32_t* centre, int pitch, std::uint8_t a, std::uint8_t b, std::uint8_t c)
{
#if !defined(__SSE2__)
    _splatnommx(centre, pitch, a, b, c);
#else
    // Packed the other way round from the plain form: a lands in red.
    const std::uint32_t packed = static_cast<std::uint32_t>(a) << 16 | static_cast<std::uint32_t>(b) << 8 |
                                 static_cast<std::uint32_t>(c);
    const __m128i colour = _mm_cvtsi32_si128(static_cast<int>(packed));
    // One shift of the whole word halves every byte once the bits that fell
    // into the byte below are masked off.
    const __m128i half = _mm_and_si128(_mm_srli_epi32(colour, 1), _mm_cvtsi32_si128(0x00ff7f7f));
    addSaturateBytes(centre, colour);
    addSaturateBytes(centre + pitch, half);
    addSaturateBytes(centre - pitch, half);
    addSaturateBytes(centre - 1, half);
    addSaturateBytes(centre + 1, half);
#endif
}

void _hamtacpuinfo(char* vendor, std::uint8_t* fpu, std::uint8_t* mmx)
{
    platform::CpuInfo info = platform::queryCpu();
    std::memset(vendor, 0, 13);
    std::memcpy(vendor, info.vendor.data(), info.vendor.size() < 12 ? info.vendor.size() : 12);
    *fpu = info.fpu ? 1 : 0;
    *mmx = info.mmx ? 1 : 0;
}

const ProcessorInfo& processorInfo()
{
    static const ProcessorInfo info = [] {
        ProcessorInfo filled;
        _hamtacpuinfo(filled.vendor, &filled.fpu, &filled.mmx);
        return filled;
    }();
    return info;
}

namespace {
// Fill the record when the program starts, before anything draws.
[[maybe_unused]] const ProcessorInfo& startupRecord = processorInfo();
} // namespace

} // namespace effects
