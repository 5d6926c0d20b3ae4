#pragma once
// Reads and writes the pixels of 32-bit test surfaces, locking the surface
// around each access so that the code under test finds it unlocked.
#include "console/display.h"

#include <cstdint>
#include <vector>

namespace testing_support {

// Every pixel, row after row.
std::vector<std::uint32_t> pixelsOf(display::BaseSurface& surface);

// Sets every pixel to `value`.
void paint(display::BaseSurface& surface, std::uint32_t value);

// The pixel at column x of row y, and setting it.
std::uint32_t pixelAt(display::BaseSurface& surface, int x, int y);
void setPixel(display::BaseSurface& surface, int x, int y, std::uint32_t value);

} // namespace testing_support
