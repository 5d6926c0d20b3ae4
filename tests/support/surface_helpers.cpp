#include "tests/support/surface_helpers.h"

#include "console/surface_lock.h"

#include <algorithm>
#include <cstddef>

namespace testing_support {

namespace {

// Pixels from one row to the next.
std::ptrdiff_t stride(const display::BaseSurface& surface) { return surface.pitch() / 4; }

} // namespace

std::vector<std::uint32_t> pixelsOf(display::BaseSurface& surface)
{
    const display::SurfaceLock lock(surface);
    std::vector<std::uint32_t> pixels;
    pixels.reserve(static_cast<std::size_t>(surface.width()) * static_cast<std::size_t>(surface.height()));
    for (int y = 0; y < surface.height(); ++y) {
        const std::uint32_t* row = lock.pixels() + y * stride(surface);
        pixels.insert(pixels.end(), row, row + surface.width());
    }
    return pixels;
}

void paint(display::BaseSurface& surface, std::uint32_t value)
{
    const display::SurfaceLock lock(surface);
    for (int y = 0; y < surface.height(); ++y) {
        std::uint32_t* row = lock.pixels() + y * stride(surface);
        std::fill(row, row + surface.width(), value);
    }
}

std::uint32_t pixelAt(display::BaseSurface& surface, int x, int y)
{
    const display::SurfaceLock lock(surface);
    return lock.pixels()[y * stride(surface) + x];
}

void setPixel(display::BaseSurface& surface, int x, int y, std::uint32_t value)
{
    const display::SurfaceLock lock(surface);
    lock.pixels()[y * stride(surface) + x] = value;
}

} // namespace testing_support
