#include "console/display.h"

#include "console/transfer.h"

#include <cstring>

namespace display {

Surface::Surface(int width, int height, const Format& format) : width_(width), height_(height), format_(format)
{
    long long size = static_cast<long long>(width) * height * format.bytes();
    if (width <= 0 || height <= 0 || size <= 0)
        throw Error("zero surface size");
    pixels_.reset(new std::uint8_t[static_cast<std::size_t>(size)]);
    std::memset(pixels_.get(), 0, static_cast<std::size_t>(size));
    converter_.acquire();
}

Surface::~Surface() = default;

void* Surface::lock()
{
    if (locked_)
        throw Error("surface is already locked");
    locked_ = true;
    return pixels_.get();
}

void Surface::unlock()
{
    if (!locked_)
        throw Error("surface is not locked");
    locked_ = false;
}

// An empty surface (an image that could not be read) has nothing to give
// and takes nothing: every transfer into or out of it does nothing.

void Surface::copy(BaseSurface& surface, const Area& source, const Area& destination)
{
    if (empty())
        return;
    surface.load(pixels_.get(), width_, height_, format_, palette_, source, destination);
}

void Surface::copy(BaseSurface& surface)
{
    if (empty())
        return;
    surface.load(pixels_.get(), width_, height_, format_, palette_);
}

namespace {

PixelBlock given(const void* pixels, int width, int height, const Format& format, const Palette& palette)
{
    // Pixels handed to a loader have no gaps: the pitch is width times bytes.
    return {const_cast<void*>(pixels), width, height, width * format.bytes(), format, &palette};
}

} // namespace

void Surface::load(const void* pixels, int width, int height, const Format& format, const Palette& palette,
                   const Area& source, const Area& destination)
{
    if (empty() || !pixels)
        return;
    transferPixels(given(pixels, width, height, format, palette), source,
                   {pixels_.get(), width_, height_, pitch(), format_, &palette_}, destination);
}

void Surface::load(const void* pixels, int width, int height, const Format& format, const Palette& palette)
{
    if (empty() || !pixels)
        return;
    transferPixels(given(pixels, width, height, format, palette),
                   {pixels_.get(), width_, height_, pitch(), format_, &palette_});
}

void Surface::save(void* pixels, int width, int height, const Format& format, const Palette& palette,
                   const Area& source, const Area& destination)
{
    if (empty() || !pixels)
        return;
    transferPixels({pixels_.get(), width_, height_, pitch(), format_, &palette_}, source,
                   given(pixels, width, height, format, palette), destination);
}

void Surface::save(void* pixels, int width, int height, const Format& format, const Palette& palette)
{
    if (empty() || !pixels)
        return;
    transferPixels({pixels_.get(), width_, height_, pitch(), format_, &palette_},
                   given(pixels, width, height, format, palette));
}

void Surface::clear(const Color& color, const Area& area)
{
    fillPixels({pixels_.get(), width_, height_, pitch(), format_, &palette_}, area, color);
}

void Surface::clear(const Color& color)
{
    fillPixels({pixels_.get(), width_, height_, pitch(), format_, &palette_}, Area(0, 0, width_, height_), color);
}

} // namespace display
