#include "console/transfer.h"

#include "console/converter.h"

#include <cstring>

namespace display {

namespace {

void select(const PixelBlock& source, const PixelBlock& destination)
{
    if (!Converter::request(source.format, destination.format))
        throw Error("unsupported pixel format conversion");
    if (source.format.indexed() && source.palette)
        Converter::palette(source.palette->data());
}

} // namespace

void transferPixels(const PixelBlock& source, const PixelBlock& destination)
{
    select(source, destination);
    if (source.width != destination.width || source.height != destination.height)
        throw Error("stretching is not implemented");
    Converter::convert(source.pixels, 0, 0, source.width, source.height, source.pitch, destination.pixels, 0, 0,
                       destination.width, destination.height, destination.pitch);
}

void transferPixels(const PixelBlock& source, const Area& sourceArea, const PixelBlock& destination,
                    const Area& destinationArea)
{
    const Area s = sourceArea.clip(Area(0, 0, source.width, source.height));
    const Area d = destinationArea.clip(Area(0, 0, destination.width, destination.height));
    select(source, destination);
    if (s.width() != d.width() || s.height() != d.height())
        throw Error("stretching is not implemented");
    Converter::convert(source.pixels, s.left(), s.top(), s.width(), s.height(), source.pitch, destination.pixels,
                       d.left(), d.top(), d.width(), d.height(), destination.pitch);
}

std::uint32_t pixelValue(const Format& format, const Color& color)
{
    if (format.indexed())
        return static_cast<std::uint32_t>(color.index()) & 0xff;
    auto channel = [](std::uint32_t mask, float value) -> std::uint32_t {
        if (!mask)
            return 0;
        if (!(value > 0.0f)) // also NaN
            value = 0.0f;
        if (value > 1.0f)
            value = 1.0f;
        const int shift = __builtin_ctz(mask);
        const std::uint32_t maximum = mask >> shift;
        // Rounded to nearest, written out so that no rounding mode is involved.
        const auto level = static_cast<std::uint32_t>(static_cast<double>(value) * maximum + 0.5);
        return (level << shift) & mask;
    };
    return channel(format.r(), color.r()) | channel(format.g(), color.g()) | channel(format.b(), color.b()) |
           channel(format.a(), color.a());
}

void fillPixels(const PixelBlock& block, const Area& area, const Color& color)
{
    const Area a = area.clip(Area(0, 0, block.width, block.height));
    const int bytes = block.format.bytes();
    if (!block.pixels || a.width() <= 0 || a.height() <= 0 || bytes <= 0)
        return;
    const std::uint32_t value = pixelValue(block.format, color);
    std::uint8_t pattern[4];
    for (int k = 0; k < 4; ++k)
        pattern[k] = static_cast<std::uint8_t>(value >> (8 * k)); // little-endian pixel bytes
    auto* row = static_cast<std::uint8_t*>(block.pixels) + static_cast<std::ptrdiff_t>(a.top()) * block.pitch +
                static_cast<std::ptrdiff_t>(a.left()) * bytes;
    const std::size_t rowBytes = static_cast<std::size_t>(a.width()) * bytes;
    // Build the first row, then copy it to the others.
    for (int x = 0; x < a.width(); ++x)
        std::memcpy(row + static_cast<std::size_t>(x) * bytes, pattern, static_cast<std::size_t>(bytes));
    for (int y = 1; y < a.height(); ++y)
        std::memcpy(row + static_cast<std::ptrdiff_t>(y) * block.pitch, row, rowBytes);
}

} // namespace display
