#include "console/display.h"

#include <algorithm>
#include <cstring>

namespace display {

Format::Format() = default;

Format::Format(int bits) : bits_(bits), indexed_(true)
{
    if (bits != 8)
        throw Error("only 8 bits per pixel is supported for indexed color");
}

Format::Format(int bits, std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a)
    : bits_(bits), r_(r), g_(g), b_(b), a_(a), direct_(true)
{
    if (bits % 8 != 0 || bits > 32 || bits <= 0)
        throw Error("unsupported bits per pixel for direct color");
}

bool Format::operator==(const Format& other) const
{
    if (direct_ && other.direct_)
        return bits_ == other.bits_ && r_ == other.r_ && g_ == other.g_ && b_ == other.b_ && a_ == other.a_;
    if (indexed_ && other.indexed_)
        return bits_ == other.bits_;
    return false;
}

Palette::Palette() { std::memset(entries_, 0, sizeof entries_); }

Palette::Palette(const std::uint32_t* entries) { std::memcpy(entries_, entries, sizeof entries_); }

std::uint32_t* Palette::lock()
{
    if (locked_)
        throw Error("palette is already locked");
    locked_ = true;
    return entries_;
}

void Palette::unlock()
{
    if (!locked_)
        throw Error("palette is not locked");
    locked_ = false;
}

void Palette::load(const std::uint32_t* entries) { std::memcpy(entries_, entries, sizeof entries_); }

void Palette::save(std::uint32_t* entries) const { std::memcpy(entries, entries_, sizeof entries_); }

bool Palette::operator==(const Palette& other) const
{
    return std::memcmp(entries_, other.entries_, sizeof entries_) == 0;
}

Area::Area(int left, int top, int right, int bottom)
    : left_(std::min(left, right)), top_(std::min(top, bottom)), right_(std::max(left, right)),
      bottom_(std::max(top, bottom))
{
}

Area Area::clip(const Area& other) const
{
    int l = std::max(left_, other.left_);
    int t = std::max(top_, other.top_);
    int r = std::min(right_, other.right_);
    int b = std::min(bottom_, other.bottom_);
    if (r < l)
        r = l;
    if (b < t)
        b = t;
    return Area(l, t, r, b);
}

} // namespace display
