// Plane transforms, shapes and the three shape builders of the object scene.
#include "effects/object_scene.h"
#include "platform/portable_math.h"

#include <cmath>

namespace effects {

namespace {
constexpr double kFullTurn = 6.283184;
} // namespace

PlaneTransform PlaneTransform::scale(double sx, double sy)
{
    PlaneTransform t;
    t.m[0][0] = sx;
    t.m[1][1] = sy;
    return t;
}

PlaneTransform PlaneTransform::translate(double tx, double ty)
{
    PlaneTransform t;
    t.m[2][0] = tx;
    t.m[2][1] = ty;
    return t;
}

PlaneTransform PlaneTransform::rotate(double angle)
{
    PlaneTransform t;
    const double c = platform::math::cos(angle);
    const double s = platform::math::sin(angle);
    t.m[0][0] = c;
    t.m[0][1] = s;
    t.m[1][0] = -s;
    t.m[1][1] = c;
    return t;
}

PlaneTransform PlaneTransform::operator*(const PlaneTransform& b) const
{
    PlaneTransform r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r.m[i][j] = m[i][0] * b.m[0][j] + m[i][1] * b.m[1][j] + m[i][2] * b.m[2][j];
    return r;
}

int Shape::addVertex(double x, double y)
{
    PlaneVertex v;
    v.x = x;
    v.y = y;
    vertices_.push_back(v);
    return static_cast<int>(vertices_.size()) - 1;
}

int Shape::addPolygon(int fillMode, std::uint32_t colour)
{
    PlanePolygon polygon;
    polygon.fillMode = fillMode;
    polygon.colour = colour;
    polygons_.push_back(polygon);
    return static_cast<int>(polygons_.size()) - 1;
}

void Shape::addCorner(int polygon, int vertex)
{
    polygons_[static_cast<std::size_t>(polygon)].corners.push_back(vertex);
}

void Shape::setFillMode(int mode)
{
    for (auto& polygon : polygons_)
        polygon.fillMode = mode;
}

void Shape::setColour(std::uint32_t colour)
{
    for (auto& polygon : polygons_)
        polygon.colour = colour;
}

void Shape::render(const PlaneCanvas& canvas, PolygonDrawer& drawer)
{
    for (auto& v : vertices_)
        transform_.apply(v.x, v.y, v.tx, v.ty);
    for (const auto& polygon : polygons_) {
        cornerScratch_.clear();
        for (int index : polygon.corners)
            cornerScratch_.push_back(&vertices_[static_cast<std::size_t>(index)]);
        drawer.draw(canvas, cornerScratch_.data(), static_cast<int>(cornerScratch_.size()), polygon.fillMode,
                    polygon.colour);
    }
}

void Shape::render(display::Surface& surface, PolygonDrawer& drawer)
{
    drawOnSurface(surface, [&](const PlaneCanvas& canvas) { render(canvas, drawer); });
}

Shape buildPolygonShape(int corners, double rx, double ry, int fillMode, std::uint32_t colour)
{
    Shape shape;
    if (corners < 1)
        return shape;
    int polygon = shape.addPolygon(fillMode, colour);
    for (int k = 0; k < corners; ++k) {
        double angle = k * kFullTurn / corners;
        shape.addCorner(polygon, shape.addVertex(rx * platform::math::cos(angle), -ry * platform::math::sin(angle)));
    }
    return shape;
}

Shape buildStarShape(int points, double rx, double ry, double spike, int fillMode, std::uint32_t colour)
{
    Shape shape;
    if (points < 1)
        return shape;
    const int total = 2 * points;
    for (int k = 0; k < total; ++k) {
        double angle = k * kFullTurn / total;
        if (k % 2 == 1)
            shape.addVertex(rx * platform::math::cos(angle), -ry * platform::math::sin(angle));
        else
            shape.addVertex((rx + spike) * platform::math::cos(angle), -(ry + spike) * platform::math::sin(angle));
    }
    int inner = shape.addPolygon(fillMode, colour);
    for (int k = 1; k < total; k += 2)
        shape.addCorner(inner, k);
    for (int j = 1; j <= points; ++j) {
        int triangle = shape.addPolygon(fillMode, colour);
        shape.addCorner(triangle, (2 * j - 1) % total);
        shape.addCorner(triangle, (2 * j) % total);
        shape.addCorner(triangle, (2 * j + 1) % total);
    }
    return shape;
}

Shape buildRingShape(int n, double rx, double ry, double depth, double tooth, int fillMode, std::uint32_t colour)
{
    Shape shape;
    if (n < 1)
        return shape;
    const int pairs = 2 * n;
    const int total = 4 * n;
    for (int i = 0; i < pairs; ++i) {
        double angle = i * kFullTurn / pairs;
        double c = platform::math::cos(angle);
        double s = platform::math::sin(angle);
        if (i % 2 == 1) {
            shape.addVertex(rx * c, -ry * s);
            shape.addVertex((rx - depth) * c, -(ry - depth) * s);
        } else {
            shape.addVertex((rx + tooth) * c, -(ry + tooth) * s);
            shape.addVertex((rx + tooth - depth) * c, -(ry + tooth - depth) * s);
        }
    }
    for (int q = 0; q < pairs; ++q) {
        int quad = shape.addPolygon(fillMode, colour);
        shape.addCorner(quad, (2 * q + 2) % total);
        shape.addCorner(quad, (2 * q + 3) % total);
        shape.addCorner(quad, (2 * q + 1) % total);
        shape.addCorner(quad, (2 * q) % total);
    }
    return shape;
}

} // namespace effects
