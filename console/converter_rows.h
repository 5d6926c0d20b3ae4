#pragma once
// Row functions of the conversion engine: `count` pixels from `source` to
// `destination`. Sources of the 32-bit rows are 0xAARRGGBB words.
#include <cstdint>

namespace display::rows {

// Shift amounts of the generic converter, per channel: the channel is
// ((c >> right) << left) & mask.
struct Generic {
    std::uint32_t rMask = 0, gMask = 0, bMask = 0;
    int rRight = 0, rLeft = 0, gRight = 0, gLeft = 0, bRight = 0, bLeft = 0;
};

// The destination values of an indexed source's 256 colours.
struct Lookup {
    std::uint32_t values[256];
};

struct Context {
    Generic generic;
    Lookup lookup;
    int bytes = 4; // bytes per pixel of a plain copy
};

using RowFunction = void (*)(const std::uint8_t* source, std::uint8_t* destination, int count, const Context& context);

void copy(const std::uint8_t* source, std::uint8_t* destination, int count, const Context& context);
void rgb32ToBgr32(const std::uint8_t* source, std::uint8_t* destination, int count, const Context& context);
void rgb32ToBgr24(const std::uint8_t* source, std::uint8_t* destination, int count, const Context& context);
void rgb32ToRgb24(const std::uint8_t* source, std::uint8_t* destination, int count, const Context& context);
void rgb32ToRgb565(const std::uint8_t* source, std::uint8_t* destination, int count, const Context& context);
void rgb32ToBgr565(const std::uint8_t* source, std::uint8_t* destination, int count, const Context& context);
void rgb32ToRgb555(const std::uint8_t* source, std::uint8_t* destination, int count, const Context& context);
void rgb32ToBgr555(const std::uint8_t* source, std::uint8_t* destination, int count, const Context& context);
void rgb32ToRgb332(const std::uint8_t* source, std::uint8_t* destination, int count, const Context& context);
void rgb32ToGeneric32(const std::uint8_t* source, std::uint8_t* destination, int count, const Context& context);
void rgb32ToGeneric16(const std::uint8_t* source, std::uint8_t* destination, int count, const Context& context);
// Indexed 8-bit sources through the lookup table, by destination size.
void index8ToBytes1(const std::uint8_t* source, std::uint8_t* destination, int count, const Context& context);
void index8ToBytes2(const std::uint8_t* source, std::uint8_t* destination, int count, const Context& context);
void index8ToBytes3(const std::uint8_t* source, std::uint8_t* destination, int count, const Context& context);
void index8ToBytes4(const std::uint8_t* source, std::uint8_t* destination, int count, const Context& context);

} // namespace display::rows
