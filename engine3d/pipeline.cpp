#include "engine3d/pipeline.h"

#include "platform/portable_math.h"

#include <cmath>

namespace engine3d {

Frustum makeFrustum(int width, int height, float focalLength)
{
    const double ax = platform::math::atan2((width - 2) * 0.5, double(focalLength)) - 1e-6;
    const double ay = platform::math::atan2((height - 2) * 0.5, double(focalLength)) - 1e-6;
    Frustum f;
    f.sideCount = 4;
    f.sides[0] = {platform::math::cos(ax), 0.0, platform::math::sin(ax), 0.0};  // left
    f.sides[1] = {0.0, -platform::math::cos(ay), platform::math::sin(ay), 0.0}; // bottom
    f.sides[2] = {-platform::math::cos(ax), 0.0, platform::math::sin(ax), 0.0}; // right
    f.sides[3] = {0.0, platform::math::cos(ay), platform::math::sin(ay), 0.0};  // top
    // The near plane lies 10 in front of the eye. A plane through the eye
    // (z >= -10 would be one behind it) lets the side planes alone bound the
    // view: a corner at the eye then passes every test and its projection
    // divides by zero, and corners just in front of it overflow the 8.24
    // depth.
    f.nearPlane = {0.0, 0.0, 1.0, 10.0};
    f.farPlane = {0.0, 0.0, 1.0, -1e12};
    return f;
}

Transform viewTransform(const Vec3& position, const Vec3& target, float roll)
{
    const Vec3 f = normalize(target - position);
    Vec3 h = (target - Vec3{0.0, 1.0, 0.0}) - position;
    h = h - f * double(float(dot(f, h))); // the dot product is rounded to a float first
    const Vec3 u = normalize(h);          // screen down: world up is +y
    const Vec3 r = normalize(cross(f, u));
    Transform view;
    view.set(r, u, f, Vec3{-dot(position, r), -dot(position, u), -dot(position, f)});
    Transform turn;
    const double c = platform::math::cos(double(roll));
    const double s = platform::math::sin(double(roll));
    turn.set(Vec3{c, -s, 0.0}, Vec3{s, c, 0.0}, Vec3{0.0, 0.0, 1.0}, Vec3{});
    return compose(view, turn);
}

namespace {

double side(const Plane& plane, const ScreenVertex& p) { return plane.nx * p.x + plane.ny * p.y + plane.nz * p.z - plane.d; }

} // namespace

std::uint32_t outcodes(const ScreenVertex& p, const Frustum& frustum)
{
    std::uint32_t code = 0;
    for (int i = 0; i < frustum.sideCount; ++i)
        if (side(frustum.sides[i], p) < 0.0)
            code |= 1u << i;
    if (side(frustum.nearPlane, p) < 0.0)
        code |= kOutsideNear;
    if (side(frustum.farPlane, p) < 0.0)
        code |= kOutsideFar;
    return code;
}

bool stillOutside(ScreenVertex& p, const Frustum& frustum)
{
    bool outside = false;
    for (int i = 0; i < frustum.sideCount; ++i) {
        if (!(p.outcode & (1u << i)))
            continue;
        if (side(frustum.sides[i], p) >= 0.0)
            p.outcode &= ~(1u << i);
        else
            outside = true;
    }
    if (p.outcode & kOutsideNear) {
        if (side(frustum.nearPlane, p) >= 0.0)
            p.outcode &= ~kOutsideNear;
        else
            return true;
    }
    return outside;
}

void project(ScreenVertex& p, const Projection& projection)
{
    p.w = float(1.0 / p.z);
    const double scale = projection.focalLength * p.w; // a float product
    p.sx = float(scale * p.x + projection.halfWidth);
    p.sy = float(scale * p.y + projection.halfHeight);
}

void perspectiveTerms(ScreenVertex& p)
{
    p.uz = double(p.u * p.w);
    p.vz = double(p.v * p.w);
    p.iz = p.w;
}

bool fitsTarget(const ScreenVertex* const* corners, int count, const RasterTarget& target)
{
    const float right = float(target.width) - 0.5f;
    const float bottom = float(target.height) - 0.5f;
    for (int i = 0; i < count; ++i) {
        const ScreenVertex& c = *corners[i];
        if (!(c.sx >= -0.5f && c.sx <= right && c.sy >= -0.5f && c.sy <= bottom))
            return false;
    }
    return true;
}

int FaceClipper::clip(ScreenVertex* const* corners, int count)
{
    used_ = 0;
    if (count < 3 || count > kListSize)
        return 0;
    for (int i = 0; i < count; ++i)
        lists_[0][i] = corners[i];
    int in = 0;
    count = clipPlane(frustum_.nearPlane, kOutsideNear, lists_[in], count, lists_[1 - in]);
    in = 1 - in;
    for (int i = 0; i < frustum_.sideCount && count >= 3; ++i) {
        count = clipPlane(frustum_.sides[i], 1u << i, lists_[in], count, lists_[1 - in]);
        in = 1 - in;
    }
    result_ = lists_[in];
    return count >= 3 ? count : 0;
}

int FaceClipper::clipPlane(const Plane& plane, std::uint32_t mask, ScreenVertex* const* in, int count,
                           ScreenVertex** out)
{
    int emitted = 0;
    auto emit = [&](ScreenVertex* v) {
        if (!v || emitted < 0 || emitted == kListSize) {
            emitted = -1; // out of pool records or list places: no polygon
            return;
        }
        out[emitted++] = v;
    };
    for (int i = 0; i < count && emitted >= 0; ++i) {
        ScreenVertex* cur = in[i];
        ScreenVertex* next = in[i + 1 < count ? i + 1 : 0];
        const bool curInside = !(cur->outcode & mask);
        const bool nextInside = !(next->outcode & mask);
        if (curInside)
            emit(cur);
        if (curInside != nextInside)
            emit(cut(plane, mask, *cur, *next));
    }
    return emitted < 0 ? 0 : emitted;
}

ScreenVertex* FaceClipper::cut(const Plane& plane, std::uint32_t mask, const ScreenVertex& cur,
                               const ScreenVertex& next)
{
    if (used_ == kPoolSize)
        return nullptr;
    ScreenVertex& v = pool_[used_++];
    const double sx = next.x - cur.x, sy = next.y - cur.y, sz = next.z - cur.z;
    const double t = (plane.d - (plane.nx * cur.x + plane.ny * cur.y + plane.nz * cur.z)) /
                     (plane.nx * sx + plane.ny * sy + plane.nz * sz);
    v.x = cur.x + sx * t;
    v.y = cur.y + sy * t;
    v.z = cur.z + sz * t;
    const float tf = float(t);
    v.u = cur.u + tf * (next.u - cur.u);
    v.v = cur.v + tf * (next.v - cur.v);
    v.outcode = (cur.outcode | next.outcode) & ~mask;
    if (v.outcode == 0 || !stillOutside(v, frustum_)) {
        project(v, projection_);
    } else {
        v.sx = v.sy = 100.0f; // not projected; a later plane removes it
    }
    return &v;
}

} // namespace engine3d
