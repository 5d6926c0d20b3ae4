// The frame of a scene: the camera's surface and depth buffer, its view, and
// the mesh pass that animates, transforms, rejects, projects and hands faces
// to their drawers.
#include "console/surface_lock.h"
#include "engine3d/face_drawers.h"
#include "engine3d/fixed_point.h"
#include "engine3d/pipeline.h"
#include "engine3d/scene3d.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace engine3d {

void Camera::setSurface(display::Surface* newSurface)
{
    surface = newSurface;
    if (!newSurface) {
        frustum = Frustum{};
        return;
    }
    const int width = newSurface->width();
    const int height = newSurface->height();
    const int pitch = newSurface->pitch();
    // The depth buffer stays while surfaces of one size (and row layout)
    // follow each other, as the driver's two frame surfaces do.
    if (!depthBuffer || width != depthWidth || height != depthHeight || pitch != depthPitch) {
        const std::size_t row = std::size_t(std::abs(pitch / 4));
        depthStorage.assign(row * std::size_t(height + 10), 0);
        // With rows running upward, row 0 lies near the end of the block.
        depthBuffer = depthStorage.data() + (pitch < 0 ? row * std::size_t(height + 5) : 0);
        depthWidth = width;
        depthHeight = height;
        depthPitch = pitch;
    }
    frustum = makeFrustum(width, height, focalLength);
}

void Camera::clearDepth(std::uint8_t value)
{
    if (!depthBuffer)
        return;
    for (int y = 0; y < depthHeight; ++y)
        std::memset(rowAt(depthBuffer, y, depthPitch), value, std::size_t(depthWidth) * 4);
}

namespace {

bool sphereOutside(const Vec3& centre, double radius, const Frustum& frustum)
{
    auto outside = [&](const Plane& p) { return p.nx * centre.x + p.ny * centre.y + p.nz * centre.z - p.d + radius < 0.0; };
    for (int i = 0; i < frustum.sideCount; ++i)
        if (outside(frustum.sides[i]))
            return true;
    return outside(frustum.nearPlane) || outside(frustum.farPlane);
}

void meshPass(Mesh& mesh, const Camera& camera, float t, FaceContext& context)
{
    mesh.position = evaluatePositionTrack(mesh.positionTrack, t);
    Transform toCamera = evaluateRotationTrack(mesh.rotationTrack, t);
    toCamera.translation = mesh.position;
    toCamera.compose(camera.view);

    // The whole mesh goes before any vertex is touched when its bounding
    // sphere lies behind one plane.
    if (sphereOutside(camera.view.apply(mesh.position), mesh.boundingRadius, camera.frustum))
        return;

    const std::size_t count = std::min(mesh.vertices.size(), mesh.screenVertices.size());
    for (std::size_t i = 0; i < count; ++i) {
        ScreenVertex& s = mesh.screenVertices[i];
        const Vec3 p = toCamera.apply(mesh.vertices[i]);
        s.x = p.x;
        s.y = p.y;
        s.z = p.z;
        s.outcode = outcodes(s, camera.frustum);
        // Corners beyond the far plane alone are drawn unclipped, so they are
        // projected too.
        if ((s.outcode & ~kOutsideFar) == 0)
            project(s, context.projection);
    }

    // All faces of a textured mesh share its first face's texture.
    std::optional<display::SurfaceLock> texture;
    if (mesh.kind == Textured) {
        if (mesh.faces.empty() || !isRasterTexture(mesh.faces.front().texture))
            return;
        texture.emplace(*mesh.faces.front().texture);
    }
    if (mesh.kind == Wireframe && mesh.productTable.size() != 256 * 256)
        mesh.productTable = makeProductTable();

    for (Face& face : mesh.faces) {
        const ScreenVertex& c0 = *face.corners[0];
        const ScreenVertex& c1 = *face.corners[1];
        const ScreenVertex& c2 = *face.corners[2];
        if (c0.outcode & c1.outcode & c2.outcode)
            continue; // all corners outside one plane
        if ((c0.outcode | c1.outcode | c2.outcode) & ~kOutsideFar) {
            face.clipFlag = 1;
        } else {
            face.clipFlag = 0;
            if (mesh.kind != Wireframe && !facesViewer(c0, c1, c2))
                continue;
        }
        switch (mesh.kind) {
        case Textured:
            drawTexturedFace(face, context, texture->pixels());
            break;
        case PerspectiveTextured:
            drawPerspectiveFace(face, context);
            break;
        case Wireframe:
            drawWireframeFace(face, context, mesh.productTable.data());
            break;
        case Flat:
            drawFlatFace(face, context);
            break;
        }
    }
}

} // namespace

display::Surface* Scene3D::render(int cameraIndex, float t)
{
    Camera* cam = camera(cameraIndex);
    if (!cam)
        return nullptr;
    cam->view = viewTransform(cam->positionAt(t), cam->targetAt(t), cam->roll);
    if (!cam->surface)
        return nullptr;
    display::Surface& surface = *cam->surface;
    // Drawn only into the surface the depth buffer was made for.
    if (!cam->depthBuffer || surface.empty() || cam->frustum.sideCount != 4 || surface.width() != cam->depthWidth ||
        surface.height() != cam->depthHeight || surface.pitch() != cam->depthPitch)
        return cam->surface;
    display::SurfaceLock target(surface);
    const Projection projection{cam->focalLength, surface.width() >> 1, surface.height() >> 1};
    FaceContext context{{target.pixels(), cam->depthBuffer, surface.pitch(), surface.width(), surface.height()},
                        projection,
                        FaceClipper(cam->frustum, projection)};
    for (int i = 0; i < meshCount(); ++i) {
        Mesh& m = *mesh(i);
        if (m.kind == Textured || m.kind == PerspectiveTextured || m.kind == Wireframe || m.kind == Flat)
            meshPass(m, *cam, t, context);
    }
    return cam->surface;
}

} // namespace engine3d
