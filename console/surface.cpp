#include "console/display.h"

#include <cstring>

namespace display {

Surface::Surface(int width, int height, const Format& format) : width_(width), height_(height), format_(format)
{
    long long size = static_cast<long long>(width) * height * format.bytes();
    if (width <= 0 || height <= 0 || size <= 0)
        throw Error("zero surface size");
    pixels_.reset(new std::uint8_t[static_cast<std::size_t>(size)]);
    std::memset(pixels_.get(), 0, static_cast<std::size_t>(size));
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

} // namespace display
