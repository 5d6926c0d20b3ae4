// Perspective-correct spans: exact coordinates at block ends, floor steps in
// whole 16-pixel blocks and truncated steps otherwise, the clamp for faces
// seen edge-on, and agreement with the affine rasterizer when 1/z is
// constant. Expected values worked out by hand.
#include "engine3d/perspective_rasterizer.h"
#include "engine3d/polygon_rasterizers.h"
#include "tests/engine3d/raster_canvas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using raster_testing::Canvas;
using raster_testing::vertex;

// Texture columns of the first `n` pixels of row 0, one digit each.
std::string columnDigits(const Canvas& canvas, int n)
{
    std::string digits;
    for (int x = 0; x < n; ++x)
        digits += char('0' + (canvas.at(x, 0) & 0xff) % 10);
    return digits;
}

TEST(PerspectiveSpan, BlocksEndOnExactValuesAndStepByFloorOfTheDifferenceOverSixteen)
{
    // 1/z = 1 throughout; U(k) = ceil((5 + (320 - 17k) / 2^20) x 65536) =
    // 5 x 65536 + 20 at k = 0, + 3 at k = 16 and - 14 at k = 32: a difference
    // of -17 per 16 pixels.
    struct Case {
        int n;
        const char* columns;
    };
    const Case cases[] = {
        // Up to 16 pixels: one segment, step trunc(-17 / 16) = -1.
        {16, "5555555555555555"},
        // A block with step floor(-17 / 16) = -2 reaches column 4 at pixel 11;
        // the 1-pixel remainder starts again from the exact U(16).
        {17, "55555555555444445"},
        // Two whole blocks, no remainder.
        {32, "55555555555444445544444444444444"},
    };
    const auto texels = raster_testing::indexTexture();
    for (const auto& c : cases) {
        Canvas canvas(40, 1, 0xdead);
        engine3d::_persphline(0, c.n, 5.0f + 20.0f / 65536, 0.0f, 1.0f, -17.0f / 1048576, 0.0f, 0.0f, texels.data(),
                              canvas.pixels.data(), canvas.depth.data());
        EXPECT_EQ(columnDigits(canvas, c.n), c.columns) << c.n << " pixels";
        EXPECT_EQ(canvas.at(c.n, 0), 0xdeadu) << c.n << " pixels";
    }
}

TEST(PerspectiveSpan, BlockEndBeyondAFaceSeenEdgeOnIsTakenOnTheLastPixel)
{
    // 1/z falls from 20/1024 to exactly 0 at x2; u/z = 7 x 1/z, so every
    // pixel shows column 7. The end of the last block (pixel 20) has 1/z = 0.
    const auto texels = raster_testing::indexTexture();
    Canvas canvas(24, 1, 0xdead);
    engine3d::_persphline(0, 20, 140.0f / 1024, 0.0f, 20.0f / 1024, -7.0f / 1024, 0.0f, -1.0f / 1024, texels.data(),
                          canvas.pixels.data(), canvas.depth.data());
    EXPECT_EQ(columnDigits(canvas, 20), std::string(20, '7'));
    EXPECT_EQ(canvas.depthAt(0, 0), 327680);  // ceil(20/1024 x 2^24)
    EXPECT_EQ(canvas.depthAt(19, 0), 16384);  // 327680 - 19 x 16384
    EXPECT_EQ(canvas.at(20, 0), 0xdeadu);
}

TEST(PerspectiveSpan, ConstantDepthDrawsWhatTheAffineRasterizerDraws)
{
    // A rectangle parallel to the screen with u = screen x and v = 2 y: 38
    // pixels a row (two blocks and a remainder of 6), rows 4 to 12.
    std::vector<engine3d::ScreenVertex> corners{vertex(2.25f, 3.25f, 2.25f, 6.5f, 0.5f),
                                                vertex(2.25f, 12.5f, 2.25f, 25.0f, 0.5f),
                                                vertex(40.75f, 12.5f, 40.75f, 25.0f, 0.5f),
                                                vertex(40.75f, 3.25f, 40.75f, 6.5f, 0.5f)};
    const engine3d::ScreenVertex* list[] = {&corners[0], &corners[1], &corners[2], &corners[3]};
    const auto texels = raster_testing::indexTexture();
    Canvas affine(44, 16), perspective(44, 16);
    engine3d::_tmapasm32b(list, 4, 65536, 0, 0, texels.data(), affine.pixels.data(), affine.depth.data(),
                          affine.pitch());
    engine3d::scanPerspective(list, 4, 0.5f, 0.0f, 0.0f, texels.data(),
                              {perspective.pixels.data(), perspective.depth.data(), perspective.pitch()});
    EXPECT_EQ(perspective.pixels, affine.pixels);
    EXPECT_EQ(perspective.depth, affine.depth);
    EXPECT_EQ(affine.rowMask(4), raster_testing::columns(3, 41));
    EXPECT_EQ(affine.at(3, 4), 8u * 256 + 3);   // v = 6.5 + 0.75 x 2 at row 4
    EXPECT_EQ(affine.at(40, 12), 24u * 256 + 40);
    EXPECT_EQ(affine.rowMask(13), 0u);
}

} // namespace
