#include "tools/common/png_file.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include <cstdint>
#include <vector>

namespace tools {

bool writePng(display::Surface& surface, const std::string& path, std::string& error)
{
    if (surface.empty()) {
        error = "the image has no pixels";
        return false;
    }
    if (surface.format().bits() != 32) {
        error = "only 32-bit surfaces can be written";
        return false;
    }
    const int w = surface.width();
    const int h = surface.height();
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(w) * h * 3);
    const auto* base = static_cast<const std::uint8_t*>(surface.lock());
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(base + static_cast<std::size_t>(y) * surface.pitch());
        std::uint8_t* out = rgb.data() + static_cast<std::size_t>(y) * w * 3;
        for (int x = 0; x < w; ++x) {
            out[3 * x + 0] = static_cast<std::uint8_t>(row[x] >> 16);
            out[3 * x + 1] = static_cast<std::uint8_t>(row[x] >> 8);
            out[3 * x + 2] = static_cast<std::uint8_t>(row[x]);
        }
    }
    surface.unlock();
    if (!stbi_write_png(path.c_str(), w, h, 3, rgb.data(), w * 3)) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace tools
