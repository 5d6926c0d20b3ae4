#include "engine3d/keyframes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

using namespace engine3d;

void expectNear(const Vec3& v, double x, double y, double z, double tolerance = 1e-9)
{
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

PositionKey key(std::int32_t frame, Vec3 value, KeyShape shape = {})
{
    PositionKey k;
    k.frame = frame;
    k.value = value;
    k.shape = shape;
    return k;
}

TEST(PositionTrack, SegmentSearchAndTheLastKey)
{
    PositionTrack track;
    track.keys = {key(0, {0, 0, 0}), key(100, {100, 0, 0})};
    preparePositionTrack(track);
    // Zero tension: both tangents are P1 - P0, the motion linear.
    expectNear(track.keys[0].outgoing, 100, 0, 0);
    expectNear(track.keys[1].incoming, 100, 0, 0);

    expectNear(evaluatePositionTrack(track, 50.0f), 50, 0, 0);
    EXPECT_EQ(track.segment, 0);
    EXPECT_EQ(track.fraction, 0.5f);
    // 99.5 rounds up to the last key's frame: its value exactly, the segment
    // of the last evaluation kept.
    const Vec3 last = evaluatePositionTrack(track, 99.5f);
    EXPECT_EQ(last.x, 100.0);
    EXPECT_EQ(track.fraction, 0.5f);
}

TEST(PositionTrack, EdgesOfTheTrack)
{
    PositionTrack empty;
    expectNear(evaluatePositionTrack(empty, 3.0f), 0, 0, 0);
    PositionTrack one;
    one.keys = {key(7, {1, 2, 3})};
    expectNear(evaluatePositionTrack(one, 0.0f), 1, 2, 3);
    // A track that starts after the time asked for gives its first key.
    PositionTrack late;
    late.keys = {key(10, {1, 0, 0}), key(20, {2, 0, 0})};
    preparePositionTrack(late);
    expectNear(evaluatePositionTrack(late, 5.0f), 1, 0, 0);
    expectNear(evaluatePositionTrack(late, std::nanf("")), 1, 0, 0);
}

TEST(PositionTrack, UnpreparedCameraTargetEasesBetweenKeys)
{
    PositionTrack target;
    target.keys = {key(0, {0, 0, 0}), key(10, {10, 0, 0})};
    expectNear(evaluatePositionTrack(target, 5.0f), 5, 0, 0, 1e-6);
    // f = 0.2: 3 * 0.04 - 2 * 0.008 = 0.104 of the way.
    expectNear(evaluatePositionTrack(target, 2.0f), 1.04, 0, 0, 1e-6);
}

TEST(PositionTrack, TensionContinuityBiasTangents)
{
    // Worked by hand: g1 = (10, 0, 0), g2 = (0, 10, 0) around key 1 with
    // T = 0.5, C = 0.5, B = 0: incoming = g2 * 0.375 + g1 * 0.125,
    // outgoing = g2 * 0.125 + g1 * 0.375; the ends from them.
    PositionTrack track;
    track.keys = {key(0, {0, 0, 0}), key(10, {10, 0, 0}, {0.5f, 0.5f, 0.0f}), key(20, {10, 10, 0})};
    preparePositionTrack(track);
    expectNear(track.keys[1].incoming, 1.25, 3.75, 0);
    expectNear(track.keys[1].outgoing, 3.75, 1.25, 0);
    expectNear(track.keys[0].outgoing, 15 - 0.625, -1.875, 0);
    expectNear(track.keys[2].incoming, -1.875, 15 - 0.625, 0);
    // Between keys 0 and 1 at f = 0.5: h1 = h2 = 0.5, h3 = 0.125, h4 = -0.125.
    const double x = 0.5 * 0 + 0.125 * 14.375 + 0.5 * 10 - 0.125 * 1.25;
    const double y = 0.125 * -1.875 - 0.125 * 3.75;
    expectNear(evaluatePositionTrack(track, 5.0f), x, y, 0);
}

RotationKey turn(std::int32_t frame, float angle, Vec3 axis)
{
    RotationKey k;
    k.frame = frame;
    k.angle = angle;
    k.axis = axis;
    return k;
}

TEST(RotationTrack, KeysBecomeAbsoluteQuaternionsInEngineAxes)
{
    RotationTrack track;
    // A half turn about the file's z axis is one about the engine's y axis.
    track.keys = {turn(0, float(std::numbers::pi), {0, 0, 1}), turn(10, float(std::numbers::pi / 2), {0, 0, 1})};
    prepareRotationTrack(track);
    const Quaternion& q0 = track.keys[0].q;
    EXPECT_NEAR(q0.w, 0.0, 1e-7);
    EXPECT_NEAR(q0.x, 0.0, 1e-15);
    EXPECT_NEAR(q0.y, 1.0, 1e-15);
    EXPECT_NEAR(q0.z, 0.0, 1e-15);
    // The second key adds a quarter turn: three quarters about y in all,
    // taking x to +z.
    const Transform last = evaluateRotationTrack(track, 10.0f);
    expectNear(last.apply({1, 0, 0}), 0, 0, 1, 1e-6);
    // Between the keys the rotation stays about y.
    const Vec3 mid = evaluateRotationTrack(track, 5.0f).apply({0, 1, 0});
    expectNear(mid, 0, 1, 0, 1e-6);
}

TEST(RotationTrack, WholeTurnKeysGiveOrthonormalMatricesEverywhere)
{
    RotationTrack track;
    track.keys = {turn(0, 0.0f, {0, 0, 1}), turn(10, float(2 * std::numbers::pi), {0, 0, 1}), turn(20, float(2 * std::numbers::pi), {1, 0, 0}),
                  turn(30, 0.5f, {0, 1, 0})};
    track.keys[1].shape.continuity = 0.3f;
    prepareRotationTrack(track);
    for (float t = -1.0f; t <= 31.0f; t += 0.25f) {
        const Transform m = evaluateRotationTrack(track, t);
        const Vec3 r[3] = {m.row0, m.row1, m.row2};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                ASSERT_NEAR(dot(r[i], r[j]), i == j ? 1.0 : 0.0, 1e-5) << "t " << t;
    }
}

} // namespace
