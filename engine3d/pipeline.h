#pragma once
// The render pipeline's shared operations: the camera's view transform and
// clipping volume, outcodes, projection, the facing test, and the clipper
// with its vertex pool that every face drawer uses.
#include "engine3d/screen_vertex.h"
#include "engine3d/transform.h"

#include <cstdint>

namespace engine3d {

// The clipping volume of a width x height surface seen with focal length F:
// four side planes a little inside the screen edges (left, bottom, right,
// top), the near plane z = 10 and the far plane z = 1e12.
Frustum makeFrustum(int width, int height, float focalLength);

// World to camera space for a camera at `position` looking at `target`
// (world up is +y; camera x right, y down, z forward), followed by a turn of
// `roll` radians about the view axis.
Transform viewTransform(const Vec3& position, const Vec3& target, float roll);

// Bit i for each side plane the point lies outside, then the near and far
// bits.
std::uint32_t outcodes(const ScreenVertex& p, const Frustum& frustum);

// For a vertex made by clipping: clears the side and near bits of the planes
// that now hold it; true when it is still outside one of them. The far bit
// is left as it is.
bool stillOutside(ScreenVertex& p, const Frustum& frustum);

struct Projection {
    float focalLength = 256.0f;
    int halfWidth = 160;  // width >> 1
    int halfHeight = 100; // height >> 1
};

// w = 1/z, sx = F w x + W/2, sy = F w y + H/2.
void project(ScreenVertex& p, const Projection& projection);

// u/z, v/z and 1/z as doubles, for perspective-correct spans.
void perspectiveTerms(ScreenVertex& p);

// True when the screen triangle a, b, c turns the way drawn faces do.
inline bool facesViewer(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c)
{
    return (c.sy - a.sy) * (b.sx - a.sx) - (c.sx - a.sx) * (b.sy - a.sy) < 0.0f;
}

// Where a frame is drawn: the camera's surface (locked) and depth buffer.
struct RasterTarget {
    std::uint32_t* pixels = nullptr;
    std::int32_t* depth = nullptr;
    int pitch = 0; // bytes, for both
    int width = 0;
    int height = 0;
};

// True when every vertex lies on the target, within half a pixel of it: the
// rasterizers clip nothing, and the frustum keeps projected points about a
// pixel inside the edges, so only a vertex whose projection went wrong (not
// finite, or beyond the edges by rounding) fails this.
bool fitsTarget(const ScreenVertex* const* corners, int count, const RasterTarget& target);

// Clips a face against the near plane and then side planes 0 to 3, taking
// new vertices from a pool of 40 that restarts for every face.
class FaceClipper {
public:
    static constexpr int kPoolSize = 40;
    static constexpr int kListSize = 22;

    FaceClipper(const Frustum& frustum, const Projection& projection) : frustum_(frustum), projection_(projection) {}

    // The clipped polygon's corner count: 0 when fewer than 3 corners are left
    // or when the clip would need more pool records or list places than
    // there are (the face is then dropped). The corners are in corners().
    int clip(ScreenVertex* const* corners, int count);
    ScreenVertex* const* corners() const { return result_; }
    int poolUsed() const { return used_; }

private:
    int clipPlane(const Plane& plane, std::uint32_t mask, ScreenVertex* const* in, int count, ScreenVertex** out);
    ScreenVertex* cut(const Plane& plane, std::uint32_t mask, const ScreenVertex& cur, const ScreenVertex& next);

    const Frustum& frustum_;
    Projection projection_;
    ScreenVertex pool_[kPoolSize];
    int used_ = 0;
    ScreenVertex* lists_[2][kListSize] = {};
    ScreenVertex* const* result_ = nullptr;
};

} // namespace engine3d
