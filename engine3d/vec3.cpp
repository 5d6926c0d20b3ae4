#include "engine3d/vec3.h"

#include <cmath>

namespace engine3d {

Vec3 normalize(const Vec3& a)
{
    double lengthSquared = squaredLength(a);
    if (!(lengthSquared > 0.0) || !std::isfinite(lengthSquared))
        return Vec3{};
    return a * std::sqrt(1.0 / lengthSquared);
}

} // namespace engine3d
