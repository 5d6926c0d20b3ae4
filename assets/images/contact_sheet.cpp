// One picture with every image and scene texture side by side, labelled,
// keyed backgrounds shown as a checkerboard: for looking at all of them at
// once.
#include "assets/common/font.h"
#include "assets/common/paint.h"
#include "assets/generator.h"
#include "assets/images/images.h"
#include "assets/scenes/scenes.h"

#include <algorithm>
#include <cmath>

namespace assets {
namespace {

Image contactSheet()
{
    struct Entry {
        std::string name;
        Image image;
        bool keyed;
    };
    std::vector<Entry> entries;
    for (const images::ImageFile& f : images::imageFiles())
        entries.push_back({f.name, images::storedImage(f), f.keyed});
    for (const scenes::TextureFile& t : scenes::textureFiles())
        entries.push_back({t.name, t.make(), false});

    const int width = 1100, gap = 10, label = 16;
    // Lay out in rows, left to right.
    struct Place {
        int x, y;
    };
    std::vector<Place> places;
    int x = gap, y = gap, rowHeight = 0;
    for (const Entry& e : entries) {
        if (x + e.image.width + gap > width) {
            x = gap;
            y += rowHeight + label + gap;
            rowHeight = 0;
        }
        places.push_back({x, y});
        x += e.image.width + gap;
        rowHeight = std::max(rowHeight, e.image.height);
    }
    const int height = y + rowHeight + label + gap;

    Canvas c(width, height, rgb(0x2a2238));
    const Font font(fontPath("DejaVuSans.ttf"));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        const Place p = places[i];
        const std::uint32_t key = e.image.at(0, 0);
        for (int yy = 0; yy < e.image.height; ++yy)
            for (int xx = 0; xx < e.image.width; ++xx) {
                const std::uint32_t v = e.image.at(xx, yy);
                Rgb col = rgb(v & 0xffffff);
                if (e.keyed && v == key)
                    col = ((xx / 8 + yy / 8) & 1) ? rgb(0x5a5a66) : rgb(0x44444e);
                c.at(p.x + xx, p.y + yy) = col;
            }
        const std::string text = e.name + "  " + std::to_string(e.image.width) + "x" + std::to_string(e.image.height);
        const Font::Text t = font.render(text, 12.0, 0.0, 1);
        c.paintMask(t.mask, p.x, p.y + e.image.height + 2, [](double, double) { return rgb(0xfff4e0); });
    }
    return c.opaque();
}

} // namespace

void writeContactSheet(const std::filesystem::path& file)
{
    TgaLayout layout;
    layout.pixels = TgaPixels::TrueColour24;
    layout.rows = TgaRows::BottomFirst;
    writeBytes(file, encodeTga(contactSheet(), layout));
}

} // namespace assets
