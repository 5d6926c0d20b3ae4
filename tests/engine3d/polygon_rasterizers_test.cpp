// The affine and flat rasterizers, pixel for pixel on small pictures: which
// rows and columns a polygon covers, the pre-step to the first pixel, texture
// wrap and the strict depth test. Expected values worked out by hand.
#include "engine3d/polygon_rasterizers.h"
#include "tests/engine3d/raster_canvas.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using engine3d::ScreenVertex;
using raster_testing::Canvas;
using raster_testing::columns;
using raster_testing::vertex;

struct CoverageCase {
    const char* name;
    std::vector<ScreenVertex> corners;
    int firstRow, endRow;        // rows drawn: firstRow .. endRow - 1
    int checkedRow;              // and the columns of one of them
    std::uint64_t checkedColumns;
    int pixelCount;
};

std::vector<CoverageCase> coverageCases()
{
    return {
        // Rows from ceil(10.0) up to, not including, ceil(20.0); the right edge
        // runs from x = 12 down to x = 2.
        {"TopAtWholeRow", {vertex(2, 10), vertex(2, 20), vertex(12, 10)}, 10, 20, 10, columns(2, 12), 55},
        // A top at 10.2 starts at row 11; the right edge is at 11.18 there.
        {"TopInsideRow", {vertex(2, 10.2f), vertex(2, 20), vertex(12, 10.2f)}, 11, 20, 11, columns(2, 12), 54},
        // x from 5.0 to 9.0 covers 5..8; from 5.1, 6..8.
        {"SpanWholeStart", {vertex(5, 0), vertex(5, 4), vertex(9, 4), vertex(9, 0)}, 0, 4, 2, columns(5, 9), 16},
        {"SpanInsideStart", {vertex(5.1f, 0), vertex(5.1f, 4), vertex(9, 4), vertex(9, 0)}, 0, 4, 3, columns(6, 9), 12},
        // Two top vertices: the first is the top; the flat top edge covers no
        // row and is passed over.
        {"TopAmongEquals", {vertex(9, 0), vertex(5, 0), vertex(5, 4), vertex(9, 4)}, 0, 4, 0, columns(5, 9), 16},
        // Top and bottom both round up to row 11: nothing.
        {"EmptyBetweenRows", {vertex(2, 10.2f), vertex(2, 10.8f), vertex(12, 10.5f)}, 0, 0, 10, 0, 0},
    };
}

void expectCoverage(const CoverageCase& c, const Canvas& canvas)
{
    int count = 0;
    for (int y = 0; y < canvas.height; ++y) {
        const std::uint64_t mask = canvas.rowMask(y);
        count += __builtin_popcountll(mask);
        if (y < c.firstRow || y >= c.endRow)
            EXPECT_EQ(mask, 0u) << c.name << " row " << y;
        else
            EXPECT_NE(mask, 0u) << c.name << " row " << y;
    }
    EXPECT_EQ(canvas.rowMask(c.checkedRow), c.checkedColumns) << c.name;
    EXPECT_EQ(count, c.pixelCount) << c.name;
}

std::vector<const ScreenVertex*> pointers(const std::vector<ScreenVertex>& corners)
{
    std::vector<const ScreenVertex*> list;
    for (const auto& c : corners)
        list.push_back(&c);
    return list;
}

TEST(PolygonRasterizers, CoverRowsFromCeilOfTopToCeilOfBottomAndColumnsFromCeilOfLeft)
{
    const auto texels = raster_testing::indexTexture();
    for (const auto& c : coverageCases()) {
        const auto list = pointers(c.corners);
        Canvas textured(24, 24);
        engine3d::_tmapasm32b(list.data(), int(list.size()), 0, 0, 0, texels.data(), textured.pixels.data(),
                              textured.depth.data(), textured.pitch());
        // Texel (0, 0) is 0 like the background: the textured picture is
        // compared through the depth entries it wrote.
        Canvas flat(24, 24);
        engine3d::_flatasm32b(list.data(), int(list.size()), 0, 0xff00ff, flat.pixels.data(), flat.depth.data(),
                              flat.pitch());
        expectCoverage(c, flat);
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x)
                EXPECT_EQ(textured.depthAt(x, y) != -1, flat.at(x, y) != 0) << c.name << " at " << x << "," << y;
    }
}

// One row of a textured rectangle from x = left to x = 10 at y 0..1, with u
// = u0 on its left side, v = 2 (texel row 2) and one texel per pixel.
Canvas texturedRow(float left, float u0, const std::vector<std::int32_t>& depth = {})
{
    const auto texels = raster_testing::indexTexture();
    const std::vector<ScreenVertex> corners{vertex(left, 0, u0, 2), vertex(left, 1, u0, 2),
                                            vertex(10, 1, u0 + 10 - left, 2), vertex(10, 0, u0 + 10 - left, 2)};
    const auto list = pointers(corners);
    Canvas canvas(12, 2, 0xdead);
    for (std::size_t i = 0; i < depth.size(); ++i)
        canvas.depth[i] = depth[i];
    engine3d::_tmapasm32b(list.data(), 4, 65536, 0, 0, texels.data(), canvas.pixels.data(), canvas.depth.data(),
                          canvas.pitch());
    return canvas;
}

TEST(PolygonRasterizers, TexturedSpanPreStepsWrapsAndTestsDepthStrictly)
{
    struct Case {
        const char* name;
        float left, u0;
        std::vector<std::int32_t> depth;
        std::vector<std::uint32_t> row; // pixels 0..9 of row 0
    };
    constexpr std::uint32_t bg = 0xdead;
    const std::uint32_t r2 = 2 * 256;
    const Case cases[] = {
        // U = ceil(0.5 x 65536): columns 0, 1, ... from pixel 5.
        {"WholeStart", 5.0f, 0.5f, {}, {bg, bg, bg, bg, bg, r2 + 0, r2 + 1, r2 + 2, r2 + 3, r2 + 4}},
        // Pixel 6 is 0.9 to the right of the edge: U = ceil((0.5 + 0.9) x 65536).
        {"PreStep", 5.1f, 0.5f, {}, {bg, bg, bg, bg, bg, bg, r2 + 1, r2 + 2, r2 + 3, r2 + 4}},
        // u from 250 to 260 wraps to column 0 after 255.
        {"Wrap", 0.0f, 250.0f, {}, {r2 + 250, r2 + 251, r2 + 252, r2 + 253, r2 + 254, r2 + 255, r2, r2 + 1, r2 + 2, r2 + 3}},
        // Z = ceil(0.25 x 2^24) = 4194304: an equal entry keeps its pixel, a
        // smaller one does not.
        {"StrictDepth", 0.0f, 0.0f, {4194304, 4194303, 4194305}, {bg, r2 + 1, bg, r2 + 3, r2 + 4, r2 + 5, r2 + 6, r2 + 7, r2 + 8, r2 + 9}},
    };
    for (const auto& c : cases) {
        const Canvas canvas = texturedRow(c.left, c.u0, c.depth);
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(canvas.at(x, 0), c.row[x]) << c.name << " pixel " << x;
        EXPECT_EQ(canvas.at(10, 0), bg) << c.name; // the right edge's pixel is not drawn
    }
    const Canvas depth = texturedRow(0.0f, 0.0f, {4194304, 4194303});
    EXPECT_EQ(depth.depthAt(0, 0), 4194304);
    EXPECT_EQ(depth.depthAt(1, 0), 4194304);
}

TEST(PolygonRasterizers, FlatDepthStartsAtTheLeftEdgeWithoutPreStep)
{
    // Left edge at 5.5 with 1/z = 0.25: pixel 6 takes ceil(0.25 x 2^24), then
    // each pixel adds zstep.
    const std::vector<ScreenVertex> corners{vertex(5.5f, 0), vertex(5.5f, 1), vertex(9, 1), vertex(9, 0)};
    const auto list = pointers(corners);
    Canvas canvas(12, 1);
    engine3d::_flatasm32b(list.data(), 4, 1000, 0x123456, canvas.pixels.data(), canvas.depth.data(), canvas.pitch());
    EXPECT_EQ(canvas.rowMask(0), columns(6, 9));
    EXPECT_EQ(canvas.at(6, 0), 0x123456u);
    EXPECT_EQ(canvas.depthAt(6, 0), 4194304);
    EXPECT_EQ(canvas.depthAt(7, 0), 4195304);
    EXPECT_EQ(canvas.depthAt(8, 0), 4196304);
}

} // namespace
