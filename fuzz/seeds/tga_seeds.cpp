// Small TGA images for the TGA target's seed corpus: the generator's encoder
// for the layouts it writes, and the 16-bit layouts built here.
#include "assets/common/tga_writer.h"
#include "fuzz/seeds/seeds.h"

namespace fuzz_seeds {

namespace {

void put16(Bytes& b, int v)
{
    b.push_back(static_cast<std::uint8_t>(v & 0xff));
    b.push_back(static_cast<std::uint8_t>((v >> 8) & 0xff));
}

// An 18-byte header; the fields not given are 0.
Bytes header(int type, int mapType, int firstIndex, int mapLength, int mapBits, int width, int height, int depth,
             int descriptor)
{
    Bytes b = {0, static_cast<std::uint8_t>(mapType), static_cast<std::uint8_t>(type)};
    put16(b, firstIndex);
    put16(b, mapLength);
    b.push_back(static_cast<std::uint8_t>(mapBits));
    put16(b, 0);
    put16(b, 0);
    put16(b, width);
    put16(b, height);
    b.push_back(static_cast<std::uint8_t>(depth));
    b.push_back(static_cast<std::uint8_t>(descriptor));
    return b;
}

} // namespace

std::vector<Bytes> tgaSeeds()
{
    assets::Image image(4, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            image.at(x, y) = 0x80000000u | static_cast<std::uint32_t>(x * 0x400000 + y * 0x5000 + 0x20);
    using P = assets::TgaPixels;
    using R = assets::TgaRows;
    std::vector<Bytes> seeds = {
        assets::encodeTga(image, {P::TrueColour24, R::BottomFirst, 24, ""}),
        assets::encodeTga(image, {P::TrueColour32, R::TopFirst, 24, "an id"}),
        assets::encodeTga(image, {P::ColourMapped, R::BottomFirst, 24, ""}),
        assets::encodeTga(image, {P::ColourMapped, R::TopFirst, 32, "id"}),
    };
    // True colour of 16 bits, with a colour map to skip.
    Bytes sixteen = header(2, 1, 0, 2, 24, 3, 2, 16, 0x10);
    sixteen.insert(sixteen.end(), 6, 0x11);
    for (int v : {0x7fff, 0x8000, 0x001f, 0x03e0, 0x7c00, 0x1234})
        put16(sixteen, v);
    seeds.push_back(sixteen);
    // Colour-mapped with 16-bit entries, 16-bit indices and a first index.
    Bytes mapped = header(1, 1, 2, 3, 16, 2, 2, 16, 0);
    for (int v : {0x7c00, 0x03e0, 0x001f})
        put16(mapped, v);
    for (int v : {2, 3, 4, 0xffff})
        put16(mapped, v);
    seeds.push_back(mapped);
    return seeds;
}

} // namespace fuzz_seeds
