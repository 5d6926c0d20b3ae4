#pragma once
// The per-face front-ends of the four drawing kinds: they copy the face's
// texture coordinates into its corners, clip faces that cross the view
// volume, cull the ones that face away, work out the gradients and hand the
// polygon to its rasterizer.
#include "engine3d/pipeline.h"
#include "engine3d/scene3d.h"

#include <cstdint>

namespace engine3d {

// What the face drawers of one frame share.
struct FaceContext {
    RasterTarget target;
    Projection projection;
    FaceClipper clipper;
};

// Textured: a fan of triangles through the affine rasterizer, with the
// mesh's texture (256x256 texels).
void drawTexturedFace(Face& face, FaceContext& context, const std::uint32_t* texels);
// The textured polygon as the fan of triangles (0, i - 1, i), each with its
// own gradients; a triangle of zero area ends the polygon.
void drawTexturedFan(const ScreenVertex* const* corners, int count, const RasterTarget& target,
                     const std::uint32_t* texels);
// PerspectiveTextured: the face's own texture, exact every 16th pixel.
void drawPerspectiveFace(Face& face, FaceContext& context);
// Flat: the face's colour, which nothing sets, so black, with depth.
void drawFlatFace(Face& face, FaceContext& context);
// Wireframe: every edge as an anti-aliased green line added onto the
// picture, no culling and no depth.
void drawWireframeFace(Face& face, FaceContext& context, const std::uint32_t* productTable);

// True for a texture the rasterizers can address: 256x256 texels of 32
// bits. Anything else (no image, an image without pixels, another size) has
// its faces skipped, since texels are read at v x 256 + u.
bool isRasterTexture(const display::Surface* texture);

} // namespace engine3d
