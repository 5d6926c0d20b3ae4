#pragma once
// Affine transforms: three rows of a 3x3 part and a translation. A point p
// maps to (row0·p + t.x, row1·p + t.y, row2·p + t.z).
#include "engine3d/vec3.h"

namespace engine3d {

struct Transform {
    Vec3 row0{1.0, 0.0, 0.0};
    Vec3 row1{0.0, 1.0, 0.0};
    Vec3 row2{0.0, 0.0, 1.0};
    Vec3 translation;

    void set(const Vec3& r0, const Vec3& r1, const Vec3& r2, const Vec3& t)
    {
        row0 = r0;
        row1 = r1;
        row2 = r2;
        translation = t;
    }

    Vec3 apply(const Vec3& p) const
    {
        return Vec3{dot(row0, p) + translation.x, dot(row1, p) + translation.y, dot(row2, p) + translation.z};
    }

    // This transform followed by `then`, stored in place.
    void compose(const Transform& then);
};

inline Transform identityTransform() { return Transform{}; }

// The transform that applies a first and then b.
Transform compose(const Transform& a, const Transform& b);

double determinant(const Transform& a);

// The rows divided by the determinant, translation zero; the identity when
// the determinant lies strictly between -0.01 and 0.01. For orthonormal axis
// rows it gives a point's coordinates along the axes. Used only to bring
// mesh vertices into object space.
Transform inverseLike(const Transform& a);

} // namespace engine3d
