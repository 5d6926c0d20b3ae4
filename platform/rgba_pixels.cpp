#include "platform/rgba_pixels.h"

#include <bit>
#include <cstddef>
#include <cstring>

namespace platform {

void pageToRgba(const std::uint8_t* page, int pitch, int width, int height, std::uint8_t* rgba)
{
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = page + static_cast<std::ptrdiff_t>(y) * pitch;
        std::uint8_t* out = rgba + static_cast<std::ptrdiff_t>(y) * width * 4;
        for (int x = 0; x < width; ++x) {
            std::uint32_t word;
            std::memcpy(&word, row + x * 4, 4);
            // Whole words on little-endian machines (x86, WebAssembly): the
            // bytes R, G, B, 255 in memory; the loop then vectorises.
            if constexpr (std::endian::native == std::endian::little) {
                const std::uint32_t out32 = 0xff000000u | (word >> 16 & 0xffu) | (word & 0xff00u) | (word & 0xffu) << 16;
                std::memcpy(out + x * 4, &out32, 4);
            } else {
                out[x * 4 + 0] = static_cast<std::uint8_t>(word >> 16);
                out[x * 4 + 1] = static_cast<std::uint8_t>(word >> 8);
                out[x * 4 + 2] = static_cast<std::uint8_t>(word);
                out[x * 4 + 3] = 255;
            }
        }
    }
}

std::uint32_t rgbaChecksum(const std::uint8_t* rgba, std::uint32_t bytes)
{
    std::uint32_t hash = 2166136261u;
    for (std::uint32_t i = 0; i < bytes; ++i) {
        hash ^= rgba[i];
        hash *= 16777619u;
    }
    return hash;
}

} // namespace platform
