#include "engine3d/quaternion.h"

#include "platform/portable_math.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace engine3d {

Quaternion fromAxisAngle(double angle, const Vec3& axis)
{
    const double s = platform::math::sin(angle / 2.0);
    return Quaternion{platform::math::cos(angle / 2.0), axis.x * s, axis.y * s, axis.z * s};
}

Quaternion operator*(const Quaternion& p, const Quaternion& q)
{
    const Vec3 pv{p.x, p.y, p.z};
    const Vec3 qv{q.x, q.y, q.z};
    const Vec3 v = qv * p.w + pv * q.w + cross(pv, qv);
    return Quaternion{p.w * q.w - dot(pv, qv), v.x, v.y, v.z};
}

Transform rotationTransform(const Quaternion& q)
{
    const double w = q.w, x = q.x, y = q.y, z = q.z;
    Transform r;
    r.row0 = Vec3{1.0 - 2.0 * (y * y + z * z), 2.0 * (x * y - w * z), 2.0 * (x * z + w * y)};
    r.row1 = Vec3{2.0 * (x * y + w * z), 1.0 - 2.0 * (x * x + z * z), 2.0 * (y * z - w * x)};
    r.row2 = Vec3{2.0 * (x * z - w * y), 2.0 * (y * z + w * x), 1.0 - 2.0 * (x * x + y * y)};
    return r;
}

namespace {
// Below this distance from a half turn, arccos of the dot product is too
// imprecise (and sin θ too small) for the quotient form.
constexpr double kOppositeMargin = 1e-5;
} // namespace

Quaternion slerp(const Quaternion& a, const Quaternion& b, double t)
{
    // Rounding can carry the dot product of unit quaternions just past ±1,
    // where arccos has no value.
    const double theta = platform::math::acos(std::clamp(dot(a, b), -1.0, 1.0));
    if (theta < 0.001)
        return a * (1.0 - t) + b * t;
    if (std::numbers::pi - theta < kOppositeMargin) {
        // b is about −a: every great circle through a reaches it. Take the
        // one through p, perpendicular to a in four dimensions.
        const Quaternion p{-a.x, a.w, -a.z, a.y};
        return a * platform::math::cos(t * theta) + p * platform::math::sin(t * theta);
    }
    const double s = platform::math::sin(theta);
    return a * (platform::math::sin((1.0 - t) * theta) / s) + b * (platform::math::sin(t * theta) / s);
}

} // namespace engine3d
