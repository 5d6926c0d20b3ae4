#pragma once
// The object scene: flat vector shapes (a star, a toothed ring, a tile) made
// of convex polygons, placed by 3x3 plane transforms, clipped to the frame and
// filled opaquely or additively.
#include "console/display.h"
#include "console/surface_lock.h"
#include "effects/object_polygon.h"

#include <cstdint>
#include <vector>

namespace effects {

// 3x3 transform acting on row vectors: x' = x m00 + y m10 + m20,
// y' = x m01 + y m11 + m21. In A * B * C, A acts first.
struct PlaneTransform {
    double m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};

    static PlaneTransform identity() { return PlaneTransform{}; }
    static PlaneTransform scale(double sx, double sy);
    static PlaneTransform translate(double tx, double ty);
    static PlaneTransform rotate(double angle);

    PlaneTransform operator*(const PlaneTransform& b) const;
    void apply(double x, double y, double& outX, double& outY) const
    {
        outX = x * m[0][0] + y * m[1][0] + m[2][0];
        outY = x * m[0][1] + y * m[1][1] + m[2][1];
    }
};

struct PlanePolygon {
    std::vector<int> corners; // indices into the shape's vertices, in order
    int fillMode = kFillSolid;
    std::uint32_t colour = 0xffffff;
};

// Locks the surface, hands it to `draw` as a canvas and unlocks it again. An
// empty or non-32-bit surface is left alone: nothing to draw on, or not the
// 32-bit pixels the drawer writes.
template <typename Draw>
void drawOnSurface(display::Surface& surface, Draw&& draw)
{
    if (surface.empty() || surface.format().bytes() != 4)
        return;
    const display::SurfaceLock lock(surface);
    draw(PlaneCanvas{lock.pixels(), surface.width(), surface.height(), surface.pitch() / 4});
}

class Shape {
public:
    int addVertex(double x, double y);
    // A new polygon with no corners yet; returns its index.
    int addPolygon(int fillMode, std::uint32_t colour);
    void addCorner(int polygon, int vertex);

    void setTransform(const PlaneTransform& transform) { transform_ = transform; }
    void setFillMode(int mode);
    void setColour(std::uint32_t colour);

    // Transforms every vertex, then draws every polygon in order. The surface
    // form locks and unlocks it; an empty or non-32-bit surface is left alone.
    void render(const PlaneCanvas& canvas, PolygonDrawer& drawer);
    void render(display::Surface& surface, PolygonDrawer& drawer);

    const std::vector<PlaneVertex>& vertices() const { return vertices_; }
    const std::vector<PlanePolygon>& polygons() const { return polygons_; }
    const PlaneTransform& transform() const { return transform_; }

private:
    std::vector<PlaneVertex> vertices_;
    std::vector<PlanePolygon> polygons_;
    PlaneTransform transform_;
    std::vector<const PlaneVertex*> cornerScratch_;
};

// 6.283184 is the builders' full turn; angles grow counter-clockwise on the
// screen because y is negated.
// One polygon of n corners on the ellipse (rx, ry).
Shape buildPolygonShape(int corners, double rx, double ry, int fillMode, std::uint32_t colour);
// n points: an inner n-gon on (rx, ry) plus n spike triangles reaching spike further.
Shape buildStarShape(int points, double rx, double ry, double spike, int fillMode, std::uint32_t colour);
// 2n quadrilaterals between an outer and an inner edge `depth` apart, every
// other pair of vertices pushed out by `tooth`.
Shape buildRingShape(int n, double rx, double ry, double depth, double tooth, int fillMode, std::uint32_t colour);

class ObjectScene {
public:
    // flag 0: the ring adds with the plain per-channel fill (mode 2); any
    // other value: with the packed fill (mode 3).
    explicit ObjectScene(int flag);

    // The star and a ring zooming out of the centre, a second ring shrinking
    // in from far away; time x in ms. The texture is not used by these fills.
    void renderIntro(display::Surface& surface, display::Surface* texture, float x);
    void renderIntro(const PlaneCanvas& canvas, float x);
    // Four orange and five blue tiles circling the centre; x is time x 0.002.
    void renderMain(display::Surface& surface, double x);
    void renderMain(const PlaneCanvas& canvas, double x);

    Shape& star() { return star_; }
    Shape& ring() { return ring_; }
    Shape& tile() { return tile_; }
    PolygonDrawer& drawer() { return drawer_; }

private:
    Shape star_;
    Shape ring_;
    Shape tile_;
    PolygonDrawer drawer_;
};

} // namespace effects
