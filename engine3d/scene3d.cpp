#include "engine3d/scene3d.h"

#include "engine3d/chunk_buffer.h"
#include "engine3d/studio_reader.h"
#include "platform/file_bytes.h"

#include <iostream>

namespace engine3d {

Vec3 Camera::positionAt(float t)
{
    return positionTrack.keys.empty() ? position : evaluatePositionTrack(positionTrack, t);
}

Vec3 Camera::targetAt(float t) { return targetTrack.keys.empty() ? target : evaluatePositionTrack(targetTrack, t); }

Scene3D::Scene3D(const std::string& path) : Scene3D(path, std::cout) {}

Scene3D::Scene3D(const std::string& path, std::ostream& messages)
{
    std::vector<std::uint8_t> bytes;
    if (!platform::readFileBytes(path, bytes)) {
        messages << "\nKunde inte hitta filen " << path;
        readResult_ = ReadResult::NotOpened;
        return;
    }
    read(bytes.data(), bytes.size(), path, messages);
}

Scene3D::Scene3D(const std::uint8_t* data, std::size_t size, const std::string& path, std::ostream& messages)
{
    read(data, size, path, messages);
}

Scene3D::~Scene3D() = default;

void Scene3D::read(const std::uint8_t* data, std::size_t size, const std::string& path, std::ostream& messages)
{
    readStudioFile(ChunkBuffer(data, size), path, *this, messages);
    prepareTracks();
}

void Scene3D::prepareTracks()
{
    for (auto& m : meshes_) {
        preparePositionTrack(m->positionTrack);
        prepareRotationTrack(m->rotationTrack);
    }
    // Camera targets keep zero tangents: they ease in and out at every key.
    for (auto& c : cameras_)
        preparePositionTrack(c->positionTrack);
}

Mesh* Scene3D::mesh(int i) const { return i >= 0 && i < meshCount() ? meshes_[std::size_t(i)].get() : nullptr; }

Camera* Scene3D::camera(int i) const
{
    return i >= 0 && i < cameraCount() ? cameras_[std::size_t(i)].get() : nullptr;
}

void Scene3D::addMesh(std::unique_ptr<Mesh> mesh) { meshes_.push_back(std::move(mesh)); }

void Scene3D::addCamera(std::unique_ptr<Camera> camera) { cameras_.push_back(std::move(camera)); }

} // namespace engine3d
