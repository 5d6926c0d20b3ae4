#include "effects/spline_ribbons.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

using effects::ControlChain;
using effects::ControlPoint;
using effects::PointSet;
using effects::SplatForm;
using engine3d::Vec3;

void expectVec(const Vec3& v, double x, double y, double z)
{
    EXPECT_NEAR(v.x, x, 1e-12);
    EXPECT_NEAR(v.y, y, 1e-12);
    EXPECT_NEAR(v.z, z, 1e-12);
}

ControlPoint knot(double x, double y, double z = 0.0)
{
    ControlPoint p;
    p.position = Vec3{x, y, z};
    return p;
}

// --- Tangents ---------------------------------------------------------------

TEST(SplineTangents, ThreeKnotsInteriorLastThenFirst)
{
    // P0 (0,0), P1 (1,2), P2 (4,0), all parameters 0.
    // P1: A = (1,2), B = (3,-2); in = out = A + (B - A)/2 = (2,0).
    // P2: in = 1.5 (3,-2) - 0.5 out(P1) = (3.5,-3).
    // P0 (last of all): out = 1.5 (1,2) - 0.5 in(P1) = (0.5,3).
    ControlChain chain;
    chain.append(knot(0, 0));
    chain.append(knot(1, 2));
    chain.append(knot(4, 0));
    chain.computeTangents();
    expectVec(chain[1].incoming, 2, 0, 0);
    expectVec(chain[1].outgoing, 2, 0, 0);
    expectVec(chain[2].incoming, 3.5, -3, 0);
    expectVec(chain[0].outgoing, 0.5, 3, 0);
    // Tangents that no rule touches keep their initial (1,0,0).
    expectVec(chain[0].incoming, 1, 0, 0);
    expectVec(chain[2].outgoing, 1, 0, 0);
}

TEST(SplineTangents, TensionContinuityAndBiasOfAnInteriorKnot)
{
    // P1 with t = c = b = 0.5: A = 1.5 (1,2) = (1.5,3); B = 0.5 (3,-2) = (1.5,-1);
    // B - A = (0,-4); in = 0.5 (A + 0.75 (B - A)) = (0.75,0);
    // out = 0.5 (A + 0.25 (B - A)) = (0.75,1).
    // P2: in = 1.5 (3,-2) - 0.5 (0.75,1) = (4.125,-3.5).
    // P0: out = 1.5 (1,2) - 0.5 (0.75,0) = (1.125,3).
    ControlChain chain;
    chain.append(knot(0, 0));
    ControlPoint middle = knot(1, 2);
    middle.tension = middle.continuity = middle.bias = 0.5;
    chain.append(middle);
    chain.append(knot(4, 0));
    chain.computeTangents();
    expectVec(chain[1].incoming, 0.75, 0, 0);
    expectVec(chain[1].outgoing, 0.75, 1, 0);
    expectVec(chain[2].incoming, 4.125, -3.5, 0);
    expectVec(chain[0].outgoing, 1.125, 3, 0);
}

TEST(SplineTangents, TwoKnotsEachScaledByItsOwnTension)
{
    // P1 - P0 = (2,4); out(P0) = 0.5 (2,4); in(P1) = 0.75 (2,4).
    ControlChain chain;
    ControlPoint a = knot(1, 1);
    a.tension = 0.5;
    ControlPoint b = knot(3, 5);
    b.tension = 0.25;
    chain.append(a);
    chain.append(b);
    chain.computeTangents();
    expectVec(chain[0].outgoing, 1, 2, 0);
    expectVec(chain[1].incoming, 1.5, 3, 0);
    expectVec(chain[0].incoming, 1, 0, 0);
    expectVec(chain[1].outgoing, 1, 0, 0);
}

TEST(SplineTangents, EmptyAndSingleKnotChainsAreLeftAlone)
{
    ControlChain empty;
    empty.computeTangents();
    EXPECT_EQ(empty.size(), 0);

    // A lone knot has no neighbour: its tangents stay as they were.
    ControlChain single;
    single.append(knot(5, 6, 7));
    single.computeTangents();
    expectVec(single[0].incoming, 1, 0, 0);
    expectVec(single[0].outgoing, 1, 0, 0);
}

// --- Distribution -----------------------------------------------------------

// 41 knots on a straight line one unit apart: every tangent comes out (1,0,0)
// (interior: (P+1 - P-1)/2; last: 1.5 - 0.5; first: 1.5 - 0.5), and the
// Hermite curve through them is x = k + f exactly.
ControlChain straightChain(int knots)
{
    ControlChain chain;
    for (int k = 0; k < knots; ++k)
        chain.append(knot(k, 0, 256));
    chain.computeTangents();
    return chain;
}

TEST(SplineDistribution, FiveHundredPointsOnFortyOneKnotsGoThirteenThenTwelve)
{
    ControlChain chain = straightChain(41);
    PointSet points(500);
    chain.distribute(points);
    // step = 40/500 = 0.08; segments 0-19 get 13 points, 20-39 get 12.
    int index = 0;
    for (int segment = 0; segment < 40; ++segment) {
        int count = segment < 20 ? 13 : 12;
        for (int j = 0; j < count; ++j, ++index) {
            SCOPED_TRACE(index);
            EXPECT_NEAR(points[index].position.x, segment + j * 0.08, 1e-9);
            EXPECT_NEAR(points[index].position.y, 0.0, 1e-12);
            EXPECT_NEAR(points[index].position.z, 256.0, 1e-9);
        }
    }
    EXPECT_EQ(index, 500);
    // The first point of each segment is its knot exactly.
    EXPECT_EQ(points[13].position.x, 1.0);
    EXPECT_EQ(points[260].position.x, 20.0);
    EXPECT_EQ(points[499 - 11].position.x, 39.0);
}

TEST(SplineDistribution, HermiteWeightsAtAQuarter)
{
    // Two knots P0 (0,0), P1 (4,8), out(P0) = (4,8), in(P1) = (4,8).
    // With 4 points: step 0.25, perSegment 4. At f = 0.25:
    // h1 = 2/64 - 3/16 + 1 = 0.84375, h2 = -2/64 + 3/16 = 0.15625,
    // h3 = 1/64 - 2/16 + 1/4 = 0.140625, h4 = 1/64 - 1/16 = -0.046875.
    // x = 0.15625*4 + 0.140625*4 - 0.046875*4 = 1.0; y = 2.0.
    ControlChain chain;
    chain.append(knot(0, 0));
    chain.append(knot(4, 8));
    chain.computeTangents();
    PointSet points(4);
    chain.distribute(points);
    expectVec(points[0].position, 0, 0, 0);
    expectVec(points[1].position, 1, 2, 0);
    expectVec(points[2].position, 2, 4, 0); // f = 0.5 on a straight segment
}

TEST(SplineDistribution, TooFewKnotsOrPointsPlaceNothing)
{
    ControlChain one;
    one.append(knot(3, 3));
    PointSet points(5);
    points[0].position = Vec3{9, 9, 9};
    one.distribute(points);
    expectVec(points[0].position, 9, 9, 9);

    ControlChain chain = straightChain(3);
    PointSet none(0);
    chain.distribute(none); // must not write anywhere
    EXPECT_EQ(none.size(), 0);
}

TEST(SplineDistribution, UnevenCountsGiveTheExtraPointsToTheFirstSegments)
{
    // 3 knots, 7 points: step 2/7, perSegment 3, extra 1: 4 + 3 = 7.
    ControlChain chain = straightChain(3);
    PointSet points(7);
    chain.distribute(points);
    EXPECT_NEAR(points[3].position.x, 3 * 2.0 / 7.0, 1e-12);
    EXPECT_EQ(points[4].position.x, 1.0);
    EXPECT_NEAR(points[6].position.x, 1 + 2 * 2.0 / 7.0, 1e-12);
}

// --- Inversion --------------------------------------------------------------

TEST(SplineInversion, MapsThroughTheCircleAndKeepsZ)
{
    PointSet points(3);
    points[0].position = Vec3{3, 1, 7};  // on the circle: stays
    points[1].position = Vec3{5, 4, 9};  // dx 4, dy 3, q 25: 1 + 16/25, 1 + 12/25
    points[2].position = Vec3{1.5, 1, 2}; // dx 0.5, q 0.25: 1 + 0.5*4/0.25 = 9
    points.invert(Vec3{1, 1, 100}, 2.0); // the centre's z plays no part
    expectVec(points[0].position, 3, 1, 7);
    expectVec(points[1].position, 1.64, 1.48, 9);
    expectVec(points[2].position, 9, 1, 2);
}

TEST(SplineInversion, PointOnTheCentreIsNeverDrawn)
{
    PointSet points(1);
    points[0].position = Vec3{2, -3, 256};
    points.invert(Vec3{2, -3, 0}, 15.0);
    EXPECT_FALSE(std::isfinite(points[0].position.x));
    EXPECT_FALSE(std::isfinite(points[0].position.y));
    EXPECT_EQ(points[0].position.z, 256.0);
    // A second inversion must not bring it back.
    points.invert(Vec3{0, 0, 0}, 20.0);
    points.copyToDrawn();
    std::vector<std::uint32_t> pixels(320 * 200, 0);
    points.drawAll(pixels.data(), 320, 200, 320, 126, 112, 0, SplatForm::Plain);
    for (std::uint32_t p : pixels)
        ASSERT_EQ(p, 0u);
}

// --- Splat ------------------------------------------------------------------

TEST(SplatPosition, CentreAndBorderRejection)
{
    int sx = -1, sy = -1;
    ASSERT_TRUE(effects::splatPosition(Vec3{0, 0, 256}, 320, 200, sx, sy));
    EXPECT_EQ(sx, 160);
    EXPECT_EQ(sy, 100);
    ASSERT_TRUE(effects::splatPosition(Vec3{-159, -99, 256}, 320, 200, sx, sy));
    EXPECT_EQ(sx, 1);
    EXPECT_EQ(sy, 1);
    ASSERT_TRUE(effects::splatPosition(Vec3{158.5, 98.5, 256}, 320, 200, sx, sy));
    EXPECT_EQ(sx, 318); // trunc(318.5)
    EXPECT_EQ(sy, 198);
    // On the outermost column or row, or beyond: nothing.
    EXPECT_FALSE(effects::splatPosition(Vec3{-160, 0, 256}, 320, 200, sx, sy)); // sx 0
    EXPECT_FALSE(effects::splatPosition(Vec3{-159.5, 0, 256}, 320, 200, sx, sy)); // trunc(0.5) = 0
    EXPECT_FALSE(effects::splatPosition(Vec3{159, 0, 256}, 320, 200, sx, sy)); // sx 319
    EXPECT_FALSE(effects::splatPosition(Vec3{0, -100, 256}, 320, 200, sx, sy)); // sy 0
    EXPECT_FALSE(effects::splatPosition(Vec3{0, 99, 256}, 320, 200, sx, sy)); // sy 199
    // Points thrown far away by an inversion, or not finite at all.
    EXPECT_FALSE(effects::splatPosition(Vec3{1e300, 0, 256}, 320, 200, sx, sy));
    EXPECT_FALSE(effects::splatPosition(Vec3{0, -1e20, 256}, 320, 200, sx, sy));
    EXPECT_FALSE(effects::splatPosition(Vec3{NAN, 0, 256}, 320, 200, sx, sy));
    EXPECT_FALSE(effects::splatPosition(Vec3{0, 0, 0}, 320, 200, sx, sy));
    // Other surface sizes use their integer halves: 7x5 -> centre (3, 2).
    ASSERT_TRUE(effects::splatPosition(Vec3{0, 0, 256}, 7, 5, sx, sy));
    EXPECT_EQ(sx, 3);
    EXPECT_EQ(sy, 2);
}

// A 5x5 patch with the splat in the middle.
struct Patch {
    std::vector<std::uint32_t> pixels = std::vector<std::uint32_t>(25, 0);
    std::uint32_t* centre() { return pixels.data() + 2 * 5 + 2; }
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y * 5 + x)]; }
};

void expectCross(const Patch& patch, std::uint32_t centre, std::uint32_t arm, std::uint32_t rest)
{
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            SCOPED_TRACE(testing::Message() << "x " << x << " y " << y);
            bool isCentre = x == 2 && y == 2;
            bool isArm = (x == 2 && (y == 1 || y == 3)) || (y == 2 && (x == 1 || x == 3));
            EXPECT_EQ(patch.at(x, y), isCentre ? centre : isArm ? arm : rest);
        }
}

TEST(Splat, PlainFormPutsTheFirstColourInBlue)
{
    Patch patch;
    effects::_splatnommx(patch.centre(), 5, 126, 112, 0);
    expectCross(patch, 0x00707e, 0x00383f, 0);
}

TEST(Splat, MmxFormPutsTheFirstColourInRed)
{
    Patch patch;
    effects::_splatmmx(patch.centre(), 5, 126, 112, 0);
    expectCross(patch, 0x7e7000, 0x3f3800, 0);
}

TEST(Splat, BothFormsHalveOddComponentsDownAndKeepTheTopByte)
{
    // (255, 1, 3): halves (127, 0, 1). The top byte is never changed.
    Patch plain;
    Patch mmx;
    for (auto& p : plain.pixels)
        p = 0xab000000u;
    mmx.pixels = plain.pixels;
    effects::_splatnommx(plain.centre(), 5, 255, 1, 3);
    effects::_splatmmx(mmx.centre(), 5, 255, 1, 3);
    expectCross(plain, 0xab0301ffu, 0xab01007fu, 0xab000000u);
    expectCross(mmx, 0xabff0103u, 0xab7f0001u, 0xab000000u);
}

TEST(Splat, RepeatedSplatsSaturateAt255)
{
    for (SplatForm form : {SplatForm::Plain, SplatForm::Mmx}) {
        SCOPED_TRACE(form == SplatForm::Plain ? "plain" : "mmx");
        Patch patch;
        auto splat = [&] {
            if (form == SplatForm::Plain)
                effects::_splatnommx(patch.centre(), 5, 126, 0, 126);
            else
                effects::_splatmmx(patch.centre(), 5, 126, 0, 126);
        };
        splat();
        EXPECT_EQ(patch.at(2, 2), 0x7e007eu);
        splat();
        EXPECT_EQ(patch.at(2, 2), 0xfc00fcu); // 252
        EXPECT_EQ(patch.at(1, 2), 0x7e007eu); // arms: 63 + 63
        splat();
        EXPECT_EQ(patch.at(2, 2), 0xff00ffu); // 378 stops at 255
        EXPECT_EQ(patch.at(2, 3), 0xbd00bdu); // 189
    }
}

TEST(Splat, PointSetDrawsOnlyInsideTheBorder)
{
    // 8x6 surface with a row pitch of 10; centre (4, 3).
    std::vector<std::uint32_t> pixels(10 * 6, 0);
    PointSet points(4);
    points[0].position = Vec3{0, 0, 256};   // (4, 3): drawn
    points[1].position = Vec3{-4, 0, 256};  // column 0: not drawn
    points[2].position = Vec3{3, 0, 256};   // column 7: not drawn
    points[3].position = Vec3{0, 2, 256};   // row 5: not drawn
    points.copyToDrawn();
    points.drawAll(pixels.data(), 8, 6, 10, 10, 20, 30, SplatForm::Plain);
    int touched = 0;
    for (std::uint32_t p : pixels)
        touched += p != 0;
    EXPECT_EQ(touched, 5);
    EXPECT_EQ(pixels[3 * 10 + 4], 0x1e140au);
    EXPECT_EQ(pixels[2 * 10 + 4], 0x0f0a05u);
    EXPECT_EQ(pixels[3 * 10 + 5], 0x0f0a05u);
    // The drawn positions are what is splatted, not the positions.
    points[0].position = Vec3{1, 1, 256};
    std::vector<std::uint32_t> again(10 * 6, 0);
    points.drawAll(again.data(), 8, 6, 10, 10, 20, 30, SplatForm::Plain);
    EXPECT_EQ(again[3 * 10 + 4], 0x1e140au);
}

// --- The whole effect -------------------------------------------------------

TEST(SplineRibbons, KnotsFollowTheirEllipses)
{
    const double e = 1000 * 0.003;
    const double b1 = 0.1570795;
    ControlChain one = effects::SplineRibbons::buildChain(1, 1000);
    ControlChain two = effects::SplineRibbons::buildChain(2, 1000);
    ASSERT_EQ(one.size(), 41);
    ASSERT_EQ(two.size(), 41);
    expectVec(one[0].position, 30 * std::sin(e), 50 * std::cos(e), 256);
    expectVec(one[1].position, 50 * std::sin(b1 + e), 50 * std::cos(b1 + e), 256);
    expectVec(two[0].position, 30 * std::sin(-1.23 * e), 50 * std::cos(-e), 256);
    expectVec(two[1].position, 30 * std::sin(b1 - 1.21 * e), 50 * std::cos(b1 + e), 256);
    expectVec(one[40].position, 30 * std::sin(40 * b1 + e), 50 * std::cos(40 * b1 + e), 256);
    EXPECT_EQ(one[5].tension, 0.0);
}

std::vector<std::uint32_t> drawRibbons(double t, SplatForm form)
{
    display::Surface surface(320, 200, display::format32());
    effects::SplineRibbons(form).draw(t, surface);
    EXPECT_FALSE(surface.locked());
    auto* p = static_cast<std::uint32_t*>(surface.lock());
    std::vector<std::uint32_t> pixels(p, p + 320 * 200);
    surface.unlock();
    return pixels;
}

TEST(SplineRibbons, TheTwoSplatFormsSwapRedAndBlue)
{
    for (double t : {0.0, 1234.5, 60000.0}) {
        SCOPED_TRACE(t);
        std::vector<std::uint32_t> plain = drawRibbons(t, SplatForm::Plain);
        std::vector<std::uint32_t> mmx = drawRibbons(t, SplatForm::Mmx);
        int lit = 0;
        for (std::size_t i = 0; i < plain.size(); ++i) {
            std::uint32_t p = plain[i];
            std::uint32_t swapped = (p & 0xff00ff00u) | (p & 0xffu) << 16 | (p >> 16 & 0xffu);
            ASSERT_EQ(swapped, mmx[i]) << "pixel " << i;
            lit += p != 0;
        }
        EXPECT_GT(lit, 1000); // two ribbons of 500 splats each, mostly on screen
    }
}

TEST(SplineRibbons, PlainRibbonsAddOnlyTheirColours)
{
    // Ribbon 1 adds blue 126 and green 112, ribbon 2 green 112 and red 126:
    // on black, a pixel with red but no blue was touched by ribbon 2 alone,
    // and its channels are sums of 126 or 63 (red) and 112 or 56 (green).
    std::vector<std::uint32_t> pixels = drawRibbons(2500, SplatForm::Plain);
    int onlyTwo = 0;
    for (std::uint32_t p : pixels) {
        std::uint32_t red = p >> 16 & 0xff, green = p >> 8 & 0xff, blue = p & 0xff;
        EXPECT_EQ(p >> 24, 0u);
        if (red != 0 && blue == 0) {
            ++onlyTwo;
            EXPECT_TRUE(red == 255 || red % 63 == 0) << std::hex << p;
            EXPECT_TRUE(green == 255 || green % 56 == 0) << std::hex << p;
        }
    }
    EXPECT_GT(onlyTwo, 100);
}

TEST(SplineRibbons, SmallSurfacesAndManyTimesStayInBounds)
{
    // Inversions throw points anywhere; on a surface barely larger than a
    // splat every one of them must be rejected or land inside. (Run under
    // the address sanitizer, a stray write is caught here.)
    for (int size : {3, 4, 17}) {
        display::Surface surface(size, size, display::format32());
        for (int i = 0; i < 200; ++i)
            effects::SplineRibbons(i % 2 ? SplatForm::Mmx : SplatForm::Plain).draw(i * 777.7, surface);
        EXPECT_FALSE(surface.locked());
    }
}

TEST(SplineRibbons, EmptyOrNon32BitSurfaceIsLeftAlone)
{
    display::Surface missing("no/such/file.tga");
    ASSERT_TRUE(missing.empty());
    effects::SplineRibbons(SplatForm::Mmx).draw(100, missing);
    EXPECT_FALSE(missing.locked());

    display::Surface wide(320, 200, display::Format(16, 0xf800, 0x07e0, 0x001f));
    effects::SplineRibbons(SplatForm::Plain).draw(1000, wide);
    auto* bytes = static_cast<std::uint8_t*>(wide.lock());
    for (int i = 0; i < 320 * 200 * 2; ++i)
        ASSERT_EQ(bytes[i], 0);
    wide.unlock();
}

TEST(ProcessorInfo, RecordMatchesThePlatformQuery)
{
    char vendor[13];
    std::uint8_t fpu = 7, mmx = 7;
    effects::_hamtacpuinfo(vendor, &fpu, &mmx);
    EXPECT_EQ(vendor[12], '\0');
    EXPECT_TRUE(fpu == 0 || fpu == 1);
    EXPECT_TRUE(mmx == 0 || mmx == 1);
    const effects::ProcessorInfo& record = effects::processorInfo();
    EXPECT_EQ(record.mmx, mmx);
    EXPECT_EQ(effects::SplineRibbons().form(), mmx ? SplatForm::Mmx : SplatForm::Plain);
}

} // namespace
