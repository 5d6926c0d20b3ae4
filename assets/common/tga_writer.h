#pragma once
// Uncompressed TGA encoding of generator images, in the variants the demo's
// reader accepts: true colour of 24 or 32 bits, or colour-mapped with 8-bit
// indices; rows stored bottom first or top first.
#include "assets/common/image.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace assets {

enum class TgaPixels {
    TrueColour24, // type 2, 24 bits: blue, green, red
    TrueColour32, // type 2, 32 bits: blue, green, red, alpha (the image's top byte)
    ColourMapped, // type 1, 8-bit indices into a map of at most 256 entries
};

enum class TgaRows {
    BottomFirst, // descriptor bit 0x10 clear: the usual TGA order
    TopFirst,    // descriptor bits 0x10 and 0x20 set; see encodeTga
};

struct TgaLayout {
    TgaPixels pixels = TgaPixels::TrueColour24;
    TgaRows rows = TgaRows::BottomFirst;
    int mapEntryBits = 24;  // ColourMapped only: 24 or 32
    std::string imageId;    // optional ID field (at most 255 bytes)
};

// The file bytes of the image in the given layout. A colour-mapped layout
// needs an image of at most 256 distinct colours (see quantize.h); the map
// lists them in ascending order of their 32-bit value, so equal images give
// equal files. Throws std::invalid_argument for impossible requests.
//
// Top-first files set both descriptor bits 0x10 and 0x20: the demo's reader
// takes bit 0x10 as "first row is the top row", common TGA tools take 0x20.
// (Tools that also honour 0x10 as right-to-left would mirror the picture,
// which is why the generator only stores left-right symmetric pictures top
// first.)
std::vector<std::uint8_t> encodeTga(const Image& image, const TgaLayout& layout);

// Writes bytes to a file, throwing std::runtime_error on failure.
void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

} // namespace assets
