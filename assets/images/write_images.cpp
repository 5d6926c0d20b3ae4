// The table of the demo's pictures and assets::writeImages.
#include "assets/common/paint.h"
#include "assets/common/quantize.h"
#include "assets/common/tga_writer.h"
#include "assets/generator.h"
#include "assets/images/images.h"

namespace assets::images {
namespace {

TgaLayout layout(TgaPixels pixels, TgaRows rows, int mapBits = 24, const char* id = "")
{
    TgaLayout l;
    l.pixels = pixels;
    l.rows = rows;
    l.mapEntryBits = mapBits;
    l.imageId = id;
    return l;
}

Image fjollah() { return fjolla(true); }
Image fjollav() { return fjolla(false); }
Image groovy1() { return groovy(1); }
Image groovy2() { return groovy(2); }
Image dansare1() { return dansare(1); }
Image dansare2() { return dansare(2); }

} // namespace

const std::vector<ImageFile>& imageFiles()
{
    using P = TgaPixels;
    using R = TgaRows;
    // Only left-right symmetric pictures are stored top first (see
    // encodeTga); the rest use the usual bottom-first order.
    static const std::vector<ImageFile> files = {
        {"circle.tga", layout(P::TrueColour24, R::TopFirst), circle, false},
        {"fjollah.tga", layout(P::TrueColour32, R::BottomFirst), fjollah, true},
        {"fjollav.tga", layout(P::TrueColour32, R::BottomFirst), fjollav, true},
        {"groovy1.tga", layout(P::ColourMapped, R::BottomFirst, 24), groovy1, true},
        {"groovy2.tga", layout(P::ColourMapped, R::BottomFirst, 24), groovy2, true},
        {"voodoo.tga", layout(P::TrueColour24, R::BottomFirst, 24, "voodoo title"), voodoo, true},
        {"skiva.tga", layout(P::ColourMapped, R::BottomFirst, 32), skiva, true},
        {"dansare1.tga", layout(P::TrueColour24, R::BottomFirst), dansare1, true},
        {"dansare2.tga", layout(P::TrueColour24, R::BottomFirst), dansare2, true},
        {"greets.tga", layout(P::ColourMapped, R::BottomFirst, 24), greets, false},
        {"theend.tga", layout(P::TrueColour32, R::BottomFirst, 24, "the end"), theEnd, false},
    };
    return files;
}

// The picture as it is stored: colour-mapped files are first reduced to 256
// colours, keeping an overlay's key colour exact.
Image storedImage(const ImageFile& file)
{
    Image img = file.make();
    if (file.keyed) {
        // Pin-holes take the outline colour, with the body's top byte.
        std::uint32_t alpha = 0;
        for (std::uint32_t c : img.pixels)
            if (c != img.at(0, 0)) {
                alpha = c & 0xff000000u;
                break;
            }
        closeSmallHoles(img, img.at(0, 0), 24, alpha | 0x1a0f2eu);
    }
    if (file.layout.pixels == TgaPixels::ColourMapped) {
        std::optional<std::uint32_t> key;
        if (file.keyed)
            key = img.at(0, 0);
        img = quantize(img, 256, key);
    }
    return img;
}

} // namespace assets::images

namespace assets {

void writeImages(const std::filesystem::path& dataDir)
{
    for (const images::ImageFile& file : images::imageFiles())
        writeBytes(dataDir / file.name, encodeTga(images::storedImage(file), file.layout));
}

} // namespace assets
