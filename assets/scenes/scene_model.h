#pragma once
// What the generator knows of a 3D Studio scene before it is encoded: meshes
// in the file's own axes (z up, right-handed, faces counter-clockwise seen
// from outside), keyframe tracks, one camera, and a material per mesh for
// readers that use them.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace assets::scenes {

struct V3 {
    double x = 0, y = 0, z = 0;
};
inline V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline V3 operator*(V3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }

struct UV {
    double u = 0, v = 0;
};

// Tension, continuity and bias of a key (flag bits 0, 1, 2 when non-zero),
// and optional ease values (bits 3 and 4).
struct KeyShape {
    double tension = 0, continuity = 0, bias = 0;
    double easeTo = 0, easeFrom = 0;
};

struct PositionKey {
    std::int32_t frame = 0;
    V3 value;
    KeyShape shape;
};

// Rotation relative to the previous key (the first key is absolute).
struct RotationKey {
    std::int32_t frame = 0;
    double angle = 0; // radians
    V3 axis{0, 0, 1};
    KeyShape shape;
};

struct ScalarKey {
    std::int32_t frame = 0;
    double value = 0;
    KeyShape shape;
};

struct Mesh {
    std::string name;
    std::vector<V3> vertices; // world positions at frame 0
    std::vector<UV> mapping;  // one per vertex; v = 0 is the texture's top row
    std::vector<std::array<std::uint16_t, 3>> faces;
    std::uint32_t smoothing = 1; // smoothing group of every face (0: faceted)
    V3 origin;                    // origin of the local axes (the axes are the world's)
    bool hasPivot = false;
    V3 pivot;
    std::vector<PositionKey> position;
    std::vector<RotationKey> rotation;
    std::vector<PositionKey> scale; // values are scale factors
    std::string material;
};

struct Material {
    std::string name;
    std::uint32_t diffuse = 0xffffff; // 0xRRGGBB
    std::string textureFile;          // bare file name, empty for none
};

struct Camera {
    std::string name;
    double lens = 50; // millimetres, for readers that use it
    std::vector<PositionKey> position;
    std::vector<PositionKey> target;
    std::vector<ScalarKey> fov;  // degrees
    std::vector<ScalarKey> roll; // degrees
};

struct Scene {
    std::vector<Material> materials;
    std::vector<Mesh> meshes;
    Camera camera;
    std::int32_t lastFrame = 0;
};

// The scene as a 3D Studio file.
std::vector<std::uint8_t> encode3ds(const Scene& scene);

// Builders. Every mesh is closed or open as named and wound counter-clockwise
// seen from outside (from above for planes). Mapping coordinates run over
// 0..uRepeat across and 0..vRepeat down.
Mesh sphere(const std::string& name, V3 centre, double radius, int segments, int rings, double uRepeat, double vRepeat);
Mesh torus(const std::string& name, V3 centre, double major, double minor, int segments, int sides, double uRepeat,
           double vRepeat);
Mesh box(const std::string& name, V3 centre, V3 half);
Mesh floorGrid(const std::string& name, V3 centre, double halfSize, int cells, double repeat);
// A pyramid of `sides` sides from an apex down to a base circle.
Mesh cone(const std::string& name, V3 apex, V3 baseCentre, double radius, int sides);
// Appends b's vertices and faces to a (same mapping rules).
void merge(Mesh& a, const Mesh& b);

// A single key at frame 0: a position that never changes, or with {1, 1, 1}
// the unit scale.
PositionKey still(V3 value);
// Keys that go once around a horizontal circle (frames 0..length, `count`
// segments, the last key equal to the first).
std::vector<PositionKey> orbit(V3 centre, double radius, double height, double phase, std::int32_t length, int count,
                               int turns);
// Keys that spin `turns` whole turns about an axis in `count` equal steps.
std::vector<RotationKey> spin(V3 axis, int turns, std::int32_t length, int count);

} // namespace assets::scenes
