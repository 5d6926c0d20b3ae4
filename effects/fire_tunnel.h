#pragma once
// Fire tunnel: a 256x256 field of heat bytes, seeded with random sparks along
// its two bottom rows and blurred upward each update, seen through a fixed
// polar map so that the hot bottom rows lie at the centre of the screen and
// the cold top rows toward its edges. A per-angle wobble gives the outline
// twelve lobes; an angle offset turns it.
#include "console/display.h"

#include <cstdint>
#include <vector>

namespace effects {

class FireTunnel {
public:
    static constexpr int fieldSize = 256; // the heat field is fieldSize x fieldSize bytes

    // The demo uses (10, 320, 200, 10.0). Negative map sizes are taken as 0
    // (a map with no pixels).
    FireTunnel(int seedCount, int mapWidth, int mapHeight, float amplitude);

    // Sparks set in each of the two bottom rows per update.
    int seedCount;

    // One step of the fire: clears the two bottom rows, sets seedCount sparks
    // in each (columns from platform::nextRandom(), so platform::seedRandom
    // makes a run repeatable), then blurs rows 0 to 253 upward in place.
    void update();

    // One update, then the map drawn into a 32-bit surface with its centre at
    // (centreX, centreY). The offsets are taken modulo 256. When the map does
    // not lie wholly inside the surface nothing is drawn and the surface is
    // not locked.
    void draw(display::BaseSurface& surface, int centreX, int centreY, int angleOffset, int depthOffset);

    int mapWidth() const { return mapWidth_; }
    int mapHeight() const { return mapHeight_; }
    // Row 255 is the bottom.
    std::uint8_t* fire() { return fire_.data(); }
    const std::uint8_t* fire() const { return fire_.data(); }
    const std::uint8_t* wobble() const { return wobble_; }
    const std::uint32_t* palette() const { return palette_; }
    // Per map pixel, row-major: the angle byte, then the distance byte.
    const std::uint8_t* map() const { return map_.data(); }

private:
    std::vector<std::uint8_t> fire_;
    std::uint8_t wobble_[256];
    std::uint32_t palette_[256];
    int mapWidth_, mapHeight_;
    std::vector<std::uint8_t> map_;
};

namespace firetunnel {

// The blur of rows 0 to 253 of a 65536-byte heat field, in place and in
// increasing order: fire[k] = (fire[k-1] + fire[k] + fire[k+2] + fire[k+255]
// + fire[k+257] + fire[k+511] + fire[k+512] + fire[k+513]) >> 3, where
// fire[k-1] is already the new value and the two indices outside the field
// (-1 and 65536) count as 0.
void _blurfield(std::uint8_t* fire);

// One row of the picture: for each of `count` map entries, u = angle +
// angleOffset and v = distance + depthOffset + wobble[u] (both mod 256), and
// the pixel is palette[fire[v * 256 + u]].
void _drawrow(std::uint32_t* destination, const std::uint8_t* map, int count, int angleOffset, int depthOffset,
              const std::uint8_t* wobble, const std::uint8_t* fire, const std::uint32_t* palette);

} // namespace firetunnel
} // namespace effects
