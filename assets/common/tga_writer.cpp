#include "assets/common/tga_writer.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace assets {
namespace {

void put16(std::vector<std::uint8_t>& out, int v)
{
    out.push_back(std::uint8_t(v & 0xff));
    out.push_back(std::uint8_t((v >> 8) & 0xff));
}

void putColour(std::vector<std::uint8_t>& out, std::uint32_t c, int bytes)
{
    out.push_back(std::uint8_t(c));
    out.push_back(std::uint8_t(c >> 8));
    out.push_back(std::uint8_t(c >> 16));
    if (bytes == 4)
        out.push_back(std::uint8_t(c >> 24));
}

} // namespace

std::vector<std::uint8_t> encodeTga(const Image& image, const TgaLayout& layout)
{
    if (image.width <= 0 || image.height <= 0 || image.width > 32767 || image.height > 32767)
        throw std::invalid_argument("TGA image size out of range");
    if (image.pixels.size() != std::size_t(image.width) * std::size_t(image.height))
        throw std::invalid_argument("TGA image has the wrong number of pixels");
    if (layout.imageId.size() > 255)
        throw std::invalid_argument("TGA image ID longer than 255 bytes");

    const bool mapped = layout.pixels == TgaPixels::ColourMapped;
    std::vector<std::uint32_t> map;
    if (mapped) {
        if (layout.mapEntryBits != 24 && layout.mapEntryBits != 32)
            throw std::invalid_argument("TGA colour map entries must be 24 or 32 bits");
        map = image.pixels;
        std::sort(map.begin(), map.end());
        map.erase(std::unique(map.begin(), map.end()), map.end());
        if (map.size() > 256)
            throw std::invalid_argument("TGA colour-mapped image has more than 256 colours");
    }
    const int pixelBits = mapped ? 8 : (layout.pixels == TgaPixels::TrueColour32 ? 32 : 24);
    const bool topFirst = layout.rows == TgaRows::TopFirst;

    std::vector<std::uint8_t> out;
    out.reserve(18 + layout.imageId.size() + map.size() * 4 + image.pixels.size() * std::size_t(pixelBits / 8));
    out.push_back(std::uint8_t(layout.imageId.size()));
    out.push_back(mapped ? 1 : 0);                       // colour-map type
    out.push_back(mapped ? 1 : 2);                       // image type
    put16(out, 0);                                       // first map index
    put16(out, mapped ? int(map.size()) : 0);            // map length
    out.push_back(std::uint8_t(mapped ? layout.mapEntryBits : 0));
    put16(out, 0);                                       // x origin
    put16(out, 0);                                       // y origin
    put16(out, image.width);
    put16(out, image.height);
    out.push_back(std::uint8_t(pixelBits));
    std::uint8_t descriptor = pixelBits == 32 ? 8 : 0;   // alpha bits
    if (mapped && layout.mapEntryBits == 32)
        descriptor = 8;
    if (topFirst)
        descriptor |= 0x30;
    out.push_back(descriptor);
    out.insert(out.end(), layout.imageId.begin(), layout.imageId.end());

    for (std::uint32_t c : map)
        putColour(out, c, layout.mapEntryBits / 8);

    for (int row = 0; row < image.height; ++row) {
        const int y = topFirst ? row : image.height - 1 - row;
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t c = image.at(x, y);
            if (mapped) {
                const auto it = std::lower_bound(map.begin(), map.end(), c);
                out.push_back(std::uint8_t(it - map.begin()));
            } else {
                putColour(out, c, pixelBits / 8);
            }
        }
    }
    return out;
}

void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    if (!f)
        throw std::runtime_error("cannot open " + path.string() + " for writing");
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!f)
        throw std::runtime_error("cannot write " + path.string());
}

} // namespace assets
