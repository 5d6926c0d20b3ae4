#include "engine3d/face_drawers.h"

#include "console/surface_lock.h"
#include "engine3d/aa_line.h"
#include "engine3d/fixed_point.h"
#include "engine3d/perspective_rasterizer.h"
#include "engine3d/polygon_rasterizers.h"

namespace engine3d {

namespace {

// A face's polygon after clipping: its own corners, or the clipper's list.
struct Polygon {
    ScreenVertex* const* corners = nullptr;
    int count = 0;
};

// Copies the face's texture coordinates into its corners, clips it when its
// clip flag is set and (for filled kinds) culls a clipped polygon that faces
// away; an unclipped face has passed the facing test already. An empty
// polygon means nothing is drawn.
Polygon facePolygon(Face& face, FaceContext& context, bool cull)
{
    for (int i = 0; i < face.cornerCount; ++i) {
        face.corners[i]->u = face.uv[i].u;
        face.corners[i]->v = face.uv[i].v;
    }
    if (!face.clipFlag)
        return {face.corners, face.cornerCount};
    const int count = context.clipper.clip(face.corners, face.cornerCount);
    if (count < 3)
        return {};
    ScreenVertex* const* c = context.clipper.corners();
    if (cull && !facesViewer(*c[0], *c[1], *c[2]))
        return {};
    return {c, count};
}

} // namespace

bool isRasterTexture(const display::Surface* texture)
{
    return texture && !texture->empty() && texture->width() == 256 && texture->height() == 256 &&
           texture->format().bytes() == 4;
}

void drawTexturedFan(const ScreenVertex* const* corners, int count, const RasterTarget& target,
                     const std::uint32_t* texels)
{
    // Triangles (0, i - 1, i); a triangle of zero area ends the face.
    for (int i = 2; i < count; ++i) {
        const ScreenVertex& a = *corners[0];
        const ScreenVertex& b = *corners[i - 1];
        const ScreenVertex& c = *corners[i];
        const float d = (a.sx - c.sx) * (b.sy - c.sy) - (b.sx - c.sx) * (a.sy - c.sy);
        if (d == 0.0f)
            return;
        // Texture and depth gradients per pixel to the right, truncated to
        // 16.16 and 8.24.
        auto gradient = [&](float av, float bv, float cv, float scale) {
            return truncToInt(((av - cv) * (b.sy - c.sy) - (bv - cv) * (a.sy - c.sy)) / d * scale);
        };
        const ScreenVertex* triangle[3] = {&a, &b, &c};
        _tmapasm32b(triangle, 3, gradient(a.u, b.u, c.u, 65536.0f), gradient(a.v, b.v, c.v, 65536.0f),
                    gradient(a.w, b.w, c.w, 16777216.0f), texels, target.pixels, target.depth, target.pitch);
    }
}

void drawTexturedFace(Face& face, FaceContext& context, const std::uint32_t* texels)
{
    if (!face.texture || !texels)
        return;
    const Polygon polygon = facePolygon(face, context, true);
    if (polygon.count < 3 || !fitsTarget(polygon.corners, polygon.count, context.target))
        return;
    drawTexturedFan(polygon.corners, polygon.count, context.target, texels);
}

void drawPerspectiveFace(Face& face, FaceContext& context)
{
    if (!isRasterTexture(face.texture))
        return;
    const Polygon polygon = facePolygon(face, context, true);
    if (polygon.count < 3 || !fitsTarget(polygon.corners, polygon.count, context.target))
        return;
    for (int i = 0; i < polygon.count; ++i)
        perspectiveTerms(*polygon.corners[i]);
    const ScreenVertex& p0 = *polygon.corners[0];
    const ScreenVertex& p1 = *polygon.corners[1];
    const ScreenVertex& p2 = *polygon.corners[2];
    const float d = (p0.sx - p2.sx) * (p1.sy - p2.sy) - (p1.sx - p2.sx) * (p0.sy - p2.sy);
    if (d == 0.0f)
        return;
    const float inverse = 1.0f / d;
    const float dy12 = p1.sy - p2.sy;
    const float dy02 = p0.sy - p2.sy;
    const auto dudx = float((dy12 * (p0.uz - p2.uz) - dy02 * (p1.uz - p2.uz)) * inverse);
    const auto dvdx = float((dy12 * (p0.vz - p2.vz) - dy02 * (p1.vz - p2.vz)) * inverse);
    const float dzdx = (dy12 * (p0.w - p2.w) - dy02 * (p1.w - p2.w)) * inverse;
    display::SurfaceLock texture(*face.texture);
    scanPerspective(polygon.corners, polygon.count, dudx, dvdx, dzdx, texture.pixels(),
                    {context.target.pixels, context.target.depth, context.target.pitch});
}

void drawFlatFace(Face& face, FaceContext& context)
{
    const Polygon polygon = facePolygon(face, context, true);
    if (polygon.count < 3 || !fitsTarget(polygon.corners, polygon.count, context.target))
        return;
    const ScreenVertex& p0 = *polygon.corners[0];
    const ScreenVertex& p1 = *polygon.corners[1];
    const ScreenVertex& p2 = *polygon.corners[2];
    const float c = (p1.sy - p2.sy) * (p0.sx - p2.sx) - (p0.sy - p2.sy) * (p1.sx - p2.sx);
    if (c == 0.0f)
        return;
    const std::int32_t zstep =
        truncToInt(((p1.sy - p2.sy) * (p0.w - p2.w) - (p0.sy - p2.sy) * (p1.w - p2.w)) / c * 16777216.0f);
    // A face's colour word is zero from creation and nothing sets it: flat
    // meshes are drawn black, writing depth.
    constexpr std::uint32_t kFaceColour = 0x00000000;
    const RasterTarget& target = context.target;
    _flatasm32b(polygon.corners, polygon.count, zstep, kFaceColour, target.pixels, target.depth, target.pitch);
}

void drawWireframeFace(Face& face, FaceContext& context, const std::uint32_t* productTable)
{
    const Polygon polygon = facePolygon(face, context, false);
    const RasterTarget& target = context.target;
    for (int k = 0; k < polygon.count; ++k) {
        const ScreenVertex& from = *polygon.corners[k];
        const ScreenVertex& to = *polygon.corners[k + 1 < polygon.count ? k + 1 : 0];
        _aaline32b(from.sx, from.sy, to.sx, to.sy, target.pixels, target.pitch, target.width, target.height,
                   productTable, 0, 127, 0);
    }
}

} // namespace engine3d
