#pragma once
// Anti-aliased lines added onto a 32-bit picture with per-channel
// saturation: each row (or column) of the line gets one unit of coverage,
// split bilinearly between the two pixels on either side of the sample point
// in both directions; the last partial row is weighted by its length.
#include <cstdint>

namespace engine3d {

// A line from (x1, y1) to (x2, y2) in pixels, unrounded, onto the picture at
// `dest` (width x height pixels, rows `pitch` bytes apart). `multab` is the
// product table (entry i * 256 + j = i * j); r, g, b the colour added. Pixels
// outside the picture are skipped; a line of length 0 and lines with ends
// that are not finite or lie beyond +-2^20 draw nothing.
void _aaline32b(float x1, float y1, float x2, float y2, std::uint32_t* dest, int pitch, int width, int height,
                const std::uint32_t* multab, int r, int g, int b);

} // namespace engine3d
