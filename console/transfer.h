#pragma once
// Moving pixels between memory pictures through the conversion engine, and
// clearing them: the common ground of Surface and Console.
#include "console/display.h"

#include <cstdint>

namespace display {

// A block of pixels somewhere in memory.
struct PixelBlock {
    void* pixels = nullptr;
    int width = 0;
    int height = 0;
    int pitch = 0;
    Format format;
    const Palette* palette = nullptr; // colours of an indexed block
};

// Converts the whole source into the whole destination. Throws "unsupported
// pixel format conversion" when the engine has no converter and "stretching
// is not implemented" when the sizes differ.
void transferPixels(const PixelBlock& source, const PixelBlock& destination);
// The same for two areas, each first clipped to its own block; the clipped
// sizes must be equal.
void transferPixels(const PixelBlock& source, const Area& sourceArea, const PixelBlock& destination,
                    const Area& destinationArea);

// The pixel value of a colour in a format: each component (0 to 1, clamped)
// scaled to its mask and rounded to nearest; an index for indexed formats.
std::uint32_t pixelValue(const Format& format, const Color& color);
// Fills the area (clipped to the block) with the colour.
void fillPixels(const PixelBlock& block, const Area& area, const Color& color);

} // namespace display
