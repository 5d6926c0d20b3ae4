#pragma once
// Quaternions (w the scalar part) for the rotation tracks.
#include "engine3d/transform.h"

namespace engine3d {

struct Quaternion {
    double w = 0.0, x = 0.0, y = 0.0, z = 0.0;

    void set(double nw, double nx, double ny, double nz)
    {
        w = nw;
        x = nx;
        y = ny;
        z = nz;
    }
    void swapYZ()
    {
        double t = y;
        y = z;
        z = t;
    }
};

// (cos(angle/2), axis * sin(angle/2)); the axis is used as given.
Quaternion fromAxisAngle(double angle, const Vec3& axis);

// Hamilton product p ⊗ q = (pw qw − pv·qv, pw qv + qw pv + pv × qv).
Quaternion operator*(const Quaternion& p, const Quaternion& q);
inline Quaternion operator+(const Quaternion& a, const Quaternion& b)
{
    return Quaternion{a.w + b.w, a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Quaternion operator*(const Quaternion& a, double s) { return Quaternion{a.w * s, a.x * s, a.y * s, a.z * s}; }
inline double dot(const Quaternion& a, const Quaternion& b) { return a.w * b.w + a.x * b.x + a.y * b.y + a.z * b.z; }

// The rotation matrix of q, translation zero. q is not normalised first.
Transform rotationTransform(const Quaternion& q);

// Spherical interpolation along the great circle from a (t = 0) to b (t = 1),
// extrapolating outside 0..1. No sign correction for a negative dot product
// and no renormalisation; nearly equal quaternions interpolate linearly, and
// nearly opposite ones (where sin θ is too small to divide by) turn through
// a quaternion perpendicular to a, which keeps the result a finite unit.
Quaternion slerp(const Quaternion& a, const Quaternion& b, double t);

} // namespace engine3d
