#pragma once
// A loaded 3D Studio scene: its meshes and cameras in file order, their
// keyframe tracks and the scene's texture cache.
#include "console/display.h"
#include "engine3d/keyframes.h"
#include "engine3d/screen_vertex.h"
#include "engine3d/texture_cache.h"
#include "engine3d/transform.h"

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace platform {
class Profile;
}

namespace engine3d {

// Texture coordinates of one face corner, in texels.
struct TexCoord {
    float u = 0.0f;
    float v = 0.0f;
};

struct Face {
    int cornerCount = 3;
    ScreenVertex* corners[3] = {nullptr, nullptr, nullptr}; // into the mesh's screenVertices
    TexCoord uv[3];
    std::uint8_t clipFlag = 0;
    display::Surface* texture = nullptr; // cached by the scene, not owned
};

class Mesh {
public:
    Mesh() = default;
    // Faces point into screenVertices: a mesh never moves or copies.
    Mesh(const Mesh&) = delete;
    Mesh& operator=(const Mesh&) = delete;

    std::string name;
    double boundingRadius = 0.0;
    MaterialKind kind = Textured;
    std::string textureName; // as the settings file gave it; empty before

    // i * 256 + j holds i * j; built for Wireframe meshes only, else empty.
    std::vector<std::uint32_t> productTable;
    Vec3 position; // current position
    std::vector<Vec3> vertices;                // object space after loading
    std::vector<ScreenVertex> screenVertices;  // one per vertex, sourceIndex set
    std::vector<Face> faces;
    Transform localTransform; // the file's local axes and origin
    PositionTrack positionTrack;
    RotationTrack rotationTrack;
    ScaleTrack scaleTrack;
    Vec3 pivot;

    int vertexCount() const { return int(vertices.size()); }
    int faceCount() const { return int(faces.size()); }
};

class Camera {
public:
    Camera() = default;
    Camera(const Camera&) = delete;
    Camera& operator=(const Camera&) = delete;

    std::string name;
    Vec3 position; // as stored in the file
    Vec3 target;
    float roll = 0.0f;
    float focalLength = 256.0f;
    // Signed 1/z in 8.24 fixed point, laid out like the surface: rows
    // |pitch| / 4 entries apart. depthStorage owns the entries; depthBuffer is
    // where row 0 starts (inside the block when the pitch is negative).
    std::vector<std::int32_t> depthStorage;
    std::int32_t* depthBuffer = nullptr;
    Transform view;
    PositionTrack positionTrack;
    PositionTrack targetTrack;
    ScalarTrack fovTrack;
    ScalarTrack rollTrack;
    display::Surface* surface = nullptr; // not owned
    Frustum frustum;
    // Size and pitch of the surface the depth buffer was made for, kept here
    // so that the next setSurface never asks a surface that may be gone.
    int depthWidth = 0;
    int depthHeight = 0;
    int depthPitch = 0;

    // Position and target at time t: the tracks', or the stored position and
    // target when a track has no keys.
    Vec3 positionAt(float t);
    Vec3 targetAt(float t);

    // Defined with the render pipeline.
    void setSurface(display::Surface* surface);
    void clearDepth(std::uint8_t value);
};

// What the file scan ended with.
enum class ReadResult { Done = 0, NotOpened = 1 };

class Scene3D {
public:
    // Reads a 3D Studio file (backslashes in the path are taken as folder
    // separators) and prepares its tracks. Progress messages go to
    // `messages`. A file that cannot be opened gives an empty scene.
    explicit Scene3D(const std::string& path, std::ostream& messages);
    explicit Scene3D(const std::string& path);
    // The same from a file already in memory; `path` only names it in the
    // messages.
    Scene3D(const std::uint8_t* data, std::size_t size, const std::string& path, std::ostream& messages);
    ~Scene3D();
    Scene3D(const Scene3D&) = delete;
    Scene3D& operator=(const Scene3D&) = delete;

    ReadResult readResult() const { return readResult_; }

    int meshCount() const { return int(meshes_.size()); }
    int cameraCount() const { return int(cameras_.size()); }
    // The i-th in file order from 0; nullptr when there is none.
    Mesh* mesh(int i) const;
    Camera* camera(int i) const;
    // Highest key frame number read from any track.
    int lastFrame() const { return lastFrame_; }

    void addMesh(std::unique_ptr<Mesh> mesh);
    void addCamera(std::unique_ptr<Camera> camera);
    // Highest frame seen so far, raised by every key read.
    void noteFrame(std::int32_t frame)
    {
        if (frame > lastFrame_)
            lastFrame_ = frame;
    }

    // Gives every mesh its texture and drawing kind from a settings file
    // (sections named like the meshes, and "Default").
    void applySettings(const std::string& settingsPath);
    void applySettings(const platform::Profile& settings);

    TextureCache& textures() { return textures_; }

    // Defined with the render pipeline: draws the scene through camera
    // `camera` at time t (key frames) into the camera's surface and returns
    // it; nullptr when there is no such camera or it has no surface.
    display::Surface* render(int camera, float t);

private:
    void read(const std::uint8_t* data, std::size_t size, const std::string& path, std::ostream& messages);
    void prepareTracks();

    ReadResult readResult_ = ReadResult::Done;
    int lastFrame_ = 0;
    std::vector<std::unique_ptr<Mesh>> meshes_;
    std::vector<std::unique_ptr<Camera>> cameras_;
    TextureCache textures_;
};

// i * 256 + j holds i * j for i, j in 0..255.
std::vector<std::uint32_t> makeProductTable();

} // namespace engine3d
