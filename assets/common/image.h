#pragma once
// A finished picture as the generator writes it: 32-bit 0xAARRGGBB words,
// top row first.
#include <cstdint>
#include <vector>

namespace assets {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // width * height, row after row, top row first

    Image() = default;
    Image(int w, int h, std::uint32_t fill = 0) : width(w), height(h), pixels(std::size_t(w) * std::size_t(h), fill) {}

    std::uint32_t& at(int x, int y) { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
    std::uint32_t at(int x, int y) const { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
};

} // namespace assets
