#include "effects/object_scene.h"
#include "tests/support/surface_helpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

using effects::PlaneCanvas;
using effects::PlaneTransform;
using effects::PlaneVertex;
using effects::PolygonDrawer;
using effects::Shape;

// --- Transforms, rounding, outcodes ---------------------------------------

TEST(PlaneTransform, RowVectorsAndLeftFactorFirst)
{
    double x = 0, y = 0;
    // translate then scale: (0,0) -> (1,0) -> (2,0)
    (PlaneTransform::translate(1, 0) * PlaneTransform::scale(2, 3)).apply(0, 0, x, y);
    EXPECT_DOUBLE_EQ(x, 2);
    EXPECT_DOUBLE_EQ(y, 0);
    // scale then translate: (0,0) stays, then (1,0)
    (PlaneTransform::scale(2, 3) * PlaneTransform::translate(1, 0)).apply(0, 0, x, y);
    EXPECT_DOUBLE_EQ(x, 1);
    EXPECT_DOUBLE_EQ(y, 0);
    // rotate rows (cos, sin), (-sin, cos): (1,0) -> (cos a, sin a), (0,1) -> (-sin a, cos a)
    PlaneTransform r = PlaneTransform::rotate(0.5);
    r.apply(1, 0, x, y);
    EXPECT_DOUBLE_EQ(x, std::cos(0.5));
    EXPECT_DOUBLE_EQ(y, std::sin(0.5));
    r.apply(0, 1, x, y);
    EXPECT_DOUBLE_EQ(x, -std::sin(0.5));
    EXPECT_DOUBLE_EQ(y, std::cos(0.5));
    // scale (2,3) then translate (160,100): (5,-4) -> (170, 88)
    (PlaneTransform::scale(2, 3) * PlaneTransform::translate(160, 100)).apply(5, -4, x, y);
    EXPECT_DOUBLE_EQ(x, 170);
    EXPECT_DOUBLE_EQ(y, 88);
}

TEST(PlaneRounding, UpwardAndClampedToAFiniteRange)
{
    EXPECT_EQ(effects::roundUp(2.0), 2);
    EXPECT_EQ(effects::roundUp(2.0001), 3);
    EXPECT_EQ(effects::roundUp(2.5), 3);
    EXPECT_EQ(effects::roundUp(-2.5), -2);
    EXPECT_EQ(effects::roundUp(-0.0), 0);
    EXPECT_EQ(effects::roundUp(1e300), 4503599627370496LL); // clamped, not undefined
    EXPECT_EQ(effects::roundUp(NAN), -4503599627370496LL);
}

TEST(PlaneOutcode, BitsPerBoundaryAndNaNOutsideAll)
{
    EXPECT_EQ(effects::planeOutcode(0, 0, 320, 200), 0);
    EXPECT_EQ(effects::planeOutcode(320, 200, 320, 200), 0); // the boundary itself is inside
    EXPECT_EQ(effects::planeOutcode(-0.01, 5, 320, 200), 1);
    EXPECT_EQ(effects::planeOutcode(320.01, 5, 320, 200), 2);
    EXPECT_EQ(effects::planeOutcode(5, -1, 320, 200), 4);
    EXPECT_EQ(effects::planeOutcode(5, 200.5, 320, 200), 8);
    EXPECT_EQ(effects::planeOutcode(-1, 201, 320, 200), 9);
    EXPECT_EQ(effects::planeOutcode(NAN, 5, 320, 200), 3);
    EXPECT_EQ(effects::planeOutcode(NAN, NAN, 320, 200), 15);
    EXPECT_EQ(effects::planeOutcode(INFINITY, 5, 320, 200), 2);
}

// --- Span fillers ---------------------------------------------------------

TEST(PlaneSpans, FillersTouchExactlyTheirCount)
{
    for (int count = 0; count <= 9; ++count) {
        SCOPED_TRACE(count);
        for (int mode = 1; mode <= 3; ++mode) {
            std::vector<std::uint32_t> row(12, 0x11223344u);
            std::uint32_t* span = row.data() + 1;
            if (mode == 1)
                effects::spanFill(span, count, 0x00abcdefu);
            else if (mode == 2)
                effects::spanAddRgb(span, count, 0x00010203u);
            else
                effects::spanAddPacked(span, count, 0x00010203u);
            const std::uint32_t expected = mode == 1 ? 0x00abcdefu : 0x11233547u;
            for (int i = 0; i < 12; ++i)
                EXPECT_EQ(row[static_cast<std::size_t>(i)], i >= 1 && i <= count ? expected : 0x11223344u)
                    << "mode " << mode << " pixel " << i;
        }
    }
}

TEST(PlaneSpans, AdditionsSaturatePerByteAndDifferOnlyInTheTopByte)
{
    std::uint32_t plain[5] = {0xf0102030u, 0, 0x00ff00ffu, 0x80808080u, 0xffffffffu};
    std::uint32_t packed[5];
    std::copy(plain, plain + 5, packed);
    effects::spanAddRgb(plain, 5, 0x20f0f0f0u);
    effects::spanAddPacked(packed, 5, 0x20f0f0f0u);
    // Plain: red, green, blue stop at 255, the top byte is kept.
    EXPECT_EQ(plain[0], 0xf0ffffffu);
    EXPECT_EQ(plain[1], 0x00f0f0f0u);
    EXPECT_EQ(plain[2], 0x00fff0ffu);
    EXPECT_EQ(plain[3], 0x80ffffffu);
    EXPECT_EQ(plain[4], 0xffffffffu);
    // Packed: the top byte is added too.
    EXPECT_EQ(packed[0], 0xffffffffu);
    EXPECT_EQ(packed[1], 0x20f0f0f0u);
    EXPECT_EQ(packed[2], 0x20fff0ffu);
    EXPECT_EQ(packed[3], 0xa0ffffffu);
    EXPECT_EQ(packed[4], 0xffffffffu);
}

// --- Shape builders ---------------------------------------------------------

void expectVertex(const Shape& shape, int index, double x, double y)
{
    SCOPED_TRACE(index);
    EXPECT_NEAR(shape.vertices()[static_cast<std::size_t>(index)].x, x, 1e-4);
    EXPECT_NEAR(shape.vertices()[static_cast<std::size_t>(index)].y, y, 1e-4);
}

TEST(ObjectShapes, TileIsASquareStandingOnACorner)
{
    effects::ObjectScene scene(0);
    const Shape& tile = scene.tile();
    ASSERT_EQ(tile.vertices().size(), 4u);
    expectVertex(tile, 0, 64, 0);
    expectVertex(tile, 1, 0, -64); // counter-clockwise on the screen: up first
    expectVertex(tile, 2, -64, 0);
    expectVertex(tile, 3, 0, 64);
    ASSERT_EQ(tile.polygons().size(), 1u);
    EXPECT_EQ(tile.polygons()[0].corners, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(tile.polygons()[0].fillMode, 1);
    EXPECT_EQ(tile.polygons()[0].colour, 0xff7f00u);
}

TEST(ObjectShapes, StarHasAnInnerPolygonAndSixteenSpikes)
{
    effects::ObjectScene scene(0);
    const Shape& star = scene.star();
    ASSERT_EQ(star.vertices().size(), 32u);
    const double step = 6.283184 / 32;
    expectVertex(star, 0, 90, 0);                                     // even: radius 65 + 25
    expectVertex(star, 1, 65 * std::cos(step), -65 * std::sin(step)); // odd: radius 65
    expectVertex(star, 8, 0, -90);
    expectVertex(star, 17, 65 * std::cos(17 * step), -65 * std::sin(17 * step));
    ASSERT_EQ(star.polygons().size(), 17u);
    std::vector<int> inner;
    for (int k = 1; k < 32; k += 2)
        inner.push_back(k);
    EXPECT_EQ(star.polygons()[0].corners, inner);
    EXPECT_EQ(star.polygons()[1].corners, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(star.polygons()[16].corners, (std::vector<int>{31, 0, 1}));
    for (const auto& polygon : star.polygons()) {
        EXPECT_EQ(polygon.fillMode, 1);
        EXPECT_EQ(polygon.colour, 0xa0a0ffu);
    }
}

TEST(ObjectShapes, RingAlternatesRadiiAndWrapsItsQuads)
{
    effects::ObjectScene plain(0);
    const Shape& ring = plain.ring();
    ASSERT_EQ(ring.vertices().size(), 64u);
    const double step = 6.283184 / 32;
    expectVertex(ring, 0, 115, 0); // pair 0 (even): outer 90 + 25
    expectVertex(ring, 1, 40, 0);  //                 inner 90 + 25 - 75
    expectVertex(ring, 2, 90 * std::cos(step), -90 * std::sin(step)); // pair 1 (odd): outer 90
    expectVertex(ring, 3, 15 * std::cos(step), -15 * std::sin(step)); //               inner 15
    expectVertex(ring, 62, 90 * std::cos(31 * step), -90 * std::sin(31 * step));
    ASSERT_EQ(ring.polygons().size(), 32u);
    EXPECT_EQ(ring.polygons()[0].corners, (std::vector<int>{2, 3, 1, 0}));
    EXPECT_EQ(ring.polygons()[31].corners, (std::vector<int>{0, 1, 63, 62}));
    EXPECT_EQ(ring.polygons()[5].fillMode, 2);
    EXPECT_EQ(ring.polygons()[5].colour, 0x212f2fu);

    effects::ObjectScene packed(1);
    EXPECT_EQ(packed.ring().polygons()[5].fillMode, 3);
}

// --- Polygon drawing --------------------------------------------------------

// A canvas inside a larger buffer whose guard border must never be written.
struct GuardedCanvas {
    static constexpr int kGuard = 8;
    static constexpr std::uint32_t kSentinel = 0xdeadbeefu;
    int width, height, stride;
    std::vector<std::uint32_t> buffer;

    GuardedCanvas(int w, int h)
        : width(w), height(h), stride(w + 2 * kGuard),
          buffer(static_cast<std::size_t>(stride * (h + 2 * kGuard)), kSentinel)
    {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                at(x, y) = 0;
    }
    std::uint32_t& at(int x, int y) { return buffer[static_cast<std::size_t>((y + kGuard) * stride + x + kGuard)]; }
    PlaneCanvas canvas() { return PlaneCanvas{&at(0, 0), width, height, stride}; }
    bool guardIntact()
    {
        for (int y = -kGuard; y < height + kGuard; ++y)
            for (int x = -kGuard; x < width + kGuard; ++x)
                if ((x < 0 || y < 0 || x >= width || y >= height) && at(x, y) != kSentinel)
                    return false;
        return true;
    }
    int lit()
    {
        int count = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                count += at(x, y) != 0;
        return count;
    }
};

// Corners listed as the builders list them (counter-clockwise on the screen).
Shape polygonShape(const std::vector<std::pair<double, double>>& corners, int mode = 1,
                   std::uint32_t colour = 0xffffff)
{
    Shape shape;
    int polygon = shape.addPolygon(mode, colour);
    for (auto [x, y] : corners)
        shape.addCorner(polygon, shape.addVertex(x, y));
    return shape;
}

Shape rectangle(double left, double top, double right, double bottom)
{
    return polygonShape({{right, bottom}, {right, top}, {left, top}, {left, bottom}});
}

Shape diamond(double cx, double cy, double r)
{
    return polygonShape({{cx + r, cy}, {cx, cy - r}, {cx - r, cy}, {cx, cy + r}});
}

TEST(PolygonDrawing, RectangleCoversRowsTopToBottomMinusOneAndColumnsCeilLeftToCeilRightMinusOne)
{
    PolygonDrawer drawer;
    GuardedCanvas target(40, 30);
    Shape exact = rectangle(10, 20, 30, 25);
    exact.render(target.canvas(), drawer);
    // rows 20..24, columns 10..29
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            EXPECT_EQ(target.at(x, y), (y >= 20 && y <= 24 && x >= 10 && x <= 29) ? 0xffffffu : 0u)
                << x << "," << y;

    GuardedCanvas fractional(40, 30);
    // rows ceil(2.4) = 3 .. ceil(7.6) - 1 = 7; columns ceil(3.5) = 4 .. ceil(9.2) - 1 = 9
    rectangle(3.5, 2.4, 9.2, 7.6).render(fractional.canvas(), drawer);
    EXPECT_EQ(fractional.lit(), 5 * 6);
    EXPECT_NE(fractional.at(4, 3), 0u);
    EXPECT_NE(fractional.at(9, 7), 0u);
    EXPECT_EQ(fractional.at(4, 2), 0u);
    EXPECT_EQ(fractional.at(3, 3), 0u);
    EXPECT_EQ(fractional.at(10, 7), 0u);
    EXPECT_EQ(fractional.at(4, 8), 0u);
}

TEST(PolygonDrawing, TriangleSpansFollowTheEdges)
{
    // Top (10,0), left edge to (0,10), right edge to (20,10), flat bottom.
    // Row y: x from 10 - y to 10 + y; span ceil(10 - y) .. ceil(10 + y) - 1.
    PolygonDrawer drawer;
    GuardedCanvas target(40, 30);
    polygonShape({{20, 10}, {10, 0}, {0, 10}}).render(target.canvas(), drawer);
    int total = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            bool inside = y < 10 && x >= 10 - y && x <= 9 + y;
            EXPECT_EQ(target.at(x, y) != 0, inside) << x << "," << y;
            total += inside;
        }
    EXPECT_EQ(total, 90); // 0 + 2 + 4 + ... + 18
}

TEST(PolygonDrawing, TooFewCornersOrCollinearFirstThreeDrawNothing)
{
    PolygonDrawer drawer;
    GuardedCanvas target(40, 30);
    polygonShape({{5, 5}, {20, 20}}).render(target.canvas(), drawer);
    polygonShape({{5, 5}, {10, 10}, {15, 15}, {5, 20}}).render(target.canvas(), drawer);
    EXPECT_EQ(target.lit(), 0);
}

TEST(PolygonDrawing, MirroredPolygonsDrawNothing)
{
    effects::ObjectScene scene(0);
    display::Surface surface(320, 200, display::format32());
    const PlaneTransform centre = PlaneTransform::translate(160, 100);
    for (Shape* shape : {&scene.tile(), &scene.star(), &scene.ring()}) {
        shape->setTransform(PlaneTransform::scale(-1, 1) * centre);
        shape->render(surface, scene.drawer());
        shape->setTransform(PlaneTransform::scale(0.5, -0.5) * PlaneTransform::rotate(1) * centre);
        shape->render(surface, scene.drawer());
    }
    auto* p = static_cast<std::uint32_t*>(surface.lock());
    int lit = 0;
    for (int i = 0; i < 320 * 200; ++i)
        lit += p[i] != 0;
    surface.unlock();
    EXPECT_EQ(lit, 0);

    // The same shapes unmirrored (a half turn keeps the winding) do draw.
    scene.tile().setTransform(PlaneTransform::rotate(3.14159) * centre);
    scene.tile().render(surface, scene.drawer());
    p = static_cast<std::uint32_t*>(surface.lock());
    EXPECT_EQ(p[100 * 320 + 160], 0xff7f00u);
    surface.unlock();
}

TEST(PolygonClipping, ShapeWhollyOutsideNeverReachesTheClipper)
{
    PolygonDrawer drawer;
    GuardedCanvas target(40, 30);
    diamond(20, 15, 5).render(target.canvas(), drawer);
    EXPECT_GT(target.lit(), 0);
    const int before = target.lit();
    for (auto [cx, cy] : {std::pair{-10.0, 15.0}, {60.0, 15.0}, {20.0, -10.0}, {20.0, 50.0}, {-20.0, -20.0}}) {
        diamond(cx, cy, 5).render(target.canvas(), drawer);
        EXPECT_EQ(drawer.poolUsed(), 0);
    }
    EXPECT_EQ(target.lit(), before);
    diamond(0, 15, 5).render(target.canvas(), drawer); // straddles x = 0
    EXPECT_GT(drawer.poolUsed(), 0);
}

// A diamond with slopes of +-1 and integer corners is drawn on a canvas and,
// for reference, on a canvas 100 pixels larger on every side where it needs
// no clipping. Every intersection with the frame edges is exact, so the
// clipped picture must equal the window of the reference.
TEST(PolygonClipping, CutExactlyAtEveryEdgeAndNothingWrittenOutside)
{
    const int w = 40, h = 30, margin = 100;
    struct Case {
        double cx, cy, r;
    };
    const Case cases[] = {
        {0, 15, 12},   {40, 15, 12},  {20, 0, 12},   {20, 30, 12},  // one edge each
        {0, 0, 12},    {40, 0, 12},   {0, 30, 12},   {40, 30, 12},  // corners
        {-5, 15, 12},  {45, 15, 12},  {20, -5, 12},  {20, 35, 12},  // centre outside
        {20, 15, 30},  {20, 15, 1000},                              // all four at once
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "centre " << c.cx << "," << c.cy << " r " << c.r);
        PolygonDrawer drawer;
        GuardedCanvas clipped(w, h);
        diamond(c.cx, c.cy, c.r).render(clipped.canvas(), drawer);
        ASSERT_TRUE(clipped.guardIntact());

        GuardedCanvas reference(w + 2 * margin, h + 2 * margin);
        if (c.r < 500) {
            diamond(c.cx + margin, c.cy + margin, c.r).render(reference.canvas(), drawer);
            ASSERT_EQ(drawer.poolUsed(), 0);
        }
        int lit = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                bool expected = c.r < 500 ? reference.at(x + margin, y + margin) != 0 : true;
                ASSERT_EQ(clipped.at(x, y) != 0, expected) << "pixel " << x << "," << y;
                lit += expected;
            }
        EXPECT_GT(lit, 0);
    }
}

TEST(PolygonClipping, RectangleOverEachEdgeStopsAtTheLastColumnAndRow)
{
    PolygonDrawer drawer;
    GuardedCanvas target(40, 30);
    rectangle(-10.25, 5, 3, 8).render(target.canvas(), drawer);   // left: columns 0..2
    rectangle(37, 10, 55.5, 12).render(target.canvas(), drawer);  // right: columns 37..39
    rectangle(15, -7, 18, 2).render(target.canvas(), drawer);     // top: rows 0..1
    rectangle(22, 28, 25, 41.75).render(target.canvas(), drawer); // bottom: rows 28..29
    EXPECT_TRUE(target.guardIntact());
    EXPECT_EQ(target.lit(), 3 * 3 + 3 * 2 + 3 * 2 + 3 * 2);
    EXPECT_NE(target.at(0, 5), 0u);
    EXPECT_NE(target.at(39, 11), 0u);
    EXPECT_NE(target.at(17, 0), 0u);
    EXPECT_NE(target.at(24, 29), 0u);
}

TEST(PolygonClipping, SteepSlantedEdgesNeverLeaveTheSurface)
{
    // Thin slivers at every edge, rotated by many angles, with corners far
    // outside: the fixed-point stepping must not spill beyond the frame.
    PolygonDrawer drawer;
    GuardedCanvas target(40, 30);
    Shape sliver = polygonShape({{300, 0.3}, {0, -0.3}, {-300, -0.3}, {0, 0.3}}, 2, 0x010101);
    for (int i = 0; i < 720; ++i) {
        double angle = i * 0.00873;
        sliver.setTransform(PlaneTransform::rotate(angle) * PlaneTransform::translate(i % 41, (i * 7) % 31));
        sliver.render(target.canvas(), drawer);
    }
    EXPECT_TRUE(target.guardIntact());
    EXPECT_GT(target.lit(), 0);
}

TEST(PolygonClipping, PolygonThatOutgrowsThePoolIsDroppedSafely)
{
    // 1200 corners zig-zagging across x = 0: the first pass alone would need
    // 1200 new vertices, more than the pool holds.
    PolygonDrawer drawer;
    GuardedCanvas target(40, 30);
    std::vector<std::pair<double, double>> corners;
    for (int k = 0; k < 1200; ++k)
        corners.push_back({k % 2 ? 5.0 : -5.0, 1 + k * 0.02});
    polygonShape(corners).render(target.canvas(), drawer);
    EXPECT_EQ(drawer.poolUsed(), PolygonDrawer::kPoolSize);
    EXPECT_EQ(target.lit(), 0);
    EXPECT_TRUE(target.guardIntact());
}

TEST(PolygonClipping, NonFiniteCornersDrawNothing)
{
    PolygonDrawer drawer;
    GuardedCanvas target(40, 30);
    polygonShape({{NAN, 10}, {10, 0}, {0, 10}}).render(target.canvas(), drawer);
    polygonShape({{INFINITY, 10}, {10, 0}, {0, 10}, {5, INFINITY}}).render(target.canvas(), drawer);
    EXPECT_TRUE(target.guardIntact());
    EXPECT_EQ(target.lit(), 0);
}

TEST(PolygonClipping, RandomShapesAndTransformsStayInsideTheFrame)
{
    // The demo's own shapes under random turns, scales (tiny to enormous,
    // mirrored too) and offsets, on a small guarded canvas.
    effects::ObjectScene scene(1);
    GuardedCanvas target(37, 23);
    std::mt19937 random(12345);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int i = 0; i < 3000; ++i) {
        Shape& shape = i % 3 == 0 ? scene.star() : i % 3 == 1 ? scene.ring() : scene.tile();
        double scale = std::pow(10.0, unit(random) * 6.0 - 3.0) * (unit(random) < 0.1 ? -1.0 : 1.0);
        shape.setTransform(PlaneTransform::scale(scale, scale * (0.2 + unit(random))) *
                           PlaneTransform::rotate(unit(random) * 7.0) *
                           PlaneTransform::translate(unit(random) * 80.0 - 20.0, unit(random) * 60.0 - 20.0));
        shape.render(target.canvas(), scene.drawer());
        ASSERT_TRUE(target.guardIntact()) << "shape " << i;
    }
    EXPECT_GT(target.lit(), 0);
}

// --- Fill modes on the ring -------------------------------------------------

using testing_support::pixelsOf;

void expectOnlyColour(const std::vector<std::uint32_t>& pixels, std::uint32_t colour, int minimum)
{
    int lit = 0;
    for (std::uint32_t p : pixels) {
        if (p == 0)
            continue;
        ++lit;
        ASSERT_EQ(p, colour) << std::hex << p;
    }
    EXPECT_GT(lit, minimum);
}

TEST(ObjectFill, RingAddsOnceWithoutOverlapsAndTwiceToDoubleTheColour)
{
    for (int flag : {0, 1}) {
        for (double size : {0.8, 1.6}) { // wholly inside, and clipped at all four edges
            SCOPED_TRACE(testing::Message() << "flag " << flag << " size " << size);
            effects::ObjectScene scene(flag);
            display::Surface surface(320, 200, display::format32());
            scene.ring().setTransform(PlaneTransform::rotate(0.3) * PlaneTransform::scale(size, size) *
                                      PlaneTransform::translate(160, 100));
            scene.ring().render(surface, scene.drawer());
            // Neighbouring quads share edges: no pixel may be covered twice.
            expectOnlyColour(pixelsOf(surface), 0x212f2f, 10000);
            scene.ring().render(surface, scene.drawer());
            // red 0x21 * 2 = 0x42, green and blue 0x2f * 2 = 0x5e
            expectOnlyColour(pixelsOf(surface), 0x425e5e, 10000);
        }
    }
}

TEST(ObjectFill, SolidModeReplacesTheBackground)
{
    effects::ObjectScene scene(0);
    display::Surface surface(320, 200, display::format32());
    auto* p = static_cast<std::uint32_t*>(surface.lock());
    for (int i = 0; i < 320 * 200; ++i)
        p[i] = 0xff123456u;
    surface.unlock();
    scene.star().setTransform(PlaneTransform::translate(160, 100));
    scene.star().render(surface, scene.drawer());
    std::vector<std::uint32_t> pixels = pixelsOf(surface);
    EXPECT_EQ(pixels[100 * 320 + 160], 0xa0a0ffu);     // centre: inner polygon
    EXPECT_EQ(pixels[100 * 320 + 160 + 85], 0xa0a0ffu); // spike at angle 0 (tip at x + 90)
    EXPECT_EQ(pixels[100 * 320 + 160 + 95], 0xff123456u);
    EXPECT_EQ(pixels[0], 0xff123456u);
}

TEST(ObjectFill, EmptyOrNon32BitSurfacesAreLeftAlone)
{
    effects::ObjectScene scene(0);
    display::Surface missing("no/such/image.tga");
    scene.renderIntro(missing, nullptr, 6000.0f);
    scene.renderMain(missing, 1.0);
    EXPECT_FALSE(missing.locked());

    display::Surface narrow(320, 200, display::Format(16, 0xf800, 0x07e0, 0x001f));
    scene.renderIntro(narrow, nullptr, 6000.0f);
    scene.renderMain(narrow, 1.0);
    scene.tile().render(narrow, scene.drawer());
    auto* bytes = static_cast<std::uint8_t*>(narrow.lock());
    for (int i = 0; i < 320 * 200 * 2; ++i)
        ASSERT_EQ(bytes[i], 0);
    narrow.unlock();
}

// --- Intro and main renderings ----------------------------------------------

TEST(ObjectIntro, AtTimeZeroOnlyTheTinyFirstRingAndStarAreDrawn)
{
    // k1 = 200/7000: the star reaches 90 * 0.0286 = 2.6 pixels, the ring
    // 115 * 0.0286 = 3.3; the second ring's scale is infinite and it draws
    // nothing.
    effects::ObjectScene scene(0);
    display::Surface surface(320, 200, display::format32());
    scene.renderIntro(surface, nullptr, 0.0f);
    EXPECT_FALSE(surface.locked());
    std::vector<std::uint32_t> pixels = pixelsOf(surface);
    int lit = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 320; ++x)
            if (pixels[static_cast<std::size_t>(y * 320 + x)] != 0) {
                ++lit;
                EXPECT_LE(std::abs(x - 160), 4) << x << "," << y;
                EXPECT_LE(std::abs(y - 100), 4) << x << "," << y;
            }
    EXPECT_GT(lit, 0);
    EXPECT_EQ(pixels[100 * 320 + 160], 0xa0a0ffu); // the star on top
}

TEST(ObjectIntro, NegativeTimeDrawsNothingAndLateTimesHoldAt6999)
{
    effects::ObjectScene scene(0);
    display::Surface before(320, 200, display::format32());
    scene.renderIntro(before, nullptr, -1.0f);
    expectOnlyColour(pixelsOf(before), 0, -1);

    display::Surface late(320, 200, display::format32());
    display::Surface held(320, 200, display::format32());
    scene.renderIntro(late, nullptr, 9000.0f);
    scene.renderIntro(held, nullptr, 6999.0f);
    EXPECT_EQ(pixelsOf(late), pixelsOf(held));
}

TEST(ObjectIntro, SecondRingFramesTheCentreLater)
{
    // At x = 3000: k1 = 0.05 (star radius 4.5); k2 = 12200/3000 = 4.07, so the
    // second ring's inner edge lies 61 to 163 pixels out and its band covers
    // the corners of the frame; in between, the background stays black.
    effects::ObjectScene scene(0);
    display::Surface surface(320, 200, display::format32());
    scene.renderIntro(surface, nullptr, 3000.0f);
    std::vector<std::uint32_t> pixels = pixelsOf(surface);
    EXPECT_EQ(pixels[100 * 320 + 160], 0xa0a0ffu);
    EXPECT_EQ(pixels[100 * 320 + 160 + 30], 0u);
    EXPECT_EQ(pixels[0], 0x212f2fu);
    EXPECT_EQ(pixels[199 * 320 + 319], 0x212f2fu);
}

TEST(ObjectMain, TilesCircleTheCentreBlueOverOrange)
{
    // x = 0: s = 1.5, s2 = 1. Orange tile 0 sits 96 above the centre and
    // reaches 48 up and down; blue tile 0 sits 64 above and reaches 19.2.
    effects::ObjectScene scene(0);
    display::Surface surface(320, 200, display::format32());
    scene.renderMain(surface, 0.0);
    std::vector<std::uint32_t> pixels = pixelsOf(surface);
    auto at = [&](int x, int y) { return pixels[static_cast<std::size_t>(y * 320 + x)]; };
    EXPECT_EQ(at(160, 100), 0u);        // the middle stays clear
    EXPECT_EQ(at(160, 10), 0xff7f00u);  // orange tile only
    EXPECT_EQ(at(160, 36), 0x0f4aaau);  // blue drawn over orange
    EXPECT_EQ(at(160, 60), 0u);         // below both
    EXPECT_EQ(at(160, 190), 0xff7f00u); // orange tile 2, below the centre
    EXPECT_EQ(at(60, 100), 0xff7f00u);  // tile 1 (left)
}

} // namespace
