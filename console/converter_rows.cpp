// The conversion rows. Each reduction keeps the top bits of every channel
// (no rounding, no dithering). The loops are written so that the compiler
// turns them into vector code; 16-bit and 8-bit results are stored as
// little-endian 16-bit and 8-bit values.
#include "console/converter_rows.h"

#include <cstring>

namespace display::rows {

namespace {

inline std::uint32_t load32(const std::uint8_t* p)
{
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

inline void store32(std::uint8_t* p, std::uint32_t v) { std::memcpy(p, &v, 4); }

// Applies `f` to every source word and stores the 16-bit result.
template <typename F>
inline void to16(const std::uint8_t* __restrict source, std::uint8_t* __restrict destination, int count, F f)
{
    for (int i = 0; i < count; ++i) {
        std::uint32_t c = load32(source + 4 * i);
        std::uint16_t v = static_cast<std::uint16_t>(f(c));
        std::memcpy(destination + 2 * i, &v, 2);
    }
}

// Four pixels at a time into three words: the low three bytes of each
// word in memory order.
inline void pack24(const std::uint8_t* __restrict source, std::uint8_t* __restrict destination, int count, bool swap)
{
    auto fix = [swap](std::uint32_t c) {
        return swap ? ((c & 0xff) << 16) | (c & 0xff00) | ((c >> 16) & 0xff) : c;
    };
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        std::uint32_t p0 = fix(load32(source + 4 * i));
        std::uint32_t p1 = fix(load32(source + 4 * i + 4));
        std::uint32_t p2 = fix(load32(source + 4 * i + 8));
        std::uint32_t p3 = fix(load32(source + 4 * i + 12));
        std::uint8_t* d = destination + 3 * i;
        store32(d, (p0 & 0xffffff) | (p1 << 24));
        store32(d + 4, ((p1 >> 8) & 0xffff) | (p2 << 16));
        store32(d + 8, ((p2 >> 16) & 0xff) | (p3 << 8));
    }
    for (; i < count; ++i) {
        std::uint32_t c = fix(load32(source + 4 * i));
        std::uint8_t* d = destination + 3 * i;
        d[0] = static_cast<std::uint8_t>(c);
        d[1] = static_cast<std::uint8_t>(c >> 8);
        d[2] = static_cast<std::uint8_t>(c >> 16);
    }
}

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
    pack24(source, destination, count, false); // memory order blue, green, red
}

void rgb32ToRgb24(const std::uint8_t* source, std::uint8_t* destination, int count, const Context&)
{
    pack24(source, destination, count, true); // memory order red, green, blue
}

void rgb32ToRgb565(const std::uint8_t* source, std::uint8_t* destination, int count, const Context&)
{
    to16(source, destination, count,
         [](std::uint32_t c) { return ((c >> 8) & 0xf800) | ((c >> 5) & 0x7e0) | ((c >> 3) & 0x1f); });
}

void rgb32ToBgr565(const std::uint8_t* source, std::uint8_t* destination, int count, const Context&)
{
    to16(source, destination, count,
         [](std::uint32_t c) { return ((c & 0xf8) << 8) | ((c >> 5) & 0x7e0) | ((c >> 19) & 0x1f); });
}

void rgb32ToRgb555(const std::uint8_t* source, std::uint8_t* destination, int count, const Context&)
{
    to16(source, destination, count,
         [](std::uint32_t c) { return ((c >> 9) & 0x7c00) | ((c >> 6) & 0x3e0) | ((c >> 3) & 0x1f); });
}

void rgb32ToBgr555(const std::uint8_t* source, std::uint8_t* destination, int count, const Context&)
{
    to16(source, destination, count,
         [](std::uint32_t c) { return ((c & 0xf8) << 7) | ((c >> 6) & 0x3e0) | ((c >> 19) & 0x1f); });
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
    const Generic g = context.generic;
    to16(source, destination, count, [g](std::uint32_t c) {
        return (((c >> g.rRight) << g.rLeft) & g.rMask) | (((c >> g.gRight) << g.gLeft) & g.gMask) |
               (((c >> g.bRight) << g.bLeft) & g.bMask);
    });
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
