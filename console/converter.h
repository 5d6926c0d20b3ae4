#pragma once
// The pixel conversion engine: turns rows of one Format into another. Every
// surface and every console holds a reference to it (ConverterHold); the
// selected converter and the last accepted pair are shared by all of them.
// Used from the drawing thread only.
#include "console/display.h"

#include <cstdint>

namespace display {

// What a conversion looks at in a format: alpha masks take no part.
struct PixelDescription {
    int bits = 0;
    std::uint32_t r = 0, g = 0, b = 0;
    bool indexed = false;

    static PixelDescription of(const Format& format);
    bool operator==(const PixelDescription&) const = default;
};

class Converter {
public:
    // Takes a reference; the first one prints "Converter initialising: 1".
    static void initialise();
    // Drops a reference; the last one prints "Converter shutting down".
    static void release();
    static int references();

    // Selects the converter from `source` to `destination`; false when there
    // is none (the caller reports "unsupported pixel format conversion").
    // A new selection prints "C Converter " (plus "(Generic)" for the
    // generic one) and a line feed; asking again for the last pair is silent.
    static bool request(const Format& source, const Format& destination);
    // Colours (0x00RRGGBB) of an indexed source, for the selected converter.
    static void palette(const std::uint32_t* entries);
    // Converts min(sourceHeight, destinationHeight) rows of
    // min(sourceWidth, destinationWidth) pixels, starting at the given
    // positions (x in pixels of each side's size). Nothing happens when a
    // width or height is 0 or less.
    static void convert(const void* source, int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                        int sourcePitch, void* destination, int destinationX, int destinationY,
                        int destinationWidth, int destinationHeight, int destinationPitch);
};

// The place of the channel's top: one above the highest bit of the lowest run
// of ones in the mask (0 for an empty mask). top(0xf800) = 16, top(0x1f) = 5.
int maskTop(std::uint32_t mask);

} // namespace display
