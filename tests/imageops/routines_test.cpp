// Both routine families on hand-worked pixels: the examples of each table
// row, the ends of the fades and the pair-wise rule of the vector family.
#include "imageops/routines.h"
#include "imageops/scale_table.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace imageops;

class Routines : public testing::Test {
protected:
    Routines() : table(scaleTableSize) { buildScaleTable(table.data()); }
    std::vector<std::uint8_t> table;

    std::uint32_t saturatePlain(std::uint32_t d, std::uint32_t s)
    {
        _saturatenommx(&d, &s, 1, 1, 0, 0);
        return d;
    }
    std::uint32_t saturateVector(std::uint32_t d, std::uint32_t s)
    {
        _saturatemmx(&d, &s, 1, 1, 0, 0);
        return d;
    }
    std::uint32_t fadePlain(std::uint32_t s, std::uint32_t colour, std::uint16_t intensity)
    {
        std::uint32_t d = 0xdeadbeef;
        _fade2colnommx(&d, &s, colour, intensity, 1, table.data());
        return d;
    }
    std::uint32_t fadeVector(std::uint32_t s, std::uint32_t colour, std::uint16_t intensity)
    {
        std::uint32_t d = 0xdeadbeef;
        _fade2colmmx(&d, &s, colour, intensity, 1);
        return d;
    }
};

TEST_F(Routines, SaturatingAddClampsEachChannel)
{
    EXPECT_EQ(saturatePlain(0x00f0f0f0, 0x00202020), 0x00ffffffu);
    EXPECT_EQ(saturateVector(0x00f0f0f0, 0x00202020), 0x00ffffffu);
    EXPECT_EQ(saturatePlain(0x00123456, 0), 0x00123456u);
    EXPECT_EQ(saturateVector(0x00123456, 0), 0x00123456u);
    // Red 0x80 + 0x80 overflows, green 0 + 1 does not, blue 0xff + 1 clamps.
    // The plain form keeps dst's top byte, the vector form adds it too.
    EXPECT_EQ(saturatePlain(0x108000ff, 0x20800101), 0x10ff01ffu);
    EXPECT_EQ(saturateVector(0x108000ff, 0x20800101), 0x30ff01ffu);
    EXPECT_EQ(saturateVector(0xf0000000, 0x20000000), 0xff000000u);
    // Carries must not spill into the neighbouring channel.
    EXPECT_EQ(saturatePlain(0x0001ff01, 0x0000ff00), 0x0001ff01u);
}

TEST_F(Routines, SaturatingAddWalksRowsAndSkips)
{
    // A 2x2 block of a 4-wide source onto a 3-wide destination.
    std::vector<std::uint32_t> dst(9, 0x00010101), src(8, 0);
    src[0] = 0x00000001; src[1] = 0x00000002; src[4] = 0x00000003; src[5] = 0x00000004;
    _saturatemmx(dst.data(), src.data(), 2, 2, 1, 2);
    EXPECT_EQ(dst, (std::vector<std::uint32_t>{0x10102, 0x10103, 0x10101, 0x10104, 0x10105, 0x10101, 0x10101,
                                               0x10101, 0x10101}));
    std::vector<std::uint32_t> plain(9, 0x00010101);
    _saturatenommx(plain.data(), src.data(), 2, 2, 1, 2);
    EXPECT_EQ(plain, dst);
}

TEST_F(Routines, ScaledAddOfBothFamilies)
{
    // Plain: T[128][255] = 128 (half), onto red 0x10; the top byte comes from src.
    std::uint32_t d = 0xaa100000, s = 0x55ff0000;
    _saturateintnommx(&d, &s, 1, 1, 0, 0, table.data(), 128);
    EXPECT_EQ(d, 0x55900000u);
    d = 0xaa900000; // 0x90 + 0x80 clamps
    _saturateintnommx(&d, &s, 1, 1, 0, 0, table.data(), 128);
    EXPECT_EQ(d, 0x55ff0000u);
    // Vector at 0x8000: weight 0x4000, 2 * 255 * 0x4000 >> 16 = 127 on red;
    // the top byte takes the same formula: 0xaa + (2 * 0x55 * 0x4000 >> 16) = 0xaa + 42.
    d = 0xaa100000;
    _saturateintmmx(&d, &s, 1, 1, 0, 0, 0x8000);
    EXPECT_EQ(d, 0xd48f0000u);
    // Intensity 0 adds nothing in either family.
    d = 0x00123456;
    s = 0x00ffffff;
    _saturateintnommx(&d, &s, 1, 1, 0, 0, table.data(), 0);
    EXPECT_EQ(d, 0x00123456u);
    _saturateintmmx(&d, &s, 1, 1, 0, 0, 0);
    EXPECT_EQ(d, 0x00123456u);
}

TEST_F(Routines, PlainFadeExamples)
{
    // k = 0x7fff >> 8 = 127: T[128][255] + T[127][0] = 128 per channel.
    EXPECT_EQ(fadePlain(0x00ffffff, 0, 0x7fff), 0x00808080u);
    // k = 0 gives the source, k = 255 the colour, exactly; top byte 0.
    EXPECT_EQ(fadePlain(0xff123456, 0x00abcdef, 0x00ff), 0x00123456u);
    EXPECT_EQ(fadePlain(0xff123456, 0x00abcdef, 0), 0x00123456u);
    EXPECT_EQ(fadePlain(0x00123456, 0x00abcdef, 0xffff), 0x00abcdefu);
    EXPECT_EQ(fadePlain(0x00123456, 0x00ffffff, 0xff00), 0x00ffffffu);
}

TEST_F(Routines, VectorFadeEndsAreOneOff)
{
    // Intensity 0x00ff: picture weight 0x7f80, colour weight 0x7f.
    // 2 * 0x80 * 0x7f80 >> 16 = 127, 2 * 0x40 * 0x7f80 >> 16 = 63, 1 -> 0;
    // the colour's term is below 1 and vanishes.
    EXPECT_EQ(fadeVector(0x00804001, 0, 0x00ff), 0x007f3f00u);
    EXPECT_EQ(fadeVector(0x00804001, 0x00ffffff, 0x00ff), 0x007f3f00u);
    EXPECT_EQ(fadeVector(0x00804001, 0x00ffffff, 0), 0x007f3f00u);
    EXPECT_EQ(fadeVector(0x00000000, 0x00ffffff, 0), 0x00000000u);
    // Intensity 0xffff: colour weight 0x7fff; 255 -> 254, 0x80 -> 127, 1 -> 0.
    EXPECT_EQ(fadeVector(0x00ffffff, 0x00ff8001, 0xffff), 0x00fe7f00u);
    // The top byte takes the same formula: 0xff -> 0xfe at intensity 0.
    EXPECT_EQ(fadeVector(0xff000000, 0, 0), 0xfe000000u);
    // Halfway: 2 * 0xff * 0x4000 >> 16 = 127 and 2 * 0xff * 0x3fff >> 16 = 127.
    EXPECT_EQ(fadeVector(0x00ff0000, 0x000000ff, 0x8000), 0x007f007fu);
}

TEST_F(Routines, AverageOfTwoPictures)
{
    std::uint32_t a[2] = {0xff030201, 0xffffffff}, b[2] = {0x01010101, 0xffffffff}, d[2];
    _joinscreennommx(d, a, b, 2);
    EXPECT_EQ(d[0], 0x00010100u);
    EXPECT_EQ(d[1], 0x00fefefeu);
    _joinscreenmmx(d, a, b, 2);
    EXPECT_EQ(d[0], 0x7f010100u);
    EXPECT_EQ(d[1], 0xfefefefeu); // floor(0xff / 2) * 2 in the top byte as well
}

TEST_F(Routines, InversionAgainstAMask)
{
    // Mask channels: red 0x80, green 0xff, blue 0x10; source red 0x90 is
    // above its mask (0x90 - 0x80 - 1 = 0x0f), green 0x20 and blue 0x05 not.
    // Plain keeps dst's top byte; the vector form wraps every byte, so red
    // becomes 0x80 - 0x90 = 0xf0 and the top byte 0x00 - 0x12 = 0xee.
    const std::uint32_t mask = 0x0080ff10;
    const std::uint32_t s[2] = {0x12902005, 0};
    std::uint32_t d[2] = {0x77000000, 0x33000000};
    _invertnommx(d, s, mask, 2);
    EXPECT_EQ(d[0], 0x770fdf0bu);
    EXPECT_EQ(d[1], 0x3380ff10u);
    _invertmmx(d, s, mask, 2);
    EXPECT_EQ(d[0], 0xeef0df0bu);
    EXPECT_EQ(d[1], 0x0080ff10u);
    // Equal to the mask gives 0 in both; one above gives 0 (plain) and 0xff.
    const std::uint32_t t[2] = {0x0080ff10, 0x0081ff11};
    _invertnommx(d, t, mask, 2);
    EXPECT_EQ(d[0] & 0xffffff, 0u);
    EXPECT_EQ(d[1] & 0xffffff, 0u);
    _invertmmx(d, t, mask, 2);
    EXPECT_EQ(d[0], 0u);
    EXPECT_EQ(d[1], 0x00ff00ffu);
}

TEST_F(Routines, PairWiseVectorRoutinesLeaveAnOddLastPixel)
{
    std::uint32_t a[3] = {0x00202020, 0x00404040, 0x00606060};
    std::uint32_t b[3] = {0, 0, 0};
    std::uint32_t d[3] = {1, 2, 3};
    _joinscreenmmx(d, a, b, 3);
    EXPECT_EQ(d[0], 0x00101010u);
    EXPECT_EQ(d[1], 0x00202020u);
    EXPECT_EQ(d[2], 3u);
    _joinscreenmmx(d, a, b, 1);
    EXPECT_EQ(d[0], 0x00101010u);
    std::uint32_t e[3] = {7, 7, 7};
    _invertmmx(e, a, 0x00ffffff, 1);
    EXPECT_EQ(e[0], 7u);
    _invertmmx(e, a, 0x00ffffff, 3);
    EXPECT_EQ(e[0], 0x00dfdfdfu);
    EXPECT_EQ(e[1], 0x00bfbfbfu);
    EXPECT_EQ(e[2], 7u);
    // The plain forms process every pixel.
    std::uint32_t f[3] = {1, 2, 3};
    _joinscreennommx(f, a, b, 3);
    EXPECT_EQ(f[2], 0x00303030u);
    _invertnommx(f, a, 0x00ffffff, 1);
    EXPECT_EQ(f[0], 0x00dfdfdfu);
}

TEST(Detection, EveryX86_64ProcessorReportsMmx)
{
    // MMX is part of the x86-64 base set, so a false answer here means the
    // feature bit is read from the wrong place.
    EXPECT_TRUE(_detectmmx());
}

} // namespace
