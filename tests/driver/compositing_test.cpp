// The compositing operations: the zoom's mapping and filter on hand-worked
// pixels, the quarter tile, the keyed blit cut at each edge, and the locking
// rules they share.
#include "driver/compositing.h"
#include "tests/support/surface_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

using display::Surface;

struct Picture {
    Picture(int w, int h) : surface(w, h, display::format32()) {}

    std::uint32_t get(int x, int y) { return testing_support::pixelAt(surface, x, y); }
    void set(int x, int y, std::uint32_t v) { testing_support::setPixel(surface, x, y, v); }
    void fill(std::uint32_t v) { testing_support::paint(surface, v); }
    void randomize(unsigned seed)
    {
        std::mt19937 random(seed);
        auto* p = static_cast<std::uint32_t*>(surface.lock());
        for (int i = 0; i < surface.width() * surface.height(); ++i)
            p[i] = static_cast<std::uint32_t>(random());
        surface.unlock();
    }
    std::vector<std::uint32_t> pixels() { return testing_support::pixelsOf(surface); }

    Surface surface;
};

// ---------------------------------------------------------------- zoom

TEST(BeatZoom, FactorZeroFillsWithTheCentrePixel)
{
    Picture source(320, 200), filtered(320, 200), nearest(320, 200);
    source.randomize(1);
    const std::uint32_t centre = source.get(160, 100);
    driver::beatZoomFiltered(filtered.surface, source.surface, 0.0f);
    driver::beatZoomNearest(nearest.surface, source.surface, 0.0f);
    for (std::uint32_t p : filtered.pixels())
        ASSERT_EQ(p, centre);
    for (std::uint32_t p : nearest.pixels())
        ASSERT_EQ(p, centre);
    EXPECT_FALSE(source.surface.locked());
    EXPECT_FALSE(filtered.surface.locked());
}

// A 4x4 source zoomed by one half into 4x4: du = dv = 32768 and uStart =
// vStart = 65536, so destination column (and row) 0 samples source 1 with
// fraction 0, 1 samples 1 with fraction 0x8000 (weight 0x4000), 2 samples 2
// with 0, 3 samples 2 with 0x8000.
class HalfZoom : public testing::Test {
protected:
    HalfZoom() : source(4, 4), destination(4, 4)
    {
        source.fill(0x11111111);
        // The four neighbours of destination (1, 1), byte by byte:
        //            top      red   green  blue
        // (1,1)      0x80     255   0      10
        // (2,1)      0x80     0     1      3
        // (1,2)      0x80     255   3      200
        // (2,2)      0x00     255   0      255
        source.set(1, 1, 0x80ff000a);
        source.set(2, 1, 0x80000103);
        source.set(1, 2, 0x80ff03c8);
        source.set(2, 2, 0x00ff00ff);
        destination.fill(0xdeadbeef);
    }
    Picture source, destination;
};

TEST_F(HalfZoom, FilteredUsesFifteenBitWeightsAndFlooredShifts)
{
    driver::beatZoomFiltered(destination.surface, source.surface, 0.5f);
    // Each step is a + ((2 * (b - a) * 0x4000) >> 16) = a + floor((b - a) / 2):
    //  blue:  top 10 + floor(-3.5) = 6, bottom 200 + floor(27.5) = 227,
    //         result 6 + floor(110.5) = 116 (0x74)
    //  green: top 0 + floor(0.5) = 0, bottom 3 + floor(-1.5) = 1,
    //         result 0 + floor(0.5) = 0 (a truncating shift would give 1)
    //  red:   top 255 + floor(-127.5) = 127, bottom 255, result 127 + 64 = 191
    //  top:   top 0x80, bottom 128 + floor(-64) = 64, result 128 - 32 = 96
    EXPECT_EQ(destination.get(1, 1), 0x60bf0074u);
    // Fraction 0 in both directions gives the sample itself.
    EXPECT_EQ(destination.get(0, 0), 0x80ff000au);
    EXPECT_EQ(destination.get(2, 2), 0x00ff00ffu);
    EXPECT_EQ(destination.get(2, 0), 0x80000103u);
    // Horizontal only: row 1 (fraction 0), between (2,1) and (3,1) = 0x11111111:
    // 0x80 + floor((0x11 - 0x80) / 2) = 0x48; 0 + 8 = 8; 1 + 8 = 9; 3 + 7 = 10.
    EXPECT_EQ(destination.get(3, 0), 0x4808090au);
}

TEST_F(HalfZoom, NearestTakesTheWholePixel)
{
    driver::beatZoomNearest(destination.surface, source.surface, 0.5f);
    EXPECT_EQ(destination.get(0, 0), 0x80ff000au);
    EXPECT_EQ(destination.get(1, 1), 0x80ff000au);
    EXPECT_EQ(destination.get(3, 0), 0x80000103u);
    EXPECT_EQ(destination.get(3, 3), 0x00ff00ffu);
}

// The mapping and filter written out per pixel in the plainest way, to check
// the two-pixel vector loop and its tail on sizes and factors of every kind.
std::uint32_t referenceFiltered(Picture& src, int dw, int dh, int x, int y, float f)
{
    const float sw = static_cast<float>(src.surface.width()), sh = static_cast<float>(src.surface.height());
    const auto du = static_cast<std::int64_t>(sw * f / static_cast<float>(dw) * 65536.0f);
    const auto dv = static_cast<std::int64_t>(sh * f / static_cast<float>(dh) * 65536.0f);
    const auto u = static_cast<std::int64_t>((sw / 2.0f - sw * f / 2.0f) * 65536.0f) + x * du;
    const auto v = static_cast<std::int64_t>((sh / 2.0f - sh * f / 2.0f) * 65536.0f) + y * dv;
    const int column = static_cast<int>(u >> 16), row = static_cast<int>(v >> 16);
    const int wx = static_cast<int>((u & 0xffff) >> 1), wy = static_cast<int>((v & 0xffff) >> 1);
    const int right = std::min(column + 1, src.surface.width() - 1);
    const int below = std::min(row + 1, src.surface.height() - 1);
    std::uint32_t out = 0;
    for (int b = 0; b < 4; ++b) {
        auto c = [&](int cx, int cy) { return static_cast<int>((src.get(cx, cy) >> (8 * b)) & 0xff); };
        const int top = c(column, row) + static_cast<int>(std::floor(2.0 * (c(right, row) - c(column, row)) * wx / 65536.0));
        const int bottom =
            c(column, below) + static_cast<int>(std::floor(2.0 * (c(right, below) - c(column, below)) * wx / 65536.0));
        const int value = top + static_cast<int>(std::floor(2.0 * (bottom - top) * wy / 65536.0));
        out |= static_cast<std::uint32_t>(std::clamp(value, 0, 255)) << (8 * b);
    }
    return out;
}

TEST(BeatZoom, FilteredMatchesThePerPixelArithmetic)
{
    const int sizes[][4] = {{320, 200, 320, 200}, {37, 23, 41, 19}, {64, 64, 33, 17}, {9, 5, 9, 5}};
    const float factors[] = {0.1f, 0.37f, 0.5f, 0.8f, 0.999f};
    unsigned seed = 10;
    for (const auto& s : sizes) {
        Picture source(s[0], s[1]), destination(s[2], s[3]);
        source.randomize(++seed);
        for (float f : factors) {
            driver::beatZoomFiltered(destination.surface, source.surface, f);
            const auto out = destination.pixels();
            // Every pixel of the small cases, a spread of the full frame.
            const int step = s[2] * s[3] > 5000 ? 7 : 1;
            for (int i = 0; i < s[2] * s[3]; i += step)
                ASSERT_EQ(out[i], referenceFiltered(source, s[2], s[3], i % s[2], i / s[2], f))
                    << s[0] << "x" << s[1] << " -> " << s[2] << "x" << s[3] << " f " << f << " at " << i;
        }
    }
}

TEST(BeatZoom, FactorNearOneReproducesASmoothSource)
{
    // Near f = 1 each destination pixel samples just short of its own source
    // pixel, with weights just under one. A channel that changes by at most
    // one level along one axis comes back within one level. A channel that
    // changes along both axes can lose a level in each of the two floored
    // steps (a step of one times a weight of 0x7fff/0x8000 floors to 0), so it
    // comes back within two.
    Picture source(320, 200), destination(320, 200);
    auto* p = static_cast<std::uint32_t*>(source.surface.lock());
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 320; ++x)
            p[y * 320 + x] = static_cast<std::uint32_t>(x * 255 / 319) << 16 | static_cast<std::uint32_t>(y + 20) << 8 |
                             static_cast<std::uint32_t>((x + y) / 3);
    source.surface.unlock();
    const auto in = source.pixels();
    for (float f : {0.9999f, std::nextafter(1.0f, 0.0f)}) {
        driver::beatZoomFiltered(destination.surface, source.surface, f);
        const auto out = destination.pixels();
        for (std::size_t i = 0; i < in.size(); ++i)
            for (int b = 0; b < 3; ++b) {
                const int difference = std::abs(static_cast<int>((in[i] >> (8 * b)) & 0xff) -
                                                static_cast<int>((out[i] >> (8 * b)) & 0xff));
                ASSERT_LE(difference, b == 0 ? 2 : 1) << "f " << f << " pixel " << i << " byte " << b;
            }
    }
}

TEST(BeatZoom, FactorOneAndBeyondStayInsideTheSource)
{
    // Out of the driver's range: 1 maps one to one, larger factors are taken
    // as 1, negative ones and NaN as 0. Nothing is read outside the source
    // (the sanitizer build would report it).
    Picture source(320, 200), destination(320, 200);
    source.randomize(5);
    const auto in = source.pixels();
    for (float f : {1.0f, 3.0f}) {
        driver::beatZoomFiltered(destination.surface, source.surface, f);
        EXPECT_EQ(destination.pixels(), in);
        driver::beatZoomNearest(destination.surface, source.surface, f);
        EXPECT_EQ(destination.pixels(), in);
    }
    for (float f : {-2.0f, std::nanf("")}) {
        driver::beatZoomFiltered(destination.surface, source.surface, f);
        EXPECT_EQ(destination.pixels()[0], in[100 * 320 + 160]);
    }
    // A destination larger than the source at factor 1.
    Picture large(331, 207);
    driver::beatZoomFiltered(large.surface, source.surface, 1.0f);
    driver::beatZoomNearest(large.surface, source.surface, 1.0f);
    EXPECT_EQ(large.get(330, 206), in[199 * 320 + 319]);
}

// ---------------------------------------------------------------- quarter tile

TEST(QuarterTile, WhiteFrameGivesHalfWhiteInEveryQuadrant)
{
    Picture source(320, 200), destination(320, 200);
    source.fill(0xffffffff);
    destination.fill(0x12345678);
    driver::quarterTileCopy(destination.surface, source.surface);
    for (std::uint32_t p : destination.pixels())
        ASSERT_EQ(p, 0x007f7f7fu);
    EXPECT_FALSE(source.surface.locked());
    EXPECT_FALSE(destination.surface.locked());
}

TEST(QuarterTile, EveryOtherPixelHalvedIntoFourPlaces)
{
    Picture source(320, 200), destination(320, 200);
    source.randomize(3);
    source.set(14, 10, 0xff8103fe); // lands at (7, 5) of each quadrant
    source.set(15, 10, 0x00ffffff); // odd columns and rows are skipped
    driver::quarterTileCopy(destination.surface, source.surface);
    // Each byte shifted right one, the top byte dropped: 0x40 0x01 0x7f.
    for (const auto& at : {std::pair{7, 5}, std::pair{167, 5}, std::pair{7, 105}, std::pair{167, 105}})
        EXPECT_EQ(destination.get(at.first, at.second), 0x0040017fu) << at.first << "," << at.second;
    EXPECT_EQ(destination.get(319, 199), (source.get(318, 198) >> 1) & 0x7f7f7f);
}

// ---------------------------------------------------------------- keyed blit

constexpr std::uint32_t background = 0x00102030;
constexpr std::uint32_t key = 0x00000000;

// An image whose pixel (x, y) is 0x01000000 + (y << 12) + x, with the key
// colour at every position where (x + y) % 5 == 0 (so (0, 0) holds the key).
struct KeyedImage : Picture {
    KeyedImage(int w, int h) : Picture(w, h)
    {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                set(x, y, (x + y) % 5 == 0 ? key : 0x01000000u + (static_cast<std::uint32_t>(y) << 12) + x);
    }
};

// The destination expected after blitting a KeyedImage at (x, y), pixel by
// pixel, with `keyColour` left out.
void expectBlit(Picture& destination, Picture& image, int x, int y, std::uint32_t keyColour)
{
    const auto out = destination.pixels();
    const int W = destination.surface.width(), H = destination.surface.height();
    for (int dy = 0; dy < H; ++dy)
        for (int dx = 0; dx < W; ++dx) {
            const int ix = dx - x, iy = dy - y;
            std::uint32_t expected = background;
            if (ix >= 0 && iy >= 0 && ix < image.surface.width() && iy < image.surface.height() &&
                image.get(ix, iy) != keyColour)
                expected = image.get(ix, iy);
            ASSERT_EQ(out[dy * W + dx], expected) << "at " << dx << "," << dy << " blit at " << x << "," << y;
        }
}

TEST(KeyedBlit, BlackTopLeftMakesEveryBlackPixelTransparent)
{
    Picture destination(40, 30);
    KeyedImage image(12, 9);
    destination.fill(background);
    driver::blitKeyed(image.surface, destination.surface, 5, 6);
    expectBlit(destination, image, 5, 6, key);
    EXPECT_FALSE(image.surface.locked());
    EXPECT_FALSE(destination.surface.locked());
}

TEST(KeyedBlit, CutAtEachEdge)
{
    Picture destination(40, 30);
    KeyedImage image(12, 9);
    // Right, bottom and both at once keep the top-left key.
    const int positions[][2] = {{33, 4}, {10, 25}, {35, 27}, {39, 29}};
    for (const auto& p : positions) {
        destination.fill(background);
        driver::blitKeyed(image.surface, destination.surface, p[0], p[1]);
        expectBlit(destination, image, p[0], p[1], key);
    }
}

TEST(KeyedBlit, KeyComesFromColumnZeroOfTheFirstDrawnRow)
{
    Picture destination(40, 30);
    KeyedImage image(12, 9);
    const std::uint32_t rowTwoKey = image.get(0, 2); // 0x01002000, not black
    // Cut at the top by 2 rows: (0, 2)'s colour is the key and black shows.
    destination.fill(background);
    driver::blitKeyed(image.surface, destination.surface, 3, -2);
    expectBlit(destination, image, 3, -2, rowTwoKey);
    EXPECT_EQ(destination.get(3 + 3, 0), key); // image (3, 2) is black and drawn
    // Cut on the left only: column 0 is not drawn but still holds the key.
    destination.fill(background);
    driver::blitKeyed(image.surface, destination.surface, -4, 1);
    expectBlit(destination, image, -4, 1, key);
    // Cut on the left and at the top.
    destination.fill(background);
    driver::blitKeyed(image.surface, destination.surface, -4, -2);
    expectBlit(destination, image, -4, -2, rowTwoKey);
}

TEST(KeyedBlit, WideImageNearTheRightEdgeDrawsUpToTheEdgeOnly)
{
    Picture destination(320, 200);
    KeyedImage image(200, 20);
    destination.fill(background);
    driver::blitKeyed(image.surface, destination.surface, 155, 50);
    expectBlit(destination, image, 155, 50, key);
    EXPECT_EQ(destination.get(319, 52), image.get(164, 2));
    EXPECT_EQ(destination.get(0, 51), background); // nothing wrapped into the next row
}

TEST(KeyedBlit, OutsideOrEmptyDrawsNothing)
{
    Picture destination(40, 30);
    KeyedImage image(12, 9);
    destination.fill(background);
    const int positions[][2] = {{40, 0}, {-12, 0}, {0, 30}, {0, -9}, {2147483647, 0}, {0, -2147483647 - 1}};
    for (const auto& p : positions) {
        driver::blitKeyed(image.surface, destination.surface, p[0], p[1]);
        EXPECT_FALSE(image.surface.locked());
        EXPECT_FALSE(destination.surface.locked());
    }
    Surface empty("no such file.tga");
    ASSERT_TRUE(empty.empty());
    driver::blitKeyed(empty, destination.surface, 0, 0);
    driver::beatZoomFiltered(destination.surface, empty, 0.5f);
    driver::beatZoomNearest(destination.surface, empty, 0.5f);
    driver::quarterTileCopy(destination.surface, empty);
    driver::copyPicture(empty, destination.surface); // an end picture that could not be read
    for (std::uint32_t p : destination.pixels())
        ASSERT_EQ(p, background);
    // An empty destination is left alone as well.
    driver::blitKeyed(image.surface, empty, 0, 0);
    driver::beatZoomFiltered(empty, destination.surface, 0.5f);
    EXPECT_FALSE(destination.surface.locked());
}

TEST(CopyPicture, CopiesFromTheTopLeftAsFarAsBothReach)
{
    for (const auto& size : {std::pair{7, 5}, std::pair{60, 50}}) {
        Picture destination(40, 30);
        destination.fill(background);
        Surface image(size.first, size.second, display::format32());
        for (int y = 0; y < size.second; ++y)
            for (int x = 0; x < size.first; ++x)
                testing_support::setPixel(image, x, y, static_cast<std::uint32_t>(0x0a000000 | y << 8 | x));
        driver::copyPicture(image, destination.surface);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) {
                const bool inside = x < size.first && y < size.second;
                ASSERT_EQ(testing_support::pixelAt(destination.surface, x, y),
                          inside ? static_cast<std::uint32_t>(0x0a000000 | y << 8 | x) : background)
                    << x << "," << y;
            }
        EXPECT_FALSE(image.locked());
    }
}

// ---------------------------------------------------------------- locking

TEST(CompositingLocks, ALockedSurfaceThrowsAndTheOtherIsReleased)
{
    Picture a(320, 200), b(320, 200);
    b.surface.lock();
    EXPECT_THROW(driver::beatZoomFiltered(b.surface, a.surface, 0.5f), display::Error);
    EXPECT_FALSE(a.surface.locked());
    EXPECT_THROW(driver::beatZoomNearest(b.surface, a.surface, 0.5f), display::Error);
    EXPECT_FALSE(a.surface.locked());
    EXPECT_THROW(driver::quarterTileCopy(b.surface, a.surface), display::Error);
    EXPECT_FALSE(a.surface.locked());
    EXPECT_THROW(driver::blitKeyed(a.surface, b.surface, 0, 0), display::Error);
    EXPECT_FALSE(a.surface.locked());
    b.surface.unlock();
}

TEST(CompositingLocks, OneSurfaceAsBothIsLockedOnce)
{
    Picture a(320, 200);
    a.fill(0x00ffffff);
    driver::quarterTileCopy(a.surface, a.surface);
    driver::beatZoomNearest(a.surface, a.surface, 0.5f);
    driver::beatZoomFiltered(a.surface, a.surface, 0.5f);
    driver::blitKeyed(a.surface, a.surface, 3, 3);
    EXPECT_FALSE(a.surface.locked());
}

TEST(CompositingLocks, SurfacesOfAnotherDepthAreLeftAlone)
{
    Surface sixteen(320, 200, display::Format(16, 0xf800, 0x07e0, 0x001f));
    Picture frame(320, 200);
    frame.fill(background);
    driver::beatZoomFiltered(frame.surface, sixteen, 0.5f);
    driver::quarterTileCopy(sixteen, frame.surface);
    driver::blitKeyed(sixteen, frame.surface, 0, 0);
    EXPECT_EQ(frame.get(0, 0), background);
    EXPECT_FALSE(sixteen.locked());
}

} // namespace
