#include "engine3d/transform.h"

namespace engine3d {

Transform compose(const Transform& a, const Transform& b)
{
    // c_ij = sum_k b_ik a_kj: row i of b combined with a's rows.
    auto row = [&a](const Vec3& bRow) { return a.row0 * bRow.x + a.row1 * bRow.y + a.row2 * bRow.z; };
    Transform c;
    c.row0 = row(b.row0);
    c.row1 = row(b.row1);
    c.row2 = row(b.row2);
    c.translation = b.apply(a.translation);
    return c;
}

void Transform::compose(const Transform& then) { *this = engine3d::compose(*this, then); }

double determinant(const Transform& a)
{
    const Vec3& r0 = a.row0;
    const Vec3& r1 = a.row1;
    const Vec3& r2 = a.row2;
    return r0.x * (r1.y * r2.z - r1.z * r2.y) - r0.y * (r1.x * r2.z - r1.z * r2.x) + r0.z * (r1.x * r2.y - r1.y * r2.x);
}

Transform inverseLike(const Transform& a)
{
    const double d = determinant(a);
    Transform r;
    if (d > -0.01 && d < 0.01)
        return r;
    // Division as such (not a multiplication by 1/d), row by row.
    r.row0 = Vec3{a.row0.x / d, a.row0.y / d, a.row0.z / d};
    r.row1 = Vec3{a.row1.x / d, a.row1.y / d, a.row1.z / d};
    r.row2 = Vec3{a.row2.x / d, a.row2.y / d, a.row2.z / d};
    return r;
}

} // namespace engine3d
