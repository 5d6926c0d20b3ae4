// Fire tunnel: tables, polar map, the in-place blur with its two ends, the
// seeds, cooling, and the drawing rules. Expected values are worked out by
// hand from the formulas.
#include "effects/fire_tunnel.h"
#include "platform/random_numbers.h"
#include "tests/support/surface_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

using effects::FireTunnel;
using testing_support::paint;
using testing_support::pixelsOf;

constexpr std::uint32_t sentinel = 0xdeadbeef;

std::vector<std::uint8_t> fieldOf(const FireTunnel& tunnel)
{
    return std::vector<std::uint8_t>(tunnel.fire(), tunnel.fire() + 65536);
}

// (angle, distance) of the map entry at (row, column).
std::pair<int, int> mapAt(const FireTunnel& tunnel, int row, int column)
{
    const std::uint8_t* entry = tunnel.map() + (row * tunnel.mapWidth() + column) * 2;
    return {entry[0], entry[1]};
}

// ---------------------------------------------------------------- tables

TEST(FireTables, PaletteRunsFromBlackToWhiteAtIndex77)
{
    FireTunnel tunnel(10, 320, 200, 10.0f);
    const std::uint32_t* palette = tunnel.palette();
    EXPECT_EQ(palette[0], 0u);
    EXPECT_EQ(palette[1], 0u);        // 0.058, 0.044, 0.075
    EXPECT_EQ(palette[10], 0x050407u); // 5.8, 4.4, 7.5
    EXPECT_EQ(palette[20], 0x17111eu); // 23.2, 17.6, 30
    EXPECT_EQ(palette[60], 0xd09effu); // 208.8, 158.4, 270 -> 255
    EXPECT_EQ(palette[76], 0xfffeffu); // green 254.1
    EXPECT_EQ(palette[77], 0xffffffu); // green 260.9 -> 255
    EXPECT_EQ(palette[255], 0xffffffu);
}

TEST(FireTables, WobbleHasTwelveLobesOfTwiceTheAmplitude)
{
    FireTunnel tunnel(10, 320, 200, 10.0f);
    const std::uint8_t* wobble = tunnel.wobble();
    // trunc((sin(i x 75.39816 / 256) + 1) x 10)
    EXPECT_EQ(wobble[0], 10);
    EXPECT_EQ(wobble[1], 12);  // sin 0.2945 = 0.290
    EXPECT_EQ(wobble[4], 19);  // sin 1.178 = 0.924
    EXPECT_EQ(wobble[15], 0);  // sin 4.418 = -0.958
    EXPECT_EQ(wobble[127], 7); // a period is 256 / 12 = 21.3 angles
    int smallest = 255, largest = 0;
    for (int i = 0; i < 256; ++i) {
        smallest = std::min<int>(smallest, wobble[i]);
        largest = std::max<int>(largest, wobble[i]);
    }
    EXPECT_EQ(smallest, 0);
    EXPECT_EQ(largest, 19);
}

TEST(FireMap, CentreNeighboursAndCorners)
{
    FireTunnel tunnel(10, 320, 200, 10.0f);
    // Centre (dx 0, dy 0): atan2 0 -> 127.5 -> 127; distance 0.
    EXPECT_EQ(mapAt(tunnel, 100, 160), std::make_pair(127, 0));
    // One pixel away the distance is -1.236 -> -1 -> 255 in every direction.
    // Right: angle 0 -> 127. Left: atan2 pi -> (1.0000008 + 1) x 127.5 = 255.0001 -> 255.
    // Below: pi/2 -> 191.25 -> 191. Above: -pi/2 -> 63.75 -> 63.
    EXPECT_EQ(mapAt(tunnel, 100, 161), std::make_pair(127, 255));
    EXPECT_EQ(mapAt(tunnel, 100, 159), std::make_pair(255, 255));
    EXPECT_EQ(mapAt(tunnel, 101, 160), std::make_pair(191, 255));
    EXPECT_EQ(mapAt(tunnel, 99, 160), std::make_pair(63, 255));
    // Top-left corner (-160, -100) lies at distance 188.68 x 1.23616 = 233.24:
    // -233 -> 23. Its angle is -2.58299 rad -> 22.67 -> 22.
    EXPECT_EQ(mapAt(tunnel, 0, 0), std::make_pair(22, 23));
    // The other corners are a pixel nearer: (159, -100) 232.19, (-160, 99)
    // 232.59, (159, 99) 231.53.
    EXPECT_EQ(mapAt(tunnel, 0, 319), std::make_pair(104, 24));
    EXPECT_EQ(mapAt(tunnel, 199, 0), std::make_pair(232, 24));
    EXPECT_EQ(mapAt(tunnel, 199, 319), std::make_pair(150, 25));
    // Middle of the left edge: 160 x 1.23616 = 197.79 -> -197 -> 59.
    EXPECT_EQ(mapAt(tunnel, 100, 0), std::make_pair(255, 59));
}

// ---------------------------------------------------------------- update

// The blur run on a field inside a larger buffer whose bytes just before
// and after the field are 255: the two neighbours outside the field must
// count as 0, never as whatever lies next to it in memory.
std::vector<std::uint8_t> blurWithGuards(const std::vector<std::uint8_t>& field)
{
    std::vector<std::uint8_t> buffer(65538, 0);
    buffer.front() = 255;
    buffer.back() = 255;
    std::copy(field.begin(), field.end(), buffer.begin() + 1);
    effects::firetunnel::_blurfield(buffer.data() + 1);
    EXPECT_EQ(buffer.front(), 255);
    EXPECT_EQ(buffer.back(), 255);
    return std::vector<std::uint8_t>(buffer.begin() + 1, buffer.end() - 1);
}

TEST(FireUpdate, FirstBytesUseTheNewLeftNeighbourAndZeroBeforeTheField)
{
    std::vector<std::uint8_t> field(65536, 0);
    field[0] = 64;
    auto out = blurWithGuards(field);
    EXPECT_EQ(out[0], 8); // (0 + 64) >> 3; reading the byte before the field would give 39
    EXPECT_EQ(out[1], 1); // (new 8 + 0...) >> 3; the old 64 would give 8

    field.assign(65536, 0);
    field[2] = 80;
    field[255] = 80;
    field[513] = 96;
    field[514] = 40;
    out = blurWithGuards(field);
    EXPECT_EQ(out[0], 32); // (80 + 80 + 96) >> 3
    // Byte 1: new byte 0 (32) + byte 513 (k + 512, 96) + byte 514 (k + 513, 40) = 168 >> 3.
    EXPECT_EQ(out[1], 21);
}

TEST(FireUpdate, LastByteCountsTheIndexPastTheFieldAsZero)
{
    // Rows 0 to 253 cold, rows 254 and 255 at 255. In the middle of row 253
    // five neighbours (k + 255, 257, 511, 512, 513) are 255: the running value
    // settles at n = (n + 1275) >> 3 = 182. Byte 65022 has six (k + 2 reaches
    // row 254): (182 + 1530) >> 3 = 214. Byte 65023 has k + 2, 255, 257, 511
    // and 512 inside and k + 513 = 65536 outside: (214 + 1275) >> 3 = 186
    // (218 if the byte past the field were read).
    std::vector<std::uint8_t> field(65536, 0);
    std::fill(field.begin() + 254 * 256, field.end(), 255);
    auto out = blurWithGuards(field);
    EXPECT_EQ(out[65021], 182);
    EXPECT_EQ(out[65022], 214);
    EXPECT_EQ(out[65023], 186);
    // Rows 254 and 255 are not blurred.
    EXPECT_EQ(out[65024], 255);
    EXPECT_EQ(out[65535], 255);
}

TEST(FireUpdate, SeedsComeFromTheRandomSequenceInPairsRow255First)
{
    const int seeds = 40;
    platform::seedRandom(1234);
    std::vector<int> row255, row254;
    for (int i = 0; i < seeds; ++i) {
        row255.push_back(platform::nextRandom() & 255);
        row254.push_back(platform::nextRandom() & 255);
    }
    FireTunnel tunnel(seeds, 320, 200, 10.0f);
    std::fill(tunnel.fire() + 254 * 256, tunnel.fire() + 65536, 77); // cleared before seeding
    platform::seedRandom(1234);
    tunnel.update();
    for (int column = 0; column < 256; ++column) {
        bool in255 = std::find(row255.begin(), row255.end(), column) != row255.end();
        bool in254 = std::find(row254.begin(), row254.end(), column) != row254.end();
        EXPECT_EQ(tunnel.fire()[255 * 256 + column], in255 ? 255 : 0) << column;
        EXPECT_EQ(tunnel.fire()[254 * 256 + column], in254 ? 255 : 0) << column;
    }
}

// Number of updates without seeds until every byte of the field is 0,
// starting from the field that `warmSeeds` sparks per update keep burning.
int updatesToCoolDown(int warmSeeds)
{
    platform::seedRandom(99);
    FireTunnel tunnel(warmSeeds, 320, 200, 10.0f);
    for (int i = 0; i < 60; ++i)
        tunnel.update();
    EXPECT_GT(*std::max_element(tunnel.fire(), tunnel.fire() + 65536), 3);
    tunnel.seedCount = 0;
    auto hot = [&] {
        auto field = fieldOf(tunnel);
        return std::any_of(field.begin(), field.end(), [](std::uint8_t b) { return b != 0; });
    };
    int updates = 0;
    while (hot() && updates < 1000) {
        tunnel.update();
        ++updates;
    }
    return updates;
}

TEST(FireUpdate, WithoutSeedsTheFieldCoolsToBlack)
{
    // From the construction's 10 sparks a row: black within a few dozen updates.
    EXPECT_LE(updatesToCoolDown(10), 36);
    // The scenes' 160 sparks heat the field far more; its hottest byte then
    // drops by about one per update, so it takes longer, but it still ends at 0.
    EXPECT_LE(updatesToCoolDown(160), 256);
}

// ---------------------------------------------------------------- draw

TEST(FireDraw, CentredMapFillsA320By200SurfaceThroughWobbleFireAndPalette)
{
    platform::seedRandom(5);
    FireTunnel tunnel(160, 320, 200, 10.0f);
    for (int i = 0; i < 30; ++i)
        tunnel.update();
    display::Surface surface(320, 200, display::format32());
    paint(surface, sentinel);
    tunnel.draw(surface, 160, 100, 0, -24);
    EXPECT_FALSE(surface.locked());
    auto pixels = pixelsOf(surface);
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), sentinel), 0);
    // Centre: angle 127, distance 0; u = 127, v = 0 - 24 + wobble[127] (7) = 239.
    EXPECT_EQ(pixels[100 * 320 + 160], tunnel.palette()[tunnel.fire()[239 * 256 + 127]]);
    // Top-left corner: angle 22, distance 23; v = 23 - 24 + wobble[22] = wobble[22] - 1.
    const int v = (23 - 24 + tunnel.wobble()[22]) & 255;
    EXPECT_EQ(pixels[0], tunnel.palette()[tunnel.fire()[v * 256 + 22]]);
    // Turned by 100 angles: the centre reads column 227 and its wobble.
    tunnel.draw(surface, 160, 100, 100, -24);
    pixels = pixelsOf(surface);
    const int v2 = (-24 + tunnel.wobble()[227]) & 255;
    EXPECT_EQ(pixels[100 * 320 + 160], tunnel.palette()[tunnel.fire()[v2 * 256 + 227]]);
}

TEST(FireDraw, AngleOffsetsAreTakenModulo256)
{
    display::Surface a(320, 200, display::format32()), b(320, 200, display::format32()),
        c(320, 200, display::format32());
    for (auto [surface, offset] : {std::pair{&a, 0}, std::pair{&b, 256}, std::pair{&c, -256}}) {
        platform::seedRandom(3);
        FireTunnel tunnel(160, 320, 200, 10.0f);
        for (int i = 0; i < 20; ++i)
            tunnel.update();
        tunnel.draw(*surface, 160, 100, offset, -24 + 512);
    }
    auto pa = pixelsOf(a);
    EXPECT_EQ(pa, pixelsOf(b));
    EXPECT_EQ(pa, pixelsOf(c));
    EXPECT_NE(std::count(pa.begin(), pa.end(), 0u), static_cast<long>(pa.size())); // not a blank picture
}

TEST(FireDraw, AMapPokingOutByOnePixelDrawsNothingButStillUpdates)
{
    const std::pair<int, int> centres[] = {{159, 100}, {161, 100}, {160, 99}, {160, 101}};
    for (auto [x, y] : centres) {
        platform::seedRandom(11);
        FireTunnel tunnel(160, 320, 200, 10.0f);
        platform::seedRandom(11);
        FireTunnel twin(160, 320, 200, 10.0f);
        display::Surface surface(320, 200, display::format32());
        paint(surface, sentinel);
        platform::seedRandom(8);
        tunnel.draw(surface, x, y, 0, -24);
        platform::seedRandom(8);
        twin.update();
        EXPECT_FALSE(surface.locked());
        auto pixels = pixelsOf(surface);
        EXPECT_EQ(std::count(pixels.begin(), pixels.end(), sentinel), static_cast<long>(pixels.size()))
            << x << "," << y;
        EXPECT_EQ(fieldOf(tunnel), fieldOf(twin));
    }
}

TEST(FireDraw, ASmallMapWritesOnlyItsRectangle)
{
    // A 20x10 map centred at (15, 8) covers columns 5..24 and rows 3..12.
    FireTunnel tunnel(160, 20, 10, 10.0f);
    display::Surface surface(40, 30, display::format32());
    paint(surface, sentinel);
    tunnel.draw(surface, 15, 8, 0, 0);
    auto pixels = pixelsOf(surface);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            bool inside = x >= 5 && x <= 24 && y >= 3 && y <= 12;
            ASSERT_EQ(pixels[y * 40 + x] != sentinel, inside) << x << "," << y;
        }
    // Touching the right and bottom edges exactly is allowed: columns 20..39, rows 20..29.
    paint(surface, sentinel);
    tunnel.draw(surface, 30, 25, 0, 0);
    pixels = pixelsOf(surface);
    EXPECT_NE(pixels[29 * 40 + 39], sentinel);
    EXPECT_EQ(pixels[19 * 40 + 39], sentinel);
}

TEST(FireDraw, AnOddMapMayNotRunPastTheRightOrBottomEdge)
{
    // 21x11 map: halves 10 and 5, so 21 columns from centreX - 10 and 11 rows
    // from centreY - 5. At (30, 24) on 40x30 they would reach column 40 and
    // row 29: one column outside. Nothing is drawn.
    FireTunnel tunnel(160, 21, 11, 10.0f);
    display::Surface surface(40, 30, display::format32());
    paint(surface, sentinel);
    tunnel.draw(surface, 30, 24, 0, 0);
    auto pixels = pixelsOf(surface);
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), sentinel), 1200);
    // At (30, 25) the rows would reach 30, below the surface: nothing.
    tunnel.draw(surface, 29, 25, 0, 0);
    pixels = pixelsOf(surface);
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), sentinel), 1200);
    // At (29, 24) it fits exactly: columns 19..39, rows 19..29.
    tunnel.draw(surface, 29, 24, 0, 0);
    pixels = pixelsOf(surface);
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), sentinel), 1200 - 21 * 11);
    EXPECT_NE(pixels[29 * 40 + 39], sentinel);
}

TEST(FireDraw, EmptyOrNarrowSurfacesAreLeftAlone)
{
    FireTunnel tunnel(160, 320, 200, 10.0f);
    display::Surface missing("no such folder/no such image.tga");
    ASSERT_TRUE(missing.empty());
    tunnel.draw(missing, 0, 0, 0, 0);
    EXPECT_FALSE(missing.locked());
    FireTunnel none(160, 0, -5, 10.0f);
    display::Surface surface(4, 4, display::format32());
    paint(surface, sentinel);
    none.draw(surface, 2, 2, 0, 0);
    auto pixels = pixelsOf(surface);
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), sentinel), 16);
}

} // namespace
