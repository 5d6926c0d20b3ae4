#pragma once
// Whole-frame operations the frame loop applies between and around the
// effects: clearing (driver/clear_surface.h), the beat zoom (filtered and
// nearest), the quarter-tile feedback copy and the keyed overlay blit. All work on 32-bit pixels
// (0x00RRGGBB, top byte carried along), lock what they touch and unlock it
// before returning on every path. An empty image (one that could not be read)
// or a surface that is not 32 bits per pixel draws nothing. Where one surface
// is passed as both source and destination it is locked once.
#include "console/display.h"
#include "driver/clear_surface.h"

#include <cstdint>

namespace driver {

// Centred zoom of source into destination by factor f (1 maps one to one,
// smaller magnifies the centre, 0 fills with the centre pixel). Positions are
// 16.16 fixed point: du = trunc(sw * f / dw * 65536), uStart =
// trunc((sw / 2 - sw * f / 2) * 65536), and the same for rows. f is taken
// within 0..1 (NaN as 0), the range in which every sample lies in the source.
//
// Filtered: each of the four bytes of a pixel (top byte included) is
// interpolated on its own with 15-bit weights wx = fx >> 1, wy = fy >> 1:
//   top    = c00 + ((2 * (c01 - c00) * wx) >> 16)
//   bottom = c10 + ((2 * (c11 - c10) * wx) >> 16)
//   result = clamp(top + ((2 * (bottom - top) * wy) >> 16), 0, 255)
// with the shifts floored (arithmetic). A neighbour beyond the source's last
// column or row is read from that last column or row, which keeps every read
// inside the source; for 0 <= f < 1 on equal sizes no neighbour lies there.
void beatZoomFiltered(display::Surface& destination, display::Surface& source, float f);
// The same mapping, taking the whole source pixel at (u >> 16, v >> 16).
void beatZoomNearest(display::Surface& destination, display::Surface& source, float f);

// Source halved in size and brightness into each quadrant of the destination:
// p = (source(2x, 2y) >> 1) & 0x7f7f7f goes to (x, y), (x + W/2, y),
// (x, y + H/2) and (x + W/2, y + H/2) for x < W/2, y < H/2 (as far as the
// source reaches). The top byte of every written pixel is 0.
void quarterTileCopy(display::Surface& destination, display::Surface& source);

// Copies the image with its top-left at (x, y), clipped on all four sides,
// leaving out pixels equal to the key: the image pixel at column 0 of the
// first drawn row.
void blitKeyed(display::Surface& image, display::Surface& destination, int x, int y);

// Copies the image's pixels over the destination from the top-left corner,
// as far as both reach (the end picture is exactly the frame's size).
void copyPicture(display::Surface& image, display::Surface& destination);

} // namespace driver
