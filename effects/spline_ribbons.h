#pragma once
// Spline ribbons: two glowing chains of points on a turning ellipse, smoothed
// by a Kochanek-Bartels spline, bent by two circle inversions and splatted
// additively onto the frame. Nothing survives from one frame to the next.
#include "console/display.h"
#include "engine3d/vec3.h"

#include <cstdint>
#include <vector>

namespace effects {

// One knot of the spline with its Kochanek-Bartels parameters.
struct ControlPoint {
    double tension = 0.0;
    double continuity = 0.0;
    double bias = 0.0;
    engine3d::Vec3 position;
    engine3d::Vec3 incoming{1.0, 0.0, 0.0};
    engine3d::Vec3 outgoing{1.0, 0.0, 0.0};
};

// A point placed along the spline: where it is, and where it is drawn.
struct RibbonPoint {
    engine3d::Vec3 position;
    engine3d::Vec3 drawn;
};

// How a splat adds its colour (see _splatnommx and _splatmmx).
enum class SplatForm { Plain, Mmx };

class PointSet {
public:
    explicit PointSet(int count);

    int size() const { return static_cast<int>(points_.size()); }
    RibbonPoint& operator[](int i) { return points_[static_cast<std::size_t>(i)]; }
    const RibbonPoint& operator[](int i) const { return points_[static_cast<std::size_t>(i)]; }

    // Inversion in the circle (centre, radius) in the x-y plane; z stays.
    // A point exactly on the centre has no image: its x and y become NaN,
    // which the splat never draws.
    void invert(const engine3d::Vec3& centre, double radius);
    void copyToDrawn();
    // One splat per point, on 32-bit pixels with `pitch` pixels per row.
    void drawAll(std::uint32_t* pixels, int width, int height, int pitch, std::uint8_t blue, std::uint8_t green,
                 std::uint8_t red, SplatForm form) const;

private:
    std::vector<RibbonPoint> points_;
};

// The knots of one spline, in chain order.
class ControlChain {
public:
    void append(const ControlPoint& point) { points_.push_back(point); }
    int size() const { return static_cast<int>(points_.size()); }
    ControlPoint& operator[](int i) { return points_[static_cast<std::size_t>(i)]; }
    const ControlPoint& operator[](int i) const { return points_[static_cast<std::size_t>(i)]; }

    // Kochanek-Bartels tangents: interior knots from their neighbours, the
    // last knot from its predecessor's outgoing tangent, the first knot last
    // of all from its successor's incoming tangent.
    void computeTangents();
    // Places the point set along the spline: every segment gets
    // trunc(N / (n - 1)) points, the first N mod (n - 1) segments one more,
    // each at cubic Hermite parameters 0, step, 2 step, ...
    void distribute(PointSet& points) const;

private:
    std::vector<ControlPoint> points_;
};

// The screen position of a drawn point (projected at depth 256 through the
// centre of a width x height surface). False when the splat would touch the
// outermost rows or columns or the point is not a finite position.
bool splatPosition(const engine3d::Vec3& drawn, int width, int height, int& sx, int& sy);

// Processor information, filled once from the processor itself.
struct ProcessorInfo {
    char vendor[13] = {};
    std::uint8_t fpu = 0;
    std::uint8_t mmx = 0;
};

// The process's record, filled by _hamtacpuinfo on first use.
const ProcessorInfo& processorInfo();

// Fills the 12-character vendor string (plus terminator) and the FPU and MMX
// flags (0 or 1) from the processor.
void _hamtacpuinfo(char* vendor, std::uint8_t* fpu, std::uint8_t* mmx);

// One splat: `centre` points at the pixel, `pitch` is the row length in
// pixels, and the four neighbours must exist. The pixel gets the colour, its
// neighbours half of it, added with saturation at 255 per channel.
// Plain form: a to bits 0-7, b to bits 8-15, c to bits 16-23; top byte kept.
void _splatnommx(std::uint32_t* centre, int pitch, std::uint8_t a, std::uint8_t b, std::uint8_t c);
// Vector form: the channels the other way round (a to bits 16-23, c to 0-7).
void _splatmmx(std::uint32_t* centre, int pitch, std::uint8_t a, std::uint8_t b, std::uint8_t c);

class SplineRibbons {
public:
    // Splat form from the processor's MMX flag.
    SplineRibbons();
    explicit SplineRibbons(SplatForm form) : form_(form) {}

    // Draws both ribbons at time t (ms) onto the surface. A surface that is
    // empty or not of 32-bit pixels is left alone.
    void draw(double t, display::Surface& surface) const;

    // The 41 knots of ribbon 1 or 2 at time t, tangents not yet computed.
    static ControlChain buildChain(int ribbon, double t);

    SplatForm form() const { return form_; }

private:
    SplatForm form_;
};

} // namespace effects
