#pragma once
// Pages of 32-bit words 0x00RRGGBB turned into the byte order of a browser
// canvas (red, green, blue, alpha), every pixel opaque.
#include <cstdint>

namespace platform {

// Converts width x height pixels from `page` (rows of `pitch` bytes) into
// `rgba` (4 x width bytes a row, no gaps). The word's top byte is ignored:
// alpha is always 255.
void pageToRgba(const std::uint8_t* page, int pitch, int width, int height, std::uint8_t* rgba);

// FNV-1a (32 bits) over the bytes of an RGBA picture: the checksum by which
// a browser's canvas and a native recording are compared.
std::uint32_t rgbaChecksum(const std::uint8_t* rgba, std::uint32_t bytes);

} // namespace platform
