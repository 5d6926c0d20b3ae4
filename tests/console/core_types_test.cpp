// Error, Format, Palette, Area and Surface rules of the console library.
#include "console/display.h"
#include "tests/support/console_output.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using display::Area;
using display::Color;
using display::Error;
using display::Format;
using display::Palette;
using display::Surface;

namespace {

using testing_support::errorText;

} // namespace

TEST(Error, NestsInnerTextsOuterFirst)
{
    Error cause("stretching is not implemented");
    Error outer("failed to load pixels to console", cause);
    EXPECT_STREQ(outer.message(), "failed to load pixels to console\nstretching is not implemented");
    Error twice("top", outer);
    EXPECT_STREQ(twice.message(), "top\nfailed to load pixels to console\nstretching is not implemented");
    Error copy = outer;
    EXPECT_TRUE(copy == outer);
    EXPECT_FALSE(copy == cause);
}

TEST(ErrorDeathTest, ReportShowsErrorBoxAndExitsWithOne)
{
    // The test main's message sink writes boxes to standard error.
    EXPECT_EXIT(Error("outer", Error("inner")).report(), testing::ExitedWithCode(1),
                "\\[message box\\] Error: outer\ninner");
}

TEST(Format, ConstructorsAndTheirErrors)
{
    Format none;
    EXPECT_EQ(none.bits(), 0);
    EXPECT_FALSE(none.direct());
    EXPECT_FALSE(none.indexed());

    Format indexed(8);
    EXPECT_TRUE(indexed.indexed());
    EXPECT_EQ(indexed.bytes(), 1);
    EXPECT_EQ(errorText([] { Format f(16); }), "only 8 bits per pixel is supported for indexed color");

    EXPECT_EQ(errorText([] { Format f(12, 0xf00, 0xf0, 0xf); }), "unsupported bits per pixel for direct color");
    EXPECT_EQ(errorText([] { Format f(40, 0xff0000, 0xff00, 0xff); }), "unsupported bits per pixel for direct color");
    Format f24(24, 0xff0000, 0xff00, 0xff);
    EXPECT_EQ(f24.bytes(), 3);
}

TEST(Format, EqualityComparesKindBitsAndAllMasks)
{
    EXPECT_EQ(display::format32(), Format(32, 0xff0000, 0xff00, 0xff, 0));
    EXPECT_NE(display::format32(), Format(32, 0xff0000, 0xff00, 0xff, 0xff000000));
    EXPECT_NE(display::format32(), Format(32, 0xff, 0xff00, 0xff0000));
    EXPECT_EQ(Format(8), Format(8));
    EXPECT_NE(Format(8), Format(8, 0xe0, 0x1c, 0x3));
    EXPECT_NE(Format(), Format()); // neither direct nor indexed: never equal
}

TEST(Palette, LockRulesAndTransfers)
{
    Palette palette;
    std::uint32_t* entries = palette.lock();
    EXPECT_EQ(entries[0], 0u);
    EXPECT_EQ(entries[255], 0u);
    EXPECT_EQ(errorText([&] { palette.lock(); }), "palette is already locked");
    entries[7] = 0x123456;
    palette.unlock();
    EXPECT_EQ(errorText([&] { palette.unlock(); }), "palette is not locked");

    std::uint32_t out[256];
    palette.save(out);
    EXPECT_EQ(out[7], 0x123456u);
    Palette other;
    EXPECT_FALSE(other == palette);
    other.load(out);
    EXPECT_TRUE(other == palette);
}

TEST(Area, CornersAreOrderedAndClipped)
{
    Area a(10, 20, 2, 5);
    EXPECT_EQ(a.left(), 2);
    EXPECT_EQ(a.top(), 5);
    EXPECT_EQ(a.right(), 10);
    EXPECT_EQ(a.bottom(), 20);
    EXPECT_EQ(a.width(), 8);
    EXPECT_EQ(a.height(), 15);

    Area c = Area(-5, -5, 400, 100).clip(Area(0, 0, 320, 200));
    EXPECT_EQ(c.left(), 0);
    EXPECT_EQ(c.top(), 0);
    EXPECT_EQ(c.width(), 320);
    EXPECT_EQ(c.height(), 100);
    Area apart = Area(500, 500, 600, 600).clip(Area(0, 0, 320, 200));
    EXPECT_EQ(apart.width(), 0);
    EXPECT_EQ(apart.height(), 0);
}

TEST(Surface, ZeroSizeIsRefused)
{
    EXPECT_EQ(errorText([] { Surface s(0, 200, display::format32()); }), "zero surface size");
    EXPECT_EQ(errorText([] { Surface s(320, 0, display::format32()); }), "zero surface size");
    EXPECT_EQ(errorText([] { Surface s(-4, 200, display::format32()); }), "zero surface size");
    EXPECT_EQ(errorText([] { Surface s(320, 200, Format()); }), "zero surface size"); // 0 bytes per pixel
}

TEST(Surface, StartsBlackAndLockRulesHold)
{
    Surface s(320, 200, display::format32());
    EXPECT_EQ(s.pitch(), 1280);
    auto* p = static_cast<std::uint8_t*>(s.lock());
    for (int i = 0; i < 320 * 200 * 4; ++i)
        ASSERT_EQ(p[i], 0) << i;
    EXPECT_EQ(errorText([&] { s.lock(); }), "surface is already locked");
    s.unlock();
    EXPECT_EQ(errorText([&] { s.unlock(); }), "surface is not locked");
    EXPECT_EQ(s.lock(), p); // the memory never moves
    s.unlock();
    Surface s16(3, 2, Format(16, 0xf800, 0x7e0, 0x1f));
    EXPECT_EQ(s16.pitch(), 6);
}

TEST(Surface, CopyConvertsAndRequiresEqualSizes)
{
    Surface source(4, 2, display::format32());
    auto* px = static_cast<std::uint32_t*>(source.lock());
    for (int i = 0; i < 8; ++i)
        px[i] = 0x00ff8040;
    source.unlock();

    Surface rgb565(4, 2, Format(16, 0xf800, 0x7e0, 0x1f));
    source.copy(rgb565);
    auto* out = static_cast<std::uint16_t*>(rgb565.lock());
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(out[i], 0xfc08) << i;
    rgb565.unlock();

    Surface wider(5, 2, display::format32());
    EXPECT_EQ(errorText([&] { source.copy(wider); }), "stretching is not implemented");
    Surface indexed(4, 2, Format(8));
    EXPECT_EQ(errorText([&] { source.copy(indexed); }), "unsupported pixel format conversion");
    Surface odd24(4, 2, Format(24, 0xff00, 0xff0000, 0xff));
    EXPECT_EQ(errorText([&] { source.copy(odd24); }), "unsupported pixel format conversion");
}

TEST(Surface, AreaCopiesClipBothSidesFirst)
{
    Surface source(4, 4, display::format32());
    auto* px = static_cast<std::uint32_t*>(source.lock());
    for (int i = 0; i < 16; ++i)
        px[i] = static_cast<std::uint32_t>(i + 1);
    source.unlock();
    Surface target(3, 3, display::format32());

    // Source area (2,2)-(6,6) clips to 2x2; destination (-1,-1)-(1,1) clips to 1x1.
    EXPECT_EQ(errorText([&] { source.copy(target, Area(2, 2, 6, 6), Area(-1, -1, 1, 1)); }),
              "stretching is not implemented");
    // Both clip to 2x2: pixels 11, 12, 15, 16 land at (1,1).
    source.copy(target, Area(2, 2, 6, 6), Area(1, 1, 9, 9));
    auto* t = static_cast<std::uint32_t*>(target.lock());
    const std::uint32_t expected[9] = {0, 0, 0, 0, 11, 12, 0, 15, 16};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(t[i], expected[i]) << i;
    target.unlock();
}

TEST(Surface, SaveGoesTheOtherWay)
{
    Surface s(2, 1, display::format32());
    auto* px = static_cast<std::uint32_t*>(s.lock());
    px[0] = 0x00ff8040;
    px[1] = 0x00112233;
    s.unlock();
    std::uint8_t bytes[6] = {};
    s.save(bytes, 2, 1, Format(24, 0xff, 0xff00, 0xff0000), Palette());
    const std::uint8_t expected[6] = {0xff, 0x80, 0x40, 0x11, 0x22, 0x33}; // red, green, blue in memory
    EXPECT_EQ(std::memcmp(bytes, expected, 6), 0);
    std::uint32_t one = 0;
    s.save(&one, 1, 1, display::format32(), Palette(), Area(1, 0, 2, 1), Area(0, 0, 1, 1));
    EXPECT_EQ(one, 0x00112233u);
    EXPECT_EQ(errorText([&] { s.save(bytes, 1, 1, display::format32(), Palette()); }), "stretching is not implemented");
}

TEST(Surface, ClearScalesComponentsToEachMask)
{
    Surface s32(2, 2, display::format32());
    s32.clear(Color(1.0f, 0.5f, 0.0f));
    auto* p = static_cast<std::uint32_t*>(s32.lock());
    EXPECT_EQ(p[3], 0x00ff8000u); // 0.5 * 255 = 127.5, rounded to 128; alpha has no mask
    s32.unlock();
    s32.clear(Color(0.0f, 0.0f, 1.0f), Area(1, 1, 5, 5));
    p = static_cast<std::uint32_t*>(s32.lock());
    EXPECT_EQ(p[0], 0x00ff8000u);
    EXPECT_EQ(p[3], 0x000000ffu);
    s32.unlock();

    Surface s565(1, 1, Format(16, 0xf800, 0x7e0, 0x1f));
    s565.clear(Color(1.0f, 2.0f, -1.0f)); // clamped to 0..1
    EXPECT_EQ(*static_cast<std::uint16_t*>(s565.lock()), 0xffe0);
    s565.unlock();

    Surface argb(1, 1, Format(32, 0xff0000, 0xff00, 0xff, 0xff000000));
    argb.clear(Color(0.0f, 0.0f, 0.0f, 1.0f));
    EXPECT_EQ(*static_cast<std::uint32_t*>(argb.lock()), 0xff000000u);
    argb.unlock();

    Surface indexed(2, 1, Format(8));
    indexed.clear(Color(7));
    auto* i8 = static_cast<std::uint8_t*>(indexed.lock());
    EXPECT_EQ(i8[0], 7);
    EXPECT_EQ(i8[1], 7);
    indexed.unlock();
}

TEST(Surface, IndexedSourceConvertsThroughItsPalette)
{
    Surface indexed(2, 1, Format(8));
    Palette colours;
    std::uint32_t* entries = colours.lock();
    entries[1] = 0x00ff8040;
    entries[2] = 0x00ffffff;
    colours.unlock();
    indexed.palette(colours);
    auto* p = static_cast<std::uint8_t*>(indexed.lock());
    p[0] = 1;
    p[1] = 2;
    indexed.unlock();

    Surface rgb565(2, 1, Format(16, 0xf800, 0x7e0, 0x1f));
    indexed.copy(rgb565);
    auto* out = static_cast<std::uint16_t*>(rgb565.lock());
    EXPECT_EQ(out[0], 0xfc08);
    EXPECT_EQ(out[1], 0xffff);
    rgb565.unlock();
}
