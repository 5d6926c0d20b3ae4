#include "effects/fire_tunnel.h"

#include "console/surface_lock.h"
#include "platform/portable_math.h"
#include "platform/random_numbers.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace effects {

namespace {

constexpr int fieldBytes = FireTunnel::fieldSize * FireTunnel::fieldSize;

// The low 8 bits of trunc(x); 0 for NaN and for values too large to truncate.
std::uint8_t lowByteOfTrunc(double x)
{
    if (!(std::fabs(x) < 9.0e18))
        return 0;
    return static_cast<std::uint8_t>(static_cast<std::int64_t>(x));
}

} // namespace

namespace firetunnel {

void _blurfield(std::uint8_t* fire)
{
    constexpr int last = fieldBytes - 2 * FireTunnel::fieldSize - 1; // 65023, the last byte of row 253
    // The sum of the seven neighbours that are still old when k is reached
    // (every index above k) is worked out a row ahead of the running
    // dependency on the new fire[k - 1]; the result is the same as the plain
    // loop, only faster.
    std::uint16_t ahead[256];
    unsigned previous = 0; // fire[-1] lies outside the field and counts as 0
    for (int start = 0; start <= last; start += 256) {
        const int count = std::min(256, last + 1 - start);
        const std::uint8_t* f = fire + start;
        // At k = 65023 the neighbour k + 513 is 65536, outside the field: it counts as 0.
        const int full = start + count - 1 == last ? count - 1 : count;
        for (int j = 0; j < full; ++j)
            ahead[j] = static_cast<std::uint16_t>(f[j] + f[j + 2] + f[j + 255] + f[j + 257] + f[j + 511] +
                                                  f[j + 512] + f[j + 513]);
        if (full < count)
            ahead[full] = static_cast<std::uint16_t>(f[full] + f[full + 2] + f[full + 255] + f[full + 257] +
                                                     f[full + 511] + f[full + 512]);
        std::uint8_t* out = fire + start;
        for (int j = 0; j < count; ++j) {
            previous = (previous + ahead[j]) >> 3;
            out[j] = static_cast<std::uint8_t>(previous);
        }
    }
}

void _drawrow(std::uint32_t* destination, const std::uint8_t* map, int count, int angleOffset, int depthOffset,
              const std::uint8_t* wobble, const std::uint8_t* fire, const std::uint32_t* palette)
{
    const unsigned angle = static_cast<unsigned>(angleOffset) & 255;
    const unsigned depth = static_cast<unsigned>(depthOffset) & 255;
    for (int i = 0; i < count; ++i) {
        const unsigned u = (map[2 * i] + angle) & 255;
        const unsigned v = (map[2 * i + 1] + depth + wobble[u]) & 255;
        destination[i] = palette[fire[v << 8 | u]];
    }
}

} // namespace firetunnel

FireTunnel::FireTunnel(int seedCount_, int mapWidth, int mapHeight, float amplitude)
    : seedCount(seedCount_), fire_(fieldBytes, 0), mapWidth_(std::max(0, mapWidth)),
      mapHeight_(std::max(0, mapHeight)), map_(static_cast<std::size_t>(mapWidth_) * mapHeight_ * 2)
{
    // Twelve periods of a sine over the 256 angles, 0 to 2 x amplitude.
    for (int i = 0; i < 256; ++i)
        wobble_[i] = lowByteOfTrunc(std::trunc((platform::math::sin(i * 0.00390625 * 75.39816) + 1) * amplitude));

    // Black through blue and violet to white (reached at index 77).
    for (int i = 0; i < 256; ++i) {
        const int q = i * i;
        const std::uint32_t red = std::min(255, static_cast<int>(q * 0.058));
        const std::uint32_t green = std::min(255, static_cast<int>(q * 0.044));
        const std::uint32_t blue = std::min(255, static_cast<int>(q * 0.075));
        palette_[i] = red << 16 | green << 8 | blue;
    }

    // The polar map. The distance is scaled so that the map's corner lies at
    // sqrt(54400) = 233.2 and negated, so that it grows from the bottom row of
    // the field (0 at the centre, 255 one pixel away) toward the top.
    const int halfW = mapWidth_ / 2, halfH = mapHeight_ / 2;
    const double cornerDistance = std::sqrt(static_cast<double>(halfW) * halfW + static_cast<double>(halfH) * halfH);
    const float scale = cornerDistance > 0 ? static_cast<float>(std::sqrt(54400.0) / cornerDistance) : 0.0f;
    std::uint8_t* entry = map_.data();
    for (int r = 0; r < mapHeight_; ++r) {
        const int dy = r - halfH;
        for (int c = 0; c < mapWidth_; ++c) {
            const int dx = c - halfW;
            const double angle = (platform::math::atan2(static_cast<double>(dy), static_cast<double>(dx)) * 0.31831015504887655 + 1) * 127.5;
            const double distance = std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy);
            *entry++ = static_cast<std::uint8_t>(static_cast<int>(angle));
            *entry++ = lowByteOfTrunc(-(distance * scale));
        }
    }
}

void FireTunnel::update()
{
    std::uint8_t* bottom = fire_.data() + 254 * fieldSize; // rows 254 and 255
    std::fill(bottom, bottom + 2 * fieldSize, 0);
    for (int i = 0; i < seedCount; ++i) {
        bottom[fieldSize + (platform::nextRandom() & 255)] = 255;
        bottom[platform::nextRandom() & 255] = 255;
    }
    firetunnel::_blurfield(fire_.data());
}

void FireTunnel::draw(display::BaseSurface& surface, int centreX, int centreY, int angleOffset, int depthOffset)
{
    update();
    if (mapWidth_ == 0 || mapHeight_ == 0 || surface.format().bytes() != 4)
        return;
    // The rectangle actually written must lie inside the surface. For an even
    // map this is the rule "centre +- half size within 0..size, both ends
    // included"; for an odd one that rule would let one column or row run
    // past the right or bottom edge, so the written size is what counts.
    const long long left = static_cast<long long>(centreX) - (mapWidth_ >> 1);
    const long long top = static_cast<long long>(centreY) - (mapHeight_ >> 1);
    if (left < 0 || top < 0 || left + mapWidth_ > surface.width() || top + mapHeight_ > surface.height())
        return;

    const display::SurfaceLock lock(surface);
    auto* base = reinterpret_cast<std::uint8_t*>(lock.pixels());
    const int pitch = surface.pitch();
    for (int r = 0; r < mapHeight_; ++r) {
        auto* row = reinterpret_cast<std::uint32_t*>(base + (top + r) * pitch) + left;
        firetunnel::_drawrow(row, map_.data() + static_cast<std::size_t>(r) * mapWidth_ * 2, mapWidth_, angleOffset,
                             depthOffset, wobble_, fire_.data(), palette_);
    }
}

} // namespace effects
