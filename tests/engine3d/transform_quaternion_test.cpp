#include "engine3d/quaternion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

using engine3d::Quaternion;
using engine3d::Transform;
using engine3d::Vec3;

void expectNear(const Vec3& v, double x, double y, double z, double tolerance = 1e-12)
{
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

Transform rows(Vec3 r0, Vec3 r1, Vec3 r2, Vec3 t = {})
{
    Transform m;
    m.set(r0, r1, r2, t);
    return m;
}

TEST(Transform, ComposeAppliesTheFirstTransformFirst)
{
    const Transform shift = rows({1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 0});
    const Transform quarter = rows({0, -1, 0}, {1, 0, 0}, {0, 0, 1});
    expectNear(engine3d::compose(shift, quarter).apply({0, 0, 0}), 0, 1, 0);
    Transform inPlace = shift;
    inPlace.compose(quarter);
    expectNear(inPlace.apply({0, 0, 0}), 0, 1, 0);
}

TEST(Transform, DeterminantAndInverseLike)
{
    EXPECT_DOUBLE_EQ(engine3d::determinant(rows({1, 2, 3}, {4, 5, 6}, {7, 8, 10})), -3.0);

    const Transform flat = rows({0.005, 0, 0}, {0, 1, 0}, {0, 0, 1}, {4, 5, 6}); // determinant 0.005
    const Transform identity = engine3d::inverseLike(flat);
    expectNear(identity.apply({1, 2, 3}), 1, 2, 3);

    // Rows divided by the determinant (2), translation dropped.
    const Transform doubled = engine3d::inverseLike(rows({2, 0, 0}, {0, 1, 0}, {0, 0, 1}, {7, 7, 7}));
    expectNear(doubled.apply({1, 2, 3}), 1, 1, 1.5);
}

TEST(Quaternion, ProductAndRotationTransform)
{
    const double h = std::cos(std::numbers::pi / 4);
    // A quarter turn about y takes x to -z.
    expectNear(engine3d::rotationTransform(Quaternion{h, 0, h, 0}).apply({1, 0, 0}), 0, 0, -1, 1e-15);
    // i ⊗ j = k.
    const Quaternion k = Quaternion{0, 1, 0, 0} * Quaternion{0, 0, 1, 0};
    EXPECT_EQ(k.z, 1.0);
    EXPECT_EQ(k.w, 0.0);
}

TEST(Quaternion, SlerpOfIdenticalQuaternionsIsThatQuaternion)
{
    const Quaternion q{0.5, 0.5, 0.5, 0.5};
    for (double t : {-0.5, 0.0, 0.3, 1.0, 2.0}) {
        const Quaternion r = engine3d::slerp(q, q, t);
        EXPECT_DOUBLE_EQ(r.w, 0.5);
        EXPECT_DOUBLE_EQ(r.x, 0.5);
        EXPECT_DOUBLE_EQ(r.y, 0.5);
        EXPECT_DOUBLE_EQ(r.z, 0.5);
    }
}

TEST(Quaternion, SlerpOfOppositeQuaternionsStaysAUnitOnTheWayToTheOther)
{
    const Quaternion a{0.6, 0.8, 0, 0};
    const Quaternion b{-0.6, -0.8, 0, 0};
    for (double t : {0.0, 0.25, 0.5, 1.0}) {
        const Quaternion r = engine3d::slerp(a, b, t);
        EXPECT_NEAR(engine3d::dot(r, r), 1.0, 1e-12) << t;
    }
    const Quaternion end = engine3d::slerp(a, b, 1.0);
    EXPECT_NEAR(end.w, -0.6, 1e-12);
    EXPECT_NEAR(end.x, -0.8, 1e-12);
}

} // namespace
