#pragma once
// The object scene's polygon drawer: outcodes, Sutherland-Hodgman clipping
// from a fixed vertex pool, scan conversion into spans and the span fillers.
#include <cstdint>
#include <vector>

namespace effects {

// 32-bit pixels the drawer writes into: `pitch` pixels from one row to the
// next, so a canvas may be a window inside a larger buffer.
struct PlaneCanvas {
    std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int pitch = 0;
};

struct PlaneVertex {
    double x = 0.0, y = 0.0;   // model position
    double tx = 0.0, ty = 0.0; // transformed (screen) position
    double u = 0.0, v = 0.0;   // texture coordinates, carried through clipping
    int outcode = 0;
};

// Fill modes of a polygon.
enum : int {
    kFillSolid = 1,    // the colour replaces the pixel
    kFillAdd = 2,      // red, green and blue added, each stopping at 255; top byte kept
    kFillAddPacked = 3 // all four bytes added with saturation, as one packed operation
};

// Outcode of a screen position on a width x height surface: 1 left of x = 0,
// 2 right of x = width, 4 above y = 0, 8 below y = height. A NaN coordinate
// is outside both of its boundaries.
int planeOutcode(double x, double y, int width, int height);

// The scan converter's conversion to integer: upward (the smallest integer
// not below the value). Rows then start on the first pixel row at or below
// an edge's upper end and every x is taken on the edge itself, so polygons
// that share an edge meet without overlap and a mirrored polygon's chains
// never cross. Values beyond +-2^52 (and NaN) are clamped there first.
std::int64_t roundUp(double value);

// Span fillers: `count` pixels from `span` on.
void spanFill(std::uint32_t* span, int count, std::uint32_t colour);
void spanAddRgb(std::uint32_t* span, int count, std::uint32_t colour);
void spanAddPacked(std::uint32_t* span, int count, std::uint32_t colour);

class PolygonDrawer {
public:
    static constexpr int kPoolSize = 1000;

    PolygonDrawer();

    // Draws one convex polygon whose corners carry transformed positions
    // (their outcodes are recomputed here). Polygons wound the other way
    // round (mirrored) produce empty spans and draw nothing.
    void draw(const PlaneCanvas& canvas, const PlaneVertex* const* corners, int count, int fillMode,
              std::uint32_t colour);

    // Vertices the clipper took from the pool for the last polygon.
    int poolUsed() const { return used_; }

private:
    PlaneVertex* takeVertex();
    template <class Inside, class Cut>
    bool clipPass(Inside inside, Cut cut, int width, int height);
    void scanConvert(const PlaneCanvas& canvas, int fillMode, std::uint32_t colour) const;

    std::vector<PlaneVertex> pool_;
    int used_ = 0;
    std::vector<const PlaneVertex*> list_;
    std::vector<const PlaneVertex*> scratch_;
};

} // namespace effects
