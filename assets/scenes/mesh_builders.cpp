#include "assets/common/det_math.h"
#include "assets/scenes/scene_model.h"

#include <cmath>
#include <stdexcept>

namespace assets::scenes {
namespace {

std::uint16_t index16(std::size_t i)
{
    if (i > 32767)
        throw std::length_error("mesh has too many vertices for a 3D Studio file");
    return std::uint16_t(i);
}

V3 cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Adds the quad a-b-c-d (counter-clockwise seen from outside) as two triangles.
void quad(Mesh& m, std::size_t a, std::size_t b, std::size_t c, std::size_t d)
{
    m.faces.push_back({index16(a), index16(b), index16(c)});
    m.faces.push_back({index16(a), index16(c), index16(d)});
}

} // namespace

Mesh sphere(const std::string& name, V3 centre, double radius, int segments, int rings, double uRepeat, double vRepeat)
{
    Mesh m;
    m.name = name;
    m.origin = centre;
    // Rows from the north pole (ring 0) to the south pole; one extra column
    // repeats the first with u = uRepeat so the seam needs no wrap.
    for (int r = 0; r <= rings; ++r) {
        const double polar = dmath::pi * double(r) / double(rings);
        for (int s = 0; s <= segments; ++s) {
            const double az = 2.0 * dmath::pi * double(s) / double(segments);
            const double sp = dmath::sin(polar);
            m.vertices.push_back(centre + V3{sp * dmath::cos(az), sp * dmath::sin(az), dmath::cos(polar)} * radius);
            m.mapping.push_back({uRepeat * double(s) / double(segments), vRepeat * double(r) / double(rings)});
        }
    }
    const int cols = segments + 1;
    for (int r = 0; r < rings; ++r)
        for (int s = 0; s < segments; ++s) {
            const std::size_t a = std::size_t(r * cols + s), b = std::size_t(r * cols + s + 1);
            const std::size_t c = std::size_t((r + 1) * cols + s + 1), d = std::size_t((r + 1) * cols + s);
            // Seen from outside, with z up: going along +azimuth then down is clockwise,
            // so the quad is a, d, c, b.
            if (r == 0)
                m.faces.push_back({index16(a), index16(d), index16(c)});
            else if (r == rings - 1)
                m.faces.push_back({index16(a), index16(d), index16(b)});
            else
                quad(m, a, d, c, b);
        }
    return m;
}

Mesh torus(const std::string& name, V3 centre, double major, double minor, int segments, int sides, double uRepeat,
           double vRepeat)
{
    Mesh m;
    m.name = name;
    m.origin = centre;
    for (int i = 0; i <= segments; ++i) {
        const double a = 2.0 * dmath::pi * double(i) / double(segments);
        for (int j = 0; j <= sides; ++j) {
            const double b = 2.0 * dmath::pi * double(j) / double(sides);
            const double rr = major + minor * dmath::cos(b);
            m.vertices.push_back(centre + V3{rr * dmath::cos(a), rr * dmath::sin(a), minor * dmath::sin(b)});
            m.mapping.push_back({uRepeat * double(i) / double(segments), vRepeat * double(j) / double(sides)});
        }
    }
    const int cols = sides + 1;
    for (int i = 0; i < segments; ++i)
        for (int j = 0; j < sides; ++j) {
            const std::size_t a = std::size_t(i * cols + j), b = std::size_t((i + 1) * cols + j);
            const std::size_t c = std::size_t((i + 1) * cols + j + 1), d = std::size_t(i * cols + j + 1);
            quad(m, a, b, c, d);
        }
    return m;
}

Mesh box(const std::string& name, V3 c, V3 h)
{
    Mesh m;
    m.name = name;
    m.origin = c;
    m.smoothing = 0;
    // Each side gets its own four corners so its mapping covers the texture once.
    const V3 normals[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    for (const V3& n : normals) {
        // Two directions across the side, chosen so that u x v = n.
        const V3 up = std::fabs(n.z) > 0.5 ? V3{0, 1, 0} : V3{0, 0, 1};
        const V3 u = cross(up, n);
        const V3 v = cross(n, u);
        const V3 centre = c + V3{n.x * h.x, n.y * h.y, n.z * h.z};
        const V3 su{u.x * h.x, u.y * h.y, u.z * h.z}, sv{v.x * h.x, v.y * h.y, v.z * h.z};
        const std::size_t base = m.vertices.size();
        m.vertices.push_back(centre - su - sv);
        m.vertices.push_back(centre + su - sv);
        m.vertices.push_back(centre + su + sv);
        m.vertices.push_back(centre - su + sv);
        m.mapping.push_back({0, 1});
        m.mapping.push_back({1, 1});
        m.mapping.push_back({1, 0});
        m.mapping.push_back({0, 0});
        quad(m, base, base + 1, base + 2, base + 3);
    }
    return m;
}

Mesh floorGrid(const std::string& name, V3 centre, double halfSize, int cells, double repeat)
{
    Mesh m;
    m.name = name;
    m.origin = centre;
    m.smoothing = 0;
    for (int j = 0; j <= cells; ++j)
        for (int i = 0; i <= cells; ++i) {
            const double fx = double(i) / double(cells), fy = double(j) / double(cells);
            m.vertices.push_back(centre + V3{(fx * 2.0 - 1.0) * halfSize, (1.0 - fy * 2.0) * halfSize, 0});
            m.mapping.push_back({fx * repeat, fy * repeat});
        }
    const int cols = cells + 1;
    for (int j = 0; j < cells; ++j)
        for (int i = 0; i < cells; ++i) {
            // Row j runs towards -y; seen from above (+z) a, d, c, b is counter-clockwise.
            const std::size_t a = std::size_t(j * cols + i), b = std::size_t(j * cols + i + 1);
            const std::size_t c = std::size_t((j + 1) * cols + i + 1), d = std::size_t((j + 1) * cols + i);
            quad(m, a, d, c, b);
        }
    return m;
}

Mesh cone(const std::string& name, V3 apex, V3 baseCentre, double radius, int sides)
{
    Mesh m;
    m.name = name;
    m.origin = apex;
    m.smoothing = 0;
    const V3 axis = baseCentre - apex;
    const V3 helper = std::fabs(axis.z) > std::fabs(axis.x) ? V3{1, 0, 0} : V3{0, 0, 1};
    V3 e1 = cross(axis, helper);
    e1 = e1 * (1.0 / std::sqrt(dot(e1, e1)));
    V3 e2 = cross(axis, e1);
    e2 = e2 * (1.0 / std::sqrt(dot(e2, e2)));
    m.vertices.push_back(apex);
    m.mapping.push_back({0.5, 0});
    for (int i = 0; i < sides; ++i) {
        const double a = 2.0 * dmath::pi * double(i) / double(sides);
        m.vertices.push_back(baseCentre + e1 * (dmath::cos(a) * radius) + e2 * (dmath::sin(a) * radius));
        m.mapping.push_back({double(i) / double(sides), 1});
    }
    for (int i = 0; i < sides; ++i) {
        const std::size_t b = std::size_t(1 + i), c = std::size_t(1 + (i + 1) % sides);
        // Orient each side outward: its normal must point away from the axis.
        const V3 n = cross(m.vertices[b] - apex, m.vertices[c] - apex);
        const V3 mid = (m.vertices[b] + m.vertices[c]) * 0.5 - baseCentre;
        if (dot(n, mid) >= 0)
            m.faces.push_back({0, index16(b), index16(c)});
        else
            m.faces.push_back({0, index16(c), index16(b)});
    }
    return m;
}

void merge(Mesh& a, const Mesh& b)
{
    const std::size_t base = a.vertices.size();
    a.vertices.insert(a.vertices.end(), b.vertices.begin(), b.vertices.end());
    a.mapping.insert(a.mapping.end(), b.mapping.begin(), b.mapping.end());
    for (const auto& f : b.faces)
        a.faces.push_back({index16(base + f[0]), index16(base + f[1]), index16(base + f[2])});
}

PositionKey still(V3 value)
{
    PositionKey k;
    k.value = value;
    return k;
}

std::vector<PositionKey> orbit(V3 centre, double radius, double height, double phase, std::int32_t length, int count,
                               int turns)
{
    std::vector<PositionKey> keys;
    for (int i = 0; i <= count; ++i) {
        const int k = i == count ? 0 : i; // the last key repeats the first exactly
        const double a = phase + 2.0 * dmath::pi * double(turns) * double(k) / double(count);
        PositionKey key;
        key.frame = std::int32_t(std::int64_t(length) * i / count);
        key.value = centre + V3{radius * dmath::cos(a), radius * dmath::sin(a), height};
        keys.push_back(key);
    }
    return keys;
}

std::vector<RotationKey> spin(V3 axis, int turns, std::int32_t length, int count)
{
    std::vector<RotationKey> keys;
    RotationKey first;
    first.axis = axis;
    keys.push_back(first);
    for (int i = 1; i <= count; ++i) {
        RotationKey k;
        k.frame = std::int32_t(std::int64_t(length) * i / count);
        k.angle = 2.0 * dmath::pi * double(turns) / double(count);
        k.axis = axis;
        keys.push_back(k);
    }
    return keys;
}

} // namespace assets::scenes
