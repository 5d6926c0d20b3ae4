// The TGA writer and the colour reduction: header bytes and pixel order
// worked out by hand from the TGA layout, and read-back through the
// console's own TGA reader for every variant the generator uses.
#include "assets/common/quantize.h"
#include "assets/common/tga_writer.h"
#include "console/display.h"
#include "tests/support/console_output.h"
#include "tests/support/message_recorder.h"
#include "tests/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>
#include <stdexcept>

namespace {

using assets::Image;
using assets::TgaLayout;
using assets::TgaPixels;
using assets::TgaRows;

// 2x2: top row red, green; bottom row blue, white (alpha bytes 0x11..0x44).
Image tiny()
{
    Image img(2, 2);
    img.at(0, 0) = 0x11ff0000;
    img.at(1, 0) = 0x2200ff00;
    img.at(0, 1) = 0x330000ff;
    img.at(1, 1) = 0x44ffffff;
    return img;
}

using testing_support::withoutConverterLines;

TgaLayout layoutOf(TgaPixels p, TgaRows r, int mapBits = 24, const char* id = "")
{
    TgaLayout l;
    l.pixels = p;
    l.rows = r;
    l.mapEntryBits = mapBits;
    l.imageId = id;
    return l;
}

TEST(ImagesTga, TrueColour24BottomFirstHeaderAndPixelOrder)
{
    const auto b = assets::encodeTga(tiny(), layoutOf(TgaPixels::TrueColour24, TgaRows::BottomFirst));
    const std::vector<std::uint8_t> expected = {
        0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 24, 0, // header: type 2, 2x2, 24 bits, descriptor 0
        0xff, 0x00, 0x00, 0xff, 0xff, 0xff,                    // bottom row first: blue, white (B, G, R)
        0x00, 0x00, 0xff, 0x00, 0xff, 0x00,                    // then the top row: red, green
    };
    EXPECT_EQ(b, expected);
}

TEST(ImagesTga, TrueColour32TopFirstKeepsAlphaAndSetsBothOrderBits)
{
    const auto b = assets::encodeTga(tiny(), layoutOf(TgaPixels::TrueColour32, TgaRows::TopFirst, 24, "ab"));
    ASSERT_EQ(b.size(), 18u + 2u + 16u);
    EXPECT_EQ(b[0], 2);    // ID length
    EXPECT_EQ(b[16], 32);  // bits per pixel
    EXPECT_EQ(b[17], 0x38); // 8 alpha bits, top-first bits 0x10 and 0x20
    EXPECT_EQ(b[18], 'a');
    EXPECT_EQ(b[19], 'b');
    // Red with alpha 0x11 as B, G, R, A.
    EXPECT_EQ((std::vector<std::uint8_t>(b.begin() + 20, b.begin() + 24)), (std::vector<std::uint8_t>{0, 0, 0xff, 0x11}));
    EXPECT_EQ((std::vector<std::uint8_t>(b.begin() + 32, b.begin() + 36)),
              (std::vector<std::uint8_t>{0xff, 0xff, 0xff, 0x44}));
}

TEST(ImagesTga, ColourMappedListsSortedColoursAndIndexes)
{
    Image img(3, 1);
    img.at(0, 0) = 0x00000010;
    img.at(1, 0) = 0x00000005;
    img.at(2, 0) = 0x00000010;
    const auto b = assets::encodeTga(img, layoutOf(TgaPixels::ColourMapped, TgaRows::BottomFirst, 24));
    const std::vector<std::uint8_t> expected = {
        0, 1, 1, 0, 0, 2, 0, 24, 0, 0, 0, 0, 3, 0, 1, 0, 8, 0, // map type 1, image type 1, 2 entries of 24 bits
        0x05, 0, 0, 0x10, 0, 0,                              // map in ascending order
        1, 0, 1,                                             // indices
    };
    EXPECT_EQ(b, expected);
    // 32-bit map entries carry the top byte.
    Image a(1, 1, 0x80123456);
    const auto b32 = assets::encodeTga(a, layoutOf(TgaPixels::ColourMapped, TgaRows::TopFirst, 32));
    EXPECT_EQ(b32[7], 32);
    EXPECT_EQ((std::vector<std::uint8_t>(b32.begin() + 18, b32.begin() + 22)),
              (std::vector<std::uint8_t>{0x56, 0x34, 0x12, 0x80}));
}

TEST(ImagesTga, ImpossibleRequestsAreRefused)
{
    Image many(300, 1);
    for (int x = 0; x < 300; ++x)
        many.at(x, 0) = std::uint32_t(x);
    EXPECT_THROW(assets::encodeTga(many, layoutOf(TgaPixels::ColourMapped, TgaRows::BottomFirst)), std::invalid_argument);
    EXPECT_THROW(assets::encodeTga(Image(), layoutOf(TgaPixels::TrueColour24, TgaRows::BottomFirst)), std::invalid_argument);
    EXPECT_THROW(assets::encodeTga(tiny(), layoutOf(TgaPixels::ColourMapped, TgaRows::BottomFirst, 16)),
                 std::invalid_argument);
    TgaLayout longId = layoutOf(TgaPixels::TrueColour24, TgaRows::BottomFirst);
    longId.imageId.assign(256, 'x');
    EXPECT_THROW(assets::encodeTga(tiny(), longId), std::invalid_argument);
}

// Every variant read back through the console's reader gives the picture,
// with the top byte kept only where the file stores one.
TEST(ImagesTga, EveryVariantReadsBackThroughTheConsoleReader)
{
    struct Case {
        TgaLayout layout;
        bool keepsTopByte;
    };
    const Case cases[] = {
        {layoutOf(TgaPixels::TrueColour24, TgaRows::BottomFirst), false},
        {layoutOf(TgaPixels::TrueColour24, TgaRows::TopFirst, 24, "id"), false},
        {layoutOf(TgaPixels::TrueColour32, TgaRows::BottomFirst), true},
        {layoutOf(TgaPixels::TrueColour32, TgaRows::TopFirst), true},
        {layoutOf(TgaPixels::ColourMapped, TgaRows::BottomFirst, 24), false},
        {layoutOf(TgaPixels::ColourMapped, TgaRows::TopFirst, 32), true},
    };
    const testing_support::ScratchDir scratch("assets_images_tga_variant");
    const auto path = scratch / "variant.tga";
    Image img(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            img.at(x, y) = 0x7f000000u | std::uint32_t(x * 40) << 16 | std::uint32_t(y * 90) << 8 | std::uint32_t(x + y);
    for (const Case& c : cases) {
        assets::writeBytes(path, assets::encodeTga(img, c.layout));
        testing_support::MessageRecorder boxes;
        testing::internal::CaptureStdout();
        display::Surface s(path.string().c_str());
        EXPECT_EQ(withoutConverterLines(testing::internal::GetCapturedStdout()), "");
        EXPECT_TRUE(boxes.messages().empty());
        ASSERT_FALSE(s.empty());
        ASSERT_EQ(s.width(), 5);
        ASSERT_EQ(s.height(), 3);
        const auto* px = static_cast<const std::uint32_t*>(s.lock());
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) {
                const std::uint32_t want = c.keepsTopByte ? img.at(x, y) : img.at(x, y) & 0xffffffu;
                EXPECT_EQ(px[y * 5 + x], want) << "pixel " << x << "," << y;
            }
        s.unlock();
    }
    std::filesystem::remove(path);
}

TEST(ImagesQuantize, FewColoursStayExact)
{
    const Image img = tiny();
    EXPECT_EQ(assets::quantize(img, 256).pixels, img.pixels);
    EXPECT_EQ(assets::quantize(img, 4).pixels, img.pixels);
}

TEST(ImagesQuantize, KeyColourStaysExactAndExclusive)
{
    // A smooth ramp that starts right next to the key colour (black).
    Image img(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            img.at(x, y) = std::uint32_t(x) << 16 | std::uint32_t(y) << 8 | std::uint32_t((x * y) & 3);
    for (int x = 0; x < 64; ++x)
        img.at(x, 0) = 0; // the key row
    const Image q = assets::quantize(img, 16, 0u);
    std::set<std::uint32_t> colours(q.pixels.begin(), q.pixels.end());
    EXPECT_LE(colours.size(), 16u);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            EXPECT_EQ(q.at(x, y) == 0, y == 0) << x << "," << y;
    // Same input, same output.
    EXPECT_EQ(assets::quantize(img, 16, 0u).pixels, q.pixels);
    EXPECT_THROW(assets::quantize(img, 1), std::invalid_argument);
    EXPECT_THROW(assets::quantize(img, 257), std::invalid_argument);
}

} // namespace
