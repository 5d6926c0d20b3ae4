#pragma once
// The frame loop's clear: every pixel of a 32-bit surface set to one value.
#include "console/display.h"

#include <cstdint>

namespace driver {

// Writes `value` into every pixel of `surface` (a 32-bit surface), two pixels
// per step. The surface is locked for the write and unlocked afterwards; an
// empty surface is left alone. A locked surface throws "surface is already
// locked".
void clearSurface(display::Surface& surface, std::uint32_t value);

} // namespace driver
