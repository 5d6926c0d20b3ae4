// Fuzz target: the bytes as a TGA image through the in-memory entry of the
// reader. An image that was read has every pixel read back, so that a size
// larger than the memory behind it is caught by AddressSanitizer; an image
// that was not read must say so (empty, no size).
#include "console/display.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The pixel converter is set up once, not once per image.
    static display::ConverterHold* converter = [] {
        auto* hold = new display::ConverterHold();
        hold->acquire();
        return hold;
    }();
    (void)converter;

    display::Surface image(std::span<const std::uint8_t>(data, size));
    if (image.empty()) {
        if (image.width() != 0 || image.height() != 0)
            std::abort();
        return 0;
    }
    if (image.width() <= 0 || image.height() <= 0 || image.pitch() != image.width() * 4)
        std::abort();
    const auto* pixels = static_cast<const std::uint32_t*>(image.lock());
    std::uint32_t sum = 0;
    const std::size_t count = static_cast<std::size_t>(image.width()) * static_cast<std::size_t>(image.height());
    for (std::size_t i = 0; i < count; ++i)
        sum += pixels[i];
    image.unlock();
    // Keeps the reads from being optimised away.
    volatile std::uint32_t sink = sum;
    (void)sink;
    return 0;
}
