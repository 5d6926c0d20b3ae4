// Uncompressed TGA images (colour-mapped and true-colour) read into a 32-bit
// surface, from a file or from its bytes in memory. The file is read front to
// back and every read is checked against the file's length: an image that
// cannot be read is an empty surface.
#include "console/display.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <vector>

namespace display {

namespace {

// Reads from a file held in memory, never past its end.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    long long remaining() const { return static_cast<long long>(bytes_.size() - position_); }

    bool read(void* data, long long count)
    {
        if (count < 0 || count > remaining())
            return false;
        if (count)
            std::memcpy(data, bytes_.data() + position_, static_cast<std::size_t>(count));
        position_ += static_cast<std::size_t>(count);
        return true;
    }

    bool skip(long long count)
    {
        if (count < 0 || count > remaining())
            return false;
        position_ += static_cast<std::size_t>(count);
        return true;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

// Larger files are not pictures this program draws (a 4096 x 4096 true-colour
// picture takes 64 MB, though the header can describe 4 GB): they give no
// image, so that a path naming a device that never ends cannot exhaust the
// memory.
constexpr std::size_t kMaxFileSize = 128u * 1024u * 1024u;

// The whole file, or false when it cannot be opened. A file too large comes
// back empty. Read in blocks to its end rather than by the size the system
// reports, which is meaningless for some paths.
bool readWholeFile(const char* path, std::vector<std::uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    char block[65536];
    while (in.read(block, sizeof block) || in.gcount() > 0) {
        bytes.insert(bytes.end(), block, block + in.gcount());
        if (bytes.size() > kMaxFileSize) {
            bytes.clear();
            return true; // opened, but no image
        }
    }
    return true;
}

std::uint16_t u16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::int16_t s16(const std::uint8_t* p) { return static_cast<std::int16_t>(u16(p)); }

// One colour of `bytes` bytes (2, 3 or 4) as a 32-bit pixel.
std::uint32_t colour(const std::uint8_t* p, int bytes)
{
    switch (bytes) {
    case 2: {
        // 5 bits each of red (10-14), green (5-9), blue (0-4), moved to the top
        // of their bytes; bit 15 is ignored.
        std::uint32_t v = u16(p);
        return ((v & 0x1f) << 3) | ((v & 0x3e0) << 6) | ((v & 0x7c00) << 9);
    }
    case 3:
        return static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[0];
    default: // 4: blue, green, red, alpha as one little-endian word
        return static_cast<std::uint32_t>(p[3]) << 24 | static_cast<std::uint32_t>(p[2]) << 16 |
               static_cast<std::uint32_t>(p[1]) << 8 | p[0];
    }
}

} // namespace

Surface::Surface(const char* path) : format_(format32())
{
    converter_.acquire();
    std::vector<std::uint8_t> bytes;
    if (!path || !readWholeFile(path, bytes)) {
        std::printf("Can't find%s", path ? path : "");
        std::fflush(stdout);
        return;
    }
    readTga(bytes);
}

Surface::Surface(std::span<const std::uint8_t> tgaFile) : format_(format32())
{
    converter_.acquire();
    readTga(tgaFile);
}

void Surface::readTga(std::span<const std::uint8_t> file)
{
    Reader in(file);

    std::uint8_t header[18];
    if (!in.read(header, sizeof header))
        return;
    const int idLength = header[0];
    const int mapType = header[1];
    const int imageType = header[2];
    const int firstIndex = u16(header + 3);
    const int mapLength = s16(header + 5);
    const int mapEntryBits = header[7];
    const int width = s16(header + 12);
    const int height = s16(header + 14);
    const int depth = header[16];
    const int descriptor = header[17];

    // Only uncompressed colour-mapped (1) and true-colour (2) images.
    if (imageType != 1 && imageType != 2)
        return;
    if (width <= 0 || height <= 0)
        return;
    if (!in.skip(idLength))
        return;

    std::vector<std::uint32_t> map;
    const int pixelBytes = depth / 8;
    if (imageType == 1) {
        // The map is read whatever the colour-map type says. 15-bit entries
        // are stored in two bytes like 16-bit ones.
        const int entries = mapLength > 0 ? mapLength : 0;
        const int entryBytes = mapEntryBits == 15 ? 2 : mapEntryBits / 8;
        if (entries > 0 && (entryBytes < 2 || entryBytes > 4))
            return;
        std::vector<std::uint8_t> raw(static_cast<std::size_t>(entries) * (entries ? entryBytes : 0));
        if (!in.read(raw.data(), static_cast<long long>(raw.size())))
            return;
        map.resize(static_cast<std::size_t>(entries));
        for (int i = 0; i < entries; ++i)
            map[static_cast<std::size_t>(i)] = colour(raw.data() + static_cast<std::size_t>(i) * entryBytes, entryBytes);
        if (pixelBytes != 1 && pixelBytes != 2)
            return;
    } else {
        if (mapType != 0 && mapLength > 0 && !in.skip(static_cast<long long>(mapEntryBits) * mapLength / 8))
            return;
        if (pixelBytes < 2 || pixelBytes > 4)
            return;
    }

    // The pixel data must all be there; this also bounds the allocation by
    // the file's size whatever the header claims.
    const long long count = static_cast<long long>(width) * height;
    const long long dataBytes = count * pixelBytes;
    if (dataBytes > in.remaining())
        return;
    std::vector<std::uint8_t> data(static_cast<std::size_t>(dataBytes));
    if (!in.read(data.data(), dataBytes))
        return;

    std::unique_ptr<std::uint8_t[]> pixels(new std::uint8_t[static_cast<std::size_t>(count) * 4]);
    auto* out = reinterpret_cast<std::uint32_t*>(pixels.get());
    // Rows are stored top first when bit 0x10 or the format's own top-left
    // flag 0x20 is set, else bottom first.
    const bool topFirst = (descriptor & 0x30) != 0;
    const std::uint8_t* p = data.data();
    for (int row = 0; row < height; ++row) {
        std::uint32_t* line = out + static_cast<std::size_t>(topFirst ? row : height - 1 - row) * width;
        for (int x = 0; x < width; ++x, p += pixelBytes) {
            if (imageType == 2) {
                line[x] = colour(p, pixelBytes);
                continue;
            }
            // Colour-mapped: the index counts from the map's first index;
            // an index outside the map is black.
            const int index = (pixelBytes == 1 ? p[0] : s16(p)) - firstIndex;
            line[x] = index >= 0 && index < static_cast<int>(map.size()) ? map[static_cast<std::size_t>(index)] : 0;
        }
    }
    width_ = width;
    height_ = height;
    pixels_ = std::move(pixels);
}

} // namespace display
