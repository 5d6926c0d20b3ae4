#include "driver/clear_surface.h"

#include <cstddef>
#include <cstring>

namespace driver {

void clearSurface(display::Surface& surface, std::uint32_t value)
{
    if (surface.empty())
        return;
    auto* pixels = static_cast<std::uint8_t*>(surface.lock());
    // Surfaces store their rows without gaps, so the picture is one run of
    // pitch x height bytes: width x height words for the 32-bit surfaces this
    // is meant for.
    const std::size_t bytes = static_cast<std::size_t>(surface.pitch()) * static_cast<std::size_t>(surface.height());
    const std::uint64_t pair = (static_cast<std::uint64_t>(value) << 32) | value;
    std::size_t i = 0;
    for (; i + 8 <= bytes; i += 8)
        std::memcpy(pixels + i, &pair, sizeof pair);
    // An odd pixel count gets its last pixel on its own rather than a pair
    // that would run past the end (so would a surface of another depth).
    for (; i < bytes; i += 4)
        std::memcpy(pixels + i, &value, bytes - i < 4 ? bytes - i : 4);
    surface.unlock();
}

} // namespace driver
