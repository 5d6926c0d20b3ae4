// Anti-aliased lines: the weights of the hand-worked horizontal and vertical
// lines, saturation when drawn again, symmetry in the end points, and the
// safe cases (picture border, length 0, a one-row end piece).
#include "engine3d/aa_line.h"
#include "tests/engine3d/raster_canvas.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using raster_testing::Canvas;

std::vector<std::uint32_t> productTable()
{
    std::vector<std::uint32_t> table(65536);
    for (std::uint32_t i = 0; i < 65536; ++i)
        table[i] = (i >> 8) * (i & 255);
    return table;
}

void line(Canvas& canvas, float x1, float y1, float x2, float y2, int r, int g, int b)
{
    static const std::vector<std::uint32_t> table = productTable();
    engine3d::_aaline32b(x1, y1, x2, y2, canvas.pixels.data(), canvas.pitch(), canvas.width, canvas.height,
                         table.data(), r, g, b);
}

std::uint32_t rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) { return r << 16 | g << 8 | b; }

TEST(AntiAliasedLine, VerticalLineSplitsEachRowBetweenTwoColumnsAndWeighsTheEndPiece)
{
    // From (3.5, 2.0) to (3.5, 6.5): rows 2..5 weigh 255 x 127 (column 3) and
    // 255 x 128 (column 4); row 6, half a row, 128 x 127 and 128 x 128.
    // Channel = colour x weight >> 16, for colours 255 and 127.
    Canvas canvas(8, 9);
    line(canvas, 3.5f, 2.0f, 3.5f, 6.5f, 255, 127, 0);
    for (int y = 2; y <= 5; ++y) {
        EXPECT_EQ(canvas.at(3, y), rgb(126, 62, 0)) << y; // 255 x 32385 >> 16, 127 x 32385 >> 16
        EXPECT_EQ(canvas.at(4, y), rgb(127, 63, 0)) << y; // 255 x 32640 >> 16, 127 x 32640 >> 16
    }
    EXPECT_EQ(canvas.at(3, 6), rgb(63, 31, 0)); // 16256
    EXPECT_EQ(canvas.at(4, 6), rgb(63, 31, 0)); // 16384
    int touched = 0;
    for (auto p : canvas.pixels)
        touched += p != 0;
    EXPECT_EQ(touched, 10);
}

TEST(AntiAliasedLine, HorizontalLineOnAWholeRowLeavesTheRowBelowAlone)
{
    // y = 7.0: every weight for row 8 is 0. The end piece from x = 11 to 12
    // is exactly one column long: its factor 65536 is taken as 255.
    Canvas canvas(16, 10);
    line(canvas, 2.0f, 7.0f, 12.0f, 7.0f, 0, 127, 0);
    for (int x = 0; x < 16; ++x) {
        EXPECT_EQ(canvas.at(x, 7), x >= 2 && x < 12 ? rgb(0, 126, 0) : 0u) << x; // 127 x 65025 >> 16
        EXPECT_EQ(canvas.at(x, 8), 0u) << x;
    }
}

TEST(AntiAliasedLine, DrawingAgainAddsWithSaturationAndEndOrderDoesNotMatter)
{
    Canvas twice(8, 9), thrice(8, 9);
    for (int i = 0; i < 2; ++i)
        line(twice, 3.5f, 2.0f, 3.5f, 6.5f, 255, 255, 255);
    thrice.pixels = twice.pixels;
    line(thrice, 3.5f, 2.0f, 3.5f, 6.5f, 255, 255, 255);
    EXPECT_EQ(twice.at(4, 3), rgb(254, 254, 254));
    EXPECT_EQ(thrice.at(4, 3), rgb(255, 255, 255));
    EXPECT_EQ(thrice.at(3, 6), rgb(189, 189, 189)); // 3 x 63

    const float ends[][4] = {{1.3f, 2.7f, 17.8f, 9.1f}, {4.2f, 1.1f, 9.7f, 14.6f}, {17.5f, 3.25f, 2.0f, 12.0f}};
    for (const auto& e : ends) {
        Canvas forward(24, 18), backward(24, 18);
        line(forward, e[0], e[1], e[2], e[3], 200, 100, 50);
        line(backward, e[2], e[3], e[0], e[1], 200, 100, 50);
        EXPECT_EQ(forward.pixels, backward.pixels) << e[0];
        EXPECT_NE(forward.rowMask(8), 0u) << e[0];
    }
}

TEST(AntiAliasedLine, PixelsOutsideThePictureAreSkipped)
{
    // The picture is 8 wide inside rows of 9 pixels: column 8 must stay as
    // it is, though lines on the right and bottom border touch it.
    Canvas canvas(9, 9, 0x010101);
    const std::vector<std::uint32_t> table = productTable();
    auto draw = [&](float x1, float y1, float x2, float y2) {
        engine3d::_aaline32b(x1, y1, x2, y2, canvas.pixels.data(), canvas.pitch(), 8, 8, table.data(), 255, 255, 255);
    };
    draw(7.5f, 0.0f, 7.5f, 7.9f);
    draw(-3.0f, 7.5f, 12.0f, 7.5f);
    draw(-100.0f, -50.0f, 300.0f, 120.0f);
    draw(5.0f, 5.0f, 5.0f, 5.0f);                // length 0: nothing
    draw(1.0f, 1.0f, 1e30f, 2.0f);               // an end far away: nothing
    for (int y = 0; y < 9; ++y)
        EXPECT_EQ(canvas.at(8, y), 0x010101u) << y;
    for (int x = 0; x < 9; ++x)
        EXPECT_EQ(canvas.at(x, 8), 0x010101u) << x;
    EXPECT_EQ(canvas.at(7, 3), rgb(126, 126, 126) + 0x010101);
    EXPECT_EQ(canvas.at(5, 5), 0x010101u);
}

} // namespace
