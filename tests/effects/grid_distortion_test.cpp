// Grid distortion: the block fillers, the blob and warp generators and the
// size rules. Expected values are worked out by hand from the formulas (the
// generator values independently in double precision, in the same order of
// operations), not taken from the code.
#include "effects/grid_distortion.h"
#include "tests/support/surface_helpers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace {

using effects::GridDistortion;
using effects::GridPoint;
using testing_support::paint;
using testing_support::pixelsOf;

constexpr std::int32_t one = 1 << 16; // 1.0 in 16.16

// Texel at (row, column): top byte 0x5a, red 0x40, green = row, blue = column,
// so a pixel tells which texel it came from.
constexpr std::uint32_t texelAt(int row, int column)
{
    return 0x5a400000u | static_cast<std::uint32_t>(row) << 8 | static_cast<std::uint32_t>(column);
}

std::unique_ptr<display::Surface> makeTexture()
{
    auto texture = std::make_unique<display::Surface>(256, 256, display::format32());
    auto* texels = static_cast<std::uint32_t*>(texture->lock());
    for (int row = 0; row < 256; ++row)
        for (int column = 0; column < 256; ++column)
            texels[row * 256 + column] = texelAt(row, column);
    texture->unlock();
    return texture;
}

constexpr std::uint32_t sentinel = 0xdeadbeef;

void setAll(GridDistortion& grid, GridPoint point)
{
    for (GridPoint& p : grid.points())
        p = point;
}

// Draws the grid with every point equal to `point` on a 320x200 surface and
// returns the pixels.
std::vector<std::uint32_t> fillEqual(GridPoint point)
{
    GridDistortion grid;
    setAll(grid, point);
    auto texturePtr = makeTexture();
    display::Surface& texture = *texturePtr;
    display::Surface surface(320, 200, display::format32());
    paint(surface, sentinel);
    grid.fill(surface, texture);
    EXPECT_FALSE(surface.locked());
    EXPECT_FALSE(texture.locked());
    return pixelsOf(surface);
}

bool allEqual(const std::vector<std::uint32_t>& pixels, std::uint32_t value)
{
    for (std::uint32_t p : pixels)
        if (p != value)
            return false;
    return true;
}

// ---------------------------------------------------------------- fillers

TEST(GridFiller, EqualPointsShowOneTexelDarkenedByTheCommonDarkness)
{
    // u 37.07, v 200.99, darkness 16.5: texel (200, 37) = 0x5a40c825 less 16
    // in each colour channel; the fractions never reach the integer parts.
    auto pixels = fillEqual({37 * one + 0x1234, 200 * one + 0xffff, 16 * one + 0x8000});
    EXPECT_TRUE(allEqual(pixels, 0x5a30b815u)) << std::hex << pixels[0];
}

TEST(GridFiller, DarknessZeroKeepsTheTexelAnd255MakesItBlackKeepingTheTopByte)
{
    EXPECT_TRUE(allEqual(fillEqual({3 * one, 250 * one, 0}), 0x5a40fa03u));
    EXPECT_TRUE(allEqual(fillEqual({3 * one, 250 * one, 255 * one}), 0x5a000000u));
    // 0x40 - 100 stops at 0, 0xfa - 100 = 0x96, 3 - 100 stops at 0.
    EXPECT_TRUE(allEqual(fillEqual({3 * one, 250 * one, 100 * one}), 0x5a009600u));
}

TEST(GridFiller, CoordinatesAndDarknessWrapAt256)
{
    // u = 256 + 5 samples column 5; v = -1 samples row 255.
    EXPECT_TRUE(allEqual(fillEqual({261 * one, -one, 0}), texelAt(255, 5)));
    // u = 256 samples the same texel as 0.
    EXPECT_TRUE(allEqual(fillEqual({256 * one, 7 * one, 0}), texelAt(7, 0)));
    // A darkness of 256 has the integer part 0 in its low 8 bits: no darkening.
    EXPECT_TRUE(allEqual(fillEqual({9 * one, 9 * one, 256 * one}), texelAt(9, 9)));
    // A darkness of 257 darkens by 1.
    EXPECT_TRUE(allEqual(fillEqual({9 * one, 9 * one, 257 * one}), 0x5a3f0808u));
}

TEST(GridFiller, DarkeningFormsAgreeForEveryDarknessAndChannelValue)
{
    for (std::uint32_t d = 0; d < 256; ++d)
        for (std::uint32_t c = 0; c < 256; ++c) {
            const std::uint32_t texel = 0xa5000000u | c << 16 | (255 - c) << 8 | (c * 7 & 255);
            ASSERT_EQ(effects::gridfill::darken(texel, d), effects::gridfill::darkenPlain(texel, d)) << d << "," << c;
        }
    // By hand: 0x12 3f 40 ff less 0x40: red 0, green 0, blue 0xbf, top byte kept.
    EXPECT_EQ(effects::gridfill::darkenPlain(0x123f40ffu, 0x40), 0x120000bfu);
}

// One 8x8 block drawn into a buffer of its own.
std::vector<std::uint32_t> fillOneBlock(GridPoint p00, GridPoint p01, GridPoint p10, GridPoint p11, int shift = 3)
{
    const int n = 1 << shift;
    static auto texturePtr = makeTexture();
    display::Surface& texture = *texturePtr;
    auto* texels = static_cast<const std::uint32_t*>(texture.lock());
    std::vector<std::uint32_t> block(n * n, sentinel);
    effects::gridfill::_fillblock(p00, p01, p10, p11, shift, block.data(), n, texels);
    texture.unlock();
    return block;
}

TEST(GridFiller, BlockStepsBeforeItSamplesAndBendsItsRowStepTowardTheBottomEdge)
{
    // Top edge u 0 -> 8 (step 1), bottom edge u 0 -> 16 (step 2): the step
    // grows by (2 - 1) / 8 per row, so row r steps by (8 + r) / 8. The left
    // edge runs down v 0 -> 8, one row per pixel row. Each pixel first adds
    // the step, so pixel j of row r samples column floor((j + 1)(8 + r) / 8).
    auto block = fillOneBlock({0, 0, 0}, {8 * one, 0, 0}, {0, 8 * one, 0}, {16 * one, 8 * one, 0});
    EXPECT_EQ(block[0 * 8 + 0], texelAt(0, 1));
    EXPECT_EQ(block[0 * 8 + 7], texelAt(0, 8));
    EXPECT_EQ(block[4 * 8 + 2], texelAt(4, 4));  // 3 x 12 / 8 = 4.5
    EXPECT_EQ(block[3 * 8 + 5], texelAt(3, 8));  // 6 x 11 / 8 = 8.25
    EXPECT_EQ(block[7 * 8 + 0], texelAt(7, 1));  // 15 / 8
    EXPECT_EQ(block[7 * 8 + 7], texelAt(7, 15)); // 8 x 15 / 8
    for (int r = 0; r < 8; ++r)
        for (int j = 0; j < 8; ++j)
            EXPECT_EQ(block[r * 8 + j], texelAt(r, (j + 1) * (8 + r) / 8)) << r << "," << j;
}

TEST(GridFiller, NegativeDifferencesShiftArithmetically)
{
    // u 0 -> -8: step -1, columns 255, 254, ... 248.
    auto block = fillOneBlock({0, 0, 0}, {-8 * one, 0, 0}, {0, 0, 0}, {-8 * one, 0, 0});
    for (int j = 0; j < 8; ++j)
        EXPECT_EQ(block[j], texelAt(0, 255 - j));
    // u 0 -> -1/65536: (-1) >> 3 stays -1 (a logical shift would make it a
    // huge positive step), so every pixel lies just below 0: column 255.
    block = fillOneBlock({0, 0, 0}, {-1, 0, 0}, {0, 0, 0}, {-1, 0, 0});
    for (int j = 0; j < 8; ++j)
        EXPECT_EQ(block[j], texelAt(0, 255));
}

TEST(GridFiller, DarknessIsInterpolatedLikeTheCoordinates)
{
    // Darkness 0 -> 8 along the row: pixel j is darkened by j + 1; texel (0, 200).
    auto block = fillOneBlock({200 * one, 0, 0}, {200 * one, 0, 8 * one}, {200 * one, 0, 0}, {200 * one, 0, 8 * one});
    for (int j = 0; j < 8; ++j) {
        std::uint32_t d = j + 1;
        EXPECT_EQ(block[j], 0x5a000000u | (0x40 - d) << 16 | (200 - d)) << j;
    }
}

TEST(GridFiller, SixteenPixelBlocksShiftByFour)
{
    // u 0 -> 16 over a 16-pixel block: step 1, columns 1 to 16.
    auto block = fillOneBlock({0, 0, 0}, {16 * one, 0, 0}, {0, 16 * one, 0}, {16 * one, 16 * one, 0}, 4);
    EXPECT_EQ(block[0], texelAt(0, 1));
    EXPECT_EQ(block[15], texelAt(0, 16));
    EXPECT_EQ(block[15 * 16 + 15], texelAt(15, 16));
}

struct FamilyMember {
    int width, height, gridWidth, gridHeight, block;
};

class GridFamily : public ::testing::TestWithParam<FamilyMember> {};

TEST_P(GridFamily, EveryMemberCoversItsWholePicture)
{
    const FamilyMember m = GetParam();
    GridDistortion grid(m.gridWidth, m.gridHeight, m.block, m.block);
    setAll(grid, {77 * one, 130 * one, 0});
    auto texturePtr = makeTexture();
    display::Surface& texture = *texturePtr;
    display::Surface surface(m.width, m.height, display::format32());
    paint(surface, sentinel);
    grid.fill(surface, texture);
    EXPECT_TRUE(allEqual(pixelsOf(surface), texelAt(130, 77)));
}

INSTANTIATE_TEST_SUITE_P(Sizes, GridFamily,
                         ::testing::Values(FamilyMember{320, 200, 41, 26, 8}, FamilyMember{320, 240, 41, 31, 8},
                                           FamilyMember{320, 240, 21, 16, 16}, FamilyMember{640, 480, 81, 61, 8},
                                           FamilyMember{256, 256, 33, 33, 8}));

TEST(GridFiller, OtherSurfaceOrGridSizesLeaveTheSurfaceUntouchedButLockAndUnlockIt)
{
    auto texturePtr = makeTexture();
    display::Surface& texture = *texturePtr;
    const FamilyMember misfits[] = {
        {321, 200, 41, 26, 8}, {320, 199, 41, 26, 8}, {200, 320, 41, 26, 8}, {320, 240, 41, 26, 8},
        {320, 200, 40, 26, 8}, {320, 200, 41, 25, 8}, {320, 200, 41, 26, 16}, {320, 240, 21, 16, 8},
    };
    for (const FamilyMember& m : misfits) {
        GridDistortion grid(m.gridWidth, m.gridHeight, m.block, m.block);
        setAll(grid, {1 * one, 1 * one, 0});
        display::Surface surface(m.width, m.height, display::format32());
        paint(surface, sentinel);
        grid.fill(surface, texture);
        EXPECT_FALSE(surface.locked());
        EXPECT_TRUE(allEqual(pixelsOf(surface), sentinel)) << m.width << "x" << m.height;
        // The lock is really taken: a surface that is already locked is refused by its own lock.
        surface.lock();
        EXPECT_THROW(grid.fill(surface, texture), display::Error);
        surface.unlock();
    }
}

TEST(GridFiller, ATextureThatIsNot256By256IsRefusedAndNothingIsDrawn)
{
    GridDistortion grid;
    setAll(grid, {1 * one, 1 * one, 0});
    display::Surface surface(320, 200, display::format32());
    paint(surface, sentinel);

    display::Surface small(128, 128, display::format32());
    display::Surface flat(256, 255, display::format32());
    display::Surface narrowPixels(256, 256, display::Format(16, 0xf800, 0x7e0, 0x1f));
    display::Surface missing("no such folder/no such image.tga");
    ASSERT_TRUE(missing.empty());
    for (display::Surface* texture : {&small, &flat, &narrowPixels, &missing}) {
        grid.fill(surface, *texture);
        EXPECT_FALSE(texture->locked());
        EXPECT_FALSE(surface.locked());
    }
    EXPECT_TRUE(allEqual(pixelsOf(surface), sentinel));
    // The scenes' entry points refuse it the same way.
    grid.renderBlob(surface, missing, 1.0);
    grid.renderWarp(surface, small, 1.0);
    EXPECT_TRUE(allEqual(pixelsOf(surface), sentinel));
}

// ---------------------------------------------------------------- falloff

TEST(GridFalloff, InfluenceFallsFrom255ToZeroAtDistance31_875)
{
    GridDistortion grid;
    const auto& falloff = grid.falloff();
    ASSERT_EQ(falloff.size(), 4096u);
    EXPECT_FLOAT_EQ(falloff[0], 255.0f);
    EXPECT_FLOAT_EQ(falloff[1], 247.0f);
    EXPECT_FLOAT_EQ(falloff[4], 239.0f);
    EXPECT_FLOAT_EQ(falloff[100], 175.0f);
    EXPECT_GT(falloff[1016], 0.0f); // 255 - 8 x 31.8748 = 0.0016
    EXPECT_LT(falloff[1016], 0.01f);
    EXPECT_EQ(falloff[1017], 0.0f);
    EXPECT_EQ(falloff[4095], 0.0f);
}

// ---------------------------------------------------------------- warp

TEST(GridWarp, PhaseZeroGivesAFlatPlane)
{
    // sin 0 = 0: Uw = Tw = 3 everywhere, u = v = 3 x 524280 = 1572840,
    // L = 9 / 4 = 2.25, darkness = trunc(2.25 x 65535) = 147453.
    GridDistortion grid;
    grid.generateWarp(0.0);
    for (const GridPoint& p : grid.points()) {
        ASSERT_EQ(p.u, 1572840);
        ASSERT_EQ(p.v, 1572840);
        ASSERT_EQ(p.darkness, 147453);
    }
}

TEST(GridWarp, ChosenPointsAndPhases)
{
    const double halfPi = 1.5707963267948966;
    GridDistortion grid;
    grid.generateWarp(halfPi);
    // The centre (gx 0, gy 0) stays at Uw = Tw = 3 at every phase.
    EXPECT_EQ(grid.point(20, 13).u, 1572840);
    EXPECT_EQ(grid.point(20, 13).darkness, 147453);
    // gx 20, gy 0: S = 20, V = sin(pi/2 + 2) = cos 2, Tw = 3 + 50 cos 2 =
    // -17.80734; R = 20 cos(pi/2) is 1.2e-15, so Uw = 3 (plus that crumb);
    // L = 3 x 17.80734 / 4 = 13.3555.
    EXPECT_EQ(grid.point(40, 13).u, -9336033);
    EXPECT_EQ(grid.point(40, 13).v, 1572840);
    EXPECT_EQ(grid.point(40, 13).darkness, 875253);
    // gx -20, gy -13: Tw = 23.80734, Uw = 29.22102.
    EXPECT_EQ(grid.point(0, 0).u, 12481713);
    EXPECT_EQ(grid.point(0, 0).v, 15319996);
    EXPECT_EQ(grid.point(0, 0).darkness, 11397762);
    EXPECT_EQ(grid.point(40, 25).u, -9336033); // Tw -17.80734 again: S = 20 + 12 cos(pi/2) rounds the same
    EXPECT_EQ(grid.point(40, 25).v, 17300528);

    grid.generateWarp(1.0);
    EXPECT_EQ(grid.point(0, 0).u, 10673038);
    EXPECT_EQ(grid.point(0, 0).v, 10003589);
    EXPECT_EQ(grid.point(0, 0).darkness, 6364007);
    EXPECT_EQ(grid.point(7, 19).u, 6194888);
    EXPECT_EQ(grid.point(7, 19).v, 3255108);
    EXPECT_EQ(grid.point(7, 19).darkness, 1201948);

    // Phase 2 at gx -20, gy -13: |Uw Tw| / 4 = 0.33 is raised to 1: darkness 65535.
    grid.generateWarp(2.0);
    EXPECT_EQ(grid.point(0, 0).u, 1572840);
    EXPECT_EQ(grid.point(0, 0).v, -231510);
    EXPECT_EQ(grid.point(0, 0).darkness, 65535);
}

TEST(GridWarp, FlatPlaneDrawsOneTexelEverywhere)
{
    // u = v = 1572840 = 23 x 65536 + 65512, darkness 147453 = 2 x 65536 + ...:
    // texel (23, 23) darkened by 2.
    GridDistortion grid;
    auto texturePtr = makeTexture();
    display::Surface& texture = *texturePtr;
    display::Surface surface(320, 200, display::format32());
    grid.renderWarp(surface, texture, 0.0);
    EXPECT_TRUE(allEqual(pixelsOf(surface), 0x5a3e1515u));
}

// ---------------------------------------------------------------- blob

TEST(GridBlob, ParametersOfAPhase)
{
    auto p0 = effects::blobParameters(0.0);
    EXPECT_EQ(p0.a, 0.0);
    EXPECT_EQ(p0.b, 128.0);
    EXPECT_FLOAT_EQ(p0.e, 7.7723765f); // 21 + 20 sin(-45 cos(23k) k)
    EXPECT_FLOAT_EQ(p0.c, 0.14866078f); // 0.02 + 1 / e
    auto p2 = effects::blobParameters(2.0);
    EXPECT_EQ(p2.a, 4.0);
    EXPECT_DOUBLE_EQ(p2.b, 186.19503531684364); // 128 + 64 sin 2
    EXPECT_FLOAT_EQ(p2.e, 7.9640255f);
    EXPECT_FLOAT_EQ(p2.c, 0.14556465f);
}

TEST(GridBlob, TwoWholeBalls)
{
    // e = 1: E = 2, balls 0 and 1, both counted in full.
    GridDistortion grid;
    grid.generateBlob(0.5, 150, 0.5f, 1.0f);
    EXPECT_EQ(grid.point(0, 0).u, 2047299);
    EXPECT_EQ(grid.point(0, 0).v, 2982821);
    EXPECT_EQ(grid.point(0, 0).darkness, 5910759);
    // Near a ball the light passes 245 and is held there: darkness 10.
    EXPECT_EQ(grid.point(20, 13).u, -961436);
    EXPECT_EQ(grid.point(20, 13).v, 29773);
    EXPECT_EQ(grid.point(20, 13).darkness, 10 * one);
    EXPECT_EQ(grid.point(40, 25).u, 109680);
    EXPECT_EQ(grid.point(40, 25).v, 2811753);
    EXPECT_EQ(grid.point(40, 25).darkness, 2670342);
    EXPECT_EQ(grid.point(7, 19).u, 661084);
    EXPECT_EQ(grid.point(7, 19).v, -820782);
    EXPECT_EQ(grid.point(7, 19).darkness, 1221109);
}

TEST(GridBlob, TheLastBallCountsWithTheFractionOfE)
{
    // e = 2.5: E = 3.5, balls 0 to 3; ball 3 (> e) weighs 0.5.
    GridDistortion grid;
    grid.generateBlob(1.3, 100, 0.25f, 2.5f);
    EXPECT_EQ(grid.point(0, 0).u, 2802933);
    EXPECT_EQ(grid.point(0, 0).v, -2355912);
    EXPECT_EQ(grid.point(0, 0).darkness, 7727076);
    EXPECT_EQ(grid.point(20, 13).u, 881593);
    EXPECT_EQ(grid.point(20, 13).v, 1502857);
    EXPECT_EQ(grid.point(20, 13).darkness, 6100877);
    EXPECT_EQ(grid.point(40, 25).u, 448501);
    EXPECT_EQ(grid.point(40, 25).v, 2955101);
    EXPECT_EQ(grid.point(40, 25).darkness, 8477963);
    EXPECT_EQ(grid.point(7, 19).u, 1923873);
    EXPECT_EQ(grid.point(7, 19).v, 3290020);
    EXPECT_EQ(grid.point(7, 19).darkness, 5626416);
}

TEST(GridBlob, ThePhaseOfTheScenes)
{
    // p = 2: e = 7.964, nine balls, the ninth weighted 0.964.
    GridDistortion grid;
    auto params = effects::blobParameters(2.0);
    grid.generateBlob(params.a, params.b, params.c, params.e);
    EXPECT_EQ(grid.point(0, 0).u, 10331858);
    EXPECT_EQ(grid.point(0, 0).v, -880659);
    EXPECT_EQ(grid.point(0, 0).darkness, 655360);
    EXPECT_EQ(grid.point(40, 25).u, 3363441);
    EXPECT_EQ(grid.point(40, 25).v, 13784361);
    EXPECT_EQ(grid.point(40, 25).darkness, 2409331);
}

TEST(GridBlob, LightIsHeldBetween4And245AndANegativeBaseCountsAsZero)
{
    GridDistortion grid;
    // No light per influence and a base below 0: light 0, raised to 4, darkness 251.
    grid.generateBlob(0.5, -50, 0.0f, 1.0f);
    for (const GridPoint& p : grid.points())
        ASSERT_EQ(p.darkness, 251 * one);
    EXPECT_EQ(grid.point(0, 0).u, 2047299); // the coordinates do not depend on the light
    // A base of 300 is lowered to 245: darkness 10.
    grid.generateBlob(0.5, 300, 0.5f, 1.0f);
    for (const GridPoint& p : grid.points())
        ASSERT_EQ(p.darkness, 10 * one);
}

TEST(GridBlob, NothingIsComputedWhenEIsBelowOne)
{
    GridDistortion grid;
    setAll(grid, {1, 2, 3});
    grid.generateBlob(0.5, 150, 0.5f, 0.75f);
    grid.generateBlob(0.5, 150, 0.5f, -3.0f);
    for (const GridPoint& p : grid.points()) {
        ASSERT_EQ(p.u, 1);
        ASSERT_EQ(p.v, 2);
        ASSERT_EQ(p.darkness, 3);
    }
}

TEST(GridBlob, ALargerGridReachesPastTheFalloffTableSafely)
{
    // On the 81x61 grid corner points lie more than 64 units from a ball
    // (squared distances above 4095); they get no influence. With c = 0 the
    // light is the base, 150: darkness 105.
    GridDistortion grid(81, 61, 8, 8);
    grid.generateBlob(0.5, 150, 0.0f, 41.0f);
    EXPECT_EQ(grid.point(0, 0).darkness, 105 * one);
    EXPECT_EQ(grid.point(80, 60).darkness, 105 * one);
}

} // namespace
