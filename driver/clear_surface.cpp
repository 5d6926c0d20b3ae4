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
    // is meant for. Pixel memory is 32-bit aligned.
    const std::size_t bytes = static_cast<std::size_t>(surface.pitch()) * static_cast<std::size_t>(surface.height());
    const std::size_t words = bytes / 4;
    auto* p = reinterpret_cast<std::uint32_t*>(pixels);
    std::size_t i = 0;
    for (; i + 2 <= words; i += 2) {
        p[i] = value;
        p[i + 1] = value;
    }
    // An odd pixel count gets its last pixel on its own rather than a pair
    // that would run past the end; so do the bytes of a surface of another
    // depth that do not make a whole word.
    if (i < words)
        p[i] = value;
    std::memcpy(pixels + words * 4, &value, bytes - words * 4);
    surface.unlock();
}

} // namespace driver
