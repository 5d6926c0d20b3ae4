// ImageOps on surfaces: clipping of the add, the fade's run, locking and
// unlocking on every path, for both families.
#include "imageops/image_ops.h"
#include "tests/support/surface_helpers.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using display::Surface;
using imageops::ImageOps;
using testing_support::pixelsOf;

std::uint32_t& at(Surface& s, void* pixels, int x, int y)
{
    return static_cast<std::uint32_t*>(pixels)[y * s.width() + x];
}

void fill(Surface& s, std::uint32_t (*pattern)(int x, int y))
{
    void* p = s.lock();
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            at(s, p, x, y) = pattern(x, y);
    s.unlock();
}


// Source pixel (x, y) of the tests' sources: a small value per column and row
// whose sum with the destination never saturates.
std::uint32_t sourcePattern(int x, int y) { return static_cast<std::uint32_t>(x) | static_cast<std::uint32_t>(y) << 8; }
std::uint32_t destinationPattern(int, int) { return 0x00100000; }

class ImageOpsOnSurfaces : public testing::TestWithParam<bool> {
protected:
    ImageOpsOnSurfaces() : ops(GetParam()), dst(40, 30, display::format32()), src(30, 10, display::format32())
    {
        fill(dst, destinationPattern);
        fill(src, sourcePattern);
    }

    // The destination expected after adding src at (x, y), worked out pixel
    // by pixel from where each destination pixel lies in the source.
    std::vector<std::uint32_t> expectedAdd(int x, int y)
    {
        std::vector<std::uint32_t> v(40 * 30);
        for (int dy = 0; dy < 30; ++dy)
            for (int dx = 0; dx < 40; ++dx) {
                const int sx = dx - x, sy = dy - y;
                const bool inside = sx >= 0 && sx < 30 && sy >= 0 && sy < 10;
                v[dy * 40 + dx] = destinationPattern(dx, dy) + (inside ? sourcePattern(sx, sy) : 0);
            }
        return v;
    }

    ImageOps ops;
    Surface dst, src;
};

TEST_P(ImageOpsOnSurfaces, AddIsClippedOnEverySide)
{
    const int positions[][2] = {{0, 0}, {5, 7}, {-10, 0}, {25, 3}, {3, -4}, {20, 25}, {-29, -9}, {39, 29}, {-5, 22}};
    for (const auto& p : positions) {
        fill(dst, destinationPattern);
        ops.saturate(dst, src, p[0], p[1]);
        ASSERT_EQ(pixelsOf(dst), expectedAdd(p[0], p[1])) << p[0] << "," << p[1];
        EXPECT_FALSE(dst.locked());
        EXPECT_FALSE(src.locked());
    }
}

TEST_P(ImageOpsOnSurfaces, SourceCutOnTheLeftAddsItsRightColumns)
{
    // x = -10 with a 30-wide source: source columns 10..29 land on 0..19.
    ops.saturate(dst, src, -10, 0);
    void* p = dst.lock();
    EXPECT_EQ(at(dst, p, 0, 0), 0x0010000au);
    EXPECT_EQ(at(dst, p, 19, 9), 0x0010091du);
    EXPECT_EQ(at(dst, p, 20, 0), 0x00100000u);
    dst.unlock();
}

TEST_P(ImageOpsOnSurfaces, AddOutsideDrawsNothingAndLeavesBothUnlocked)
{
    const auto before = pixelsOf(dst);
    const int positions[][2] = {{40, 0}, {-30, 0}, {0, 30}, {0, -10}, {41, 0}, {0, 31}, {-31, 0}, {0, -11}};
    for (const auto& p : positions) {
        ops.saturate(dst, src, p[0], p[1]);
        EXPECT_EQ(pixelsOf(dst), before) << p[0] << "," << p[1];
        EXPECT_FALSE(dst.locked());
        EXPECT_FALSE(src.locked());
    }
    // Positions so far out that x + width would overflow an int.
    ops.saturate(dst, src, 2147483647, 2147483647);
    ops.saturate(dst, src, -2147483647 - 1, -2147483647 - 1);
    EXPECT_EQ(pixelsOf(dst), before);
}

TEST_P(ImageOpsOnSurfaces, ALockedSurfaceThrowsAndTheOtherIsReleased)
{
    dst.lock();
    EXPECT_THROW(ops.saturate(dst, src, 0, 0), display::Error);
    EXPECT_FALSE(src.locked());
    dst.unlock();

    src.lock();
    EXPECT_THROW(ops.fade2col(dst, src, 0, 0x8000), display::Error);
    EXPECT_FALSE(dst.locked());
    src.unlock();
}

TEST_P(ImageOpsOnSurfaces, OneSurfaceAsBothIsLockedOnce)
{
    fill(dst, [](int, int) -> std::uint32_t { return 0x00404040; });
    ops.saturate(dst, dst, 0, 0);
    EXPECT_FALSE(dst.locked());
    EXPECT_EQ(pixelsOf(dst)[0], 0x00808080u);

    fill(dst, [](int, int) -> std::uint32_t { return 0x00ffffff; });
    ops.fade2col(dst, dst, 0, 0x7fff);
    EXPECT_FALSE(dst.locked());
    // Plain: T[128][255] = 128. Vector: 2 * 255 * 0x4000 >> 16 = 127.
    const std::uint32_t expected = GetParam() ? 0x007f7f7f : 0x00808080;
    for (std::uint32_t p : pixelsOf(dst))
        ASSERT_EQ(p, expected);
}

TEST_P(ImageOpsOnSurfaces, FadeCoversTheSourceAndClampsItsIntensity)
{
    fill(dst, [](int, int) -> std::uint32_t { return 0x00123456; });
    Surface copy(40, 30, display::format32());
    ops.fade2col(copy, dst, 0x00ff0000, 0xffff);
    EXPECT_FALSE(copy.locked());
    EXPECT_FALSE(dst.locked());
    const std::uint32_t full = GetParam() ? 0x00fe0000 : 0x00ff0000;
    for (std::uint32_t p : pixelsOf(copy))
        ASSERT_EQ(p, full);
    // Beyond 0xffff is the colour, below 0 the source (as at 0).
    ops.fade2col(copy, dst, 0x00ff0000, 0x7fffffff);
    EXPECT_EQ(pixelsOf(copy)[0], full);
    ops.fade2col(copy, dst, 0x00ff0000, -5);
    EXPECT_EQ(pixelsOf(copy)[0], GetParam() ? 0x00113355u : 0x00123456u);
}

TEST_P(ImageOpsOnSurfaces, FadeIntoASmallerSurfaceStopsAtItsEnd)
{
    // 30x10 = 300 pixels of source, 40x30 destination: only the first 300
    // destination pixels change. And a 40x30 source into the 30x10 surface
    // writes its 300 pixels and no further.
    fill(dst, [](int, int) -> std::uint32_t { return 0x00777777; });
    ops.fade2col(dst, src, 0, 0xffff);
    const auto big = pixelsOf(dst);
    EXPECT_EQ(big[299], 0u);
    EXPECT_EQ(big[300], 0x00777777u);
    ops.fade2col(src, dst, 0x00ffffff, 0xffff);
    const std::uint32_t full = GetParam() ? 0x00fefefe : 0x00ffffff;
    for (std::uint32_t p : pixelsOf(src))
        ASSERT_EQ(p, full);
}

TEST_P(ImageOpsOnSurfaces, AnEmptyImageDrawsNothing)
{
    Surface empty("no such file.tga");
    ASSERT_TRUE(empty.empty());
    const auto before = pixelsOf(dst);
    ops.saturate(dst, empty, 0, 0);
    ops.fade2col(dst, empty, 0x00ffffff, 0xffff);
    EXPECT_EQ(pixelsOf(dst), before);
    EXPECT_FALSE(empty.locked());
    EXPECT_FALSE(dst.locked());
}

INSTANTIATE_TEST_SUITE_P(BothFamilies, ImageOpsOnSurfaces, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "Vector" : "Plain"; });

} // namespace
