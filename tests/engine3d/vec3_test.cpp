#include "engine3d/vec3.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using engine3d::Vec3;

void expectVec(const Vec3& v, double x, double y, double z)
{
    EXPECT_DOUBLE_EQ(v.x, x);
    EXPECT_DOUBLE_EQ(v.y, y);
    EXPECT_DOUBLE_EQ(v.z, z);
}

TEST(Vec3, ArithmeticMakesNewVectorsAndWorksInPlace)
{
    Vec3 a = engine3d::makeVec3(1, 2, 3);
    Vec3 b = engine3d::makeVec3(4, -5, 6.5);
    expectVec(a + b, 5, -3, 9.5);
    expectVec(a - b, -3, 7, -3.5);
    expectVec(a * 2.5, 2.5, 5, 7.5);
    expectVec(-2.0 * b, -8, 10, -13);
    expectVec(a, 1, 2, 3); // the operands are left alone

    Vec3 c = a;
    c += b;
    expectVec(c, 5, -3, 9.5);
    c -= a;
    expectVec(c, 4, -5, 6.5);
    c *= 0.5;
    expectVec(c, 2, -2.5, 3.25);
    c.set(7, 8, 9);
    expectVec(c, 7, 8, 9);
}

TEST(Vec3, DotCrossAndLength)
{
    Vec3 a{1, 2, 3};
    Vec3 b{4, 5, 6};
    EXPECT_DOUBLE_EQ(engine3d::dot(a, b), 32.0);              // 4 + 10 + 18
    expectVec(engine3d::cross(a, b), -3, 6, -3);               // (12-15, 12-6, 5-8)
    expectVec(engine3d::cross(Vec3{1, 0, 0}, Vec3{0, 1, 0}), 0, 0, 1); // right-handed
    expectVec(engine3d::cross(Vec3{0, 1, 0}, Vec3{1, 0, 0}), 0, 0, -1);
    EXPECT_DOUBLE_EQ(engine3d::squaredLength(a), 14.0);
}

TEST(Vec3, NormalizeGivesUnitLengthAndKeepsZeroFinite)
{
    expectVec(engine3d::normalize(Vec3{3, 0, 4}), 0.6, 0, 0.8);
    expectVec(engine3d::normalize(Vec3{0, -2, 0}), 0, -1, 0);
    // A zero vector has no direction; it must not turn into NaNs.
    expectVec(engine3d::normalize(Vec3{0, 0, 0}), 0, 0, 0);
    Vec3 nan{std::numeric_limits<double>::quiet_NaN(), 0, 0};
    expectVec(engine3d::normalize(nan), 0, 0, 0);
}

TEST(Vec3, SwapYZExchangesOnlyYAndZ)
{
    Vec3 v{1, 2, 3};
    v.swapYZ();
    expectVec(v, 1, 3, 2);
}

} // namespace
