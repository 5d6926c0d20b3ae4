#pragma once
// The vertex record every rasterizer reads, the drawing kinds of a mesh, and
// the camera's clipping volume. Shared by the scene model (which allocates one
// ScreenVertex per mesh vertex) and the pipeline and face drawers (which fill
// and read them every frame).
#include <cstdint>

namespace engine3d {

// Per-mesh drawing kind, as the settings file's "Typ" values give them.
enum MaterialKind : int {
    Textured = 1,
    PerspectiveTextured = 3,
    Wireframe = 8,
    Flat = 64,
};

// Outcode bits: bit i (0..3) outside side plane i, then near and far.
constexpr std::uint32_t kOutsideNear = 0x40000000u;
constexpr std::uint32_t kOutsideFar = 0x80000000u;

struct ScreenVertex {
    double x = 0.0, y = 0.0, z = 0.0; // camera space: x right, y down, z forward
    float u = 0.0f, v = 0.0f;         // texture coordinates in texels
    float w = 0.0f;                   // 1/z, written by projection
    float sx = 0.0f, sy = 0.0f;       // screen position in pixels
    std::uint32_t outcode = 0;
    std::uint32_t sourceIndex = 0;    // the vertex's number in its mesh
    double uz = 0.0, vz = 0.0, iz = 0.0; // u/z, v/z, 1/z for perspective spans
};

// A point p is inside when n·p − d >= 0.
struct Plane {
    double nx = 0.0, ny = 0.0, nz = 0.0, d = 0.0;
};

struct Frustum {
    int sideCount = 0; // 4 once built; 0 while the camera has no surface
    Plane sides[4];
    Plane nearPlane;
    Plane farPlane;
};

} // namespace engine3d
