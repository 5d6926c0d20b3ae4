#include "engine3d/studio_reader.h"

#include "engine3d/scene3d.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>
#include <ostream>
#include <vector>

namespace engine3d {
namespace {

// Chunk ids.
constexpr std::uint16_t kNamedObject = 0x4000;
constexpr std::uint16_t kTriangleMesh = 0x4100;
constexpr std::uint16_t kVertexList = 0x4110;
constexpr std::uint16_t kFaceList = 0x4120;
constexpr std::uint16_t kMapping = 0x4140;
constexpr std::uint16_t kLocalAxes = 0x4160;
constexpr std::uint16_t kCamera = 0x4700;
constexpr std::uint16_t kKeyframer = 0xB000;
constexpr std::uint16_t kObjectNode = 0xB002;
constexpr std::uint16_t kCameraNode = 0xB003;
constexpr std::uint16_t kTargetNode = 0xB004;
constexpr std::uint16_t kNodeHeader = 0xB010;
constexpr std::uint16_t kPivot = 0xB013;
constexpr std::uint16_t kPositionTrack = 0xB020;
constexpr std::uint16_t kRotationTrack = 0xB021;
constexpr std::uint16_t kScaleTrack = 0xB022;
constexpr std::uint16_t kFovTrack = 0xB023;
constexpr std::uint16_t kRollTrack = 0xB024;

constexpr std::uint16_t kMain = 0x4D4D;
constexpr std::uint16_t kEditor = 0x3D3D;

// The editor section's first child in the usual layout: behind the main
// header, the 10-byte version chunk and the editor header.
constexpr std::size_t kUsualFirstObject = 22;

// Where the scans start: the first child of the editor section. Files
// without a version chunk (or with another one) have it elsewhere than
// offset 22; without a findable editor section, 22 it is.
std::size_t firstObject(const ChunkBuffer& file)
{
    ChunkHeader main;
    if (!file.header(0, main) || main.id != kMain)
        return kUsualFirstObject;
    const std::size_t editor = file.findSubChunk(0, kEditor);
    return editor != 0 ? editor + 6 : kUsualFirstObject;
}

// The number of entries of `size` bytes a count at `offset` announces,
// cut to what the data still holds from `first` on.
std::size_t countAt(const ChunkBuffer& file, std::size_t offset, std::size_t first, std::size_t size)
{
    std::uint16_t n = 0;
    file.u16(offset, n);
    const std::size_t room = first < file.size() ? (file.size() - first) / size : 0;
    return std::min<std::size_t>(n, room);
}

// A file vector in engine axes: the second and third components exchanged.
Vec3 fileVector(const ChunkBuffer& file, std::size_t offset)
{
    float x = 0, y = 0, z = 0;
    file.f32(offset, x);
    file.f32(offset + 4, y);
    file.f32(offset + 8, z);
    Vec3 v{x, y, z};
    v.swapYZ();
    return v;
}

class Reader {
public:
    Reader(const ChunkBuffer& file, const std::string& path, Scene3D& scene, std::ostream& out)
        : file_(file), first_(firstObject(file)), path_(path), scene_(scene), out_(out)
    {
    }

    void scan();

private:
    void loadMesh(const ChunkHeader& object, std::size_t firstChild);
    void loadCamera(std::size_t chunk, const std::string& name);
    bool readVertices(Mesh& mesh, std::size_t meshChunk);
    bool readFaces(Mesh& mesh, std::size_t meshChunk);
    void readLocalAxes(Mesh& mesh, std::size_t meshChunk);
    void readMapping(Mesh& mesh, std::size_t meshChunk);
    static void moveToObjectSpace(Mesh& mesh);

    std::size_t keyframer() const;
    // The first child of the keyframer section of kind `nodeId` whose node
    // header carries `name`; 0 when there is none or when the walk meets a
    // node without a header.
    std::size_t findNode(std::size_t section, std::uint16_t nodeId, const std::string& name) const;
    bool readMeshKeys(Mesh& mesh);
    bool readCameraKeys(Camera& camera);

    // Key header (frame, flags, optional parameters) at `offset`; returns
    // the offset of the key's value, or 0 when the data ends first.
    std::size_t keyHead(std::size_t offset, std::int32_t& frame, KeyShape& shape);
    template <class Key, class ReadValue>
    void readTrack(std::size_t chunk, std::uint16_t id, std::size_t valueSize, Track<Key>& track, ReadValue readValue);
    void readPositionTrack(std::size_t chunk, std::uint16_t id, PositionTrack& track);

    const ChunkBuffer& file_;
    const std::size_t first_;
    const std::string& path_;
    Scene3D& scene_;
    std::ostream& out_;
};

void Reader::scan()
{
    out_ << "\nletar efter 3dstudioobjekt i filen " << path_ << "...";
    std::size_t offset = first_;
    while ((offset = file_.findChunk(offset, kNamedObject, file_.size())) != 0) {
        ChunkHeader object;
        file_.header(offset, object);
        std::string name;
        const std::size_t nul = file_.readName(offset + 6, name);
        out_ << "\n\nObjekt " << name << " hittat...";
        ChunkHeader first;
        file_.header(nul + 1, first);
        if (first.id == kTriangleMesh) {
            loadMesh(object, nul + 1);
        } else if (first.id == kCamera) {
            out_ << "\nKameraobjekt " << name << " laddas...";
            loadCamera(nul + 1, name);
        } else {
            out_ << "Okänt objekt hittat...";
        }
        offset = object.end;
    }
}

void Reader::loadMesh(const ChunkHeader& object, std::size_t firstChild)
{
    auto mesh = std::make_unique<Mesh>();
    file_.readName(object.start + 6, mesh->name);
    out_ << "\nMeshobjekt " << mesh->name << " laddas";
    const std::size_t meshChunk = file_.findChunk(firstChild, kTriangleMesh, object.end);
    if (meshChunk == 0) {
        out_ << "\nKunde inte hitta meshdatan...";
        return;
    }
    try {
        if (!readVertices(*mesh, meshChunk) || !readFaces(*mesh, meshChunk))
            return;
    } catch (const std::bad_alloc&) {
        out_ << "\n Slut på minne";
        return;
    }
    readLocalAxes(*mesh, meshChunk);
    readMapping(*mesh, meshChunk);
    const bool keys = readMeshKeys(*mesh);
    out_ << "\nKeyframedata till " << mesh->name << (keys ? " ok." : " lästes inte korrekt...");
    moveToObjectSpace(*mesh);
    scene_.addMesh(std::move(mesh));
}

bool Reader::readVertices(Mesh& mesh, std::size_t meshChunk)
{
    const std::size_t chunk = file_.findSubChunk(meshChunk, kVertexList);
    if (chunk == 0) {
        out_ << "\nHittar inte vertexdatan...";
        return false;
    }
    const std::size_t count = countAt(file_, chunk + 6, chunk + 8, 12);
    const std::uint8_t* p = file_.span(chunk + 8, count * 12);
    mesh.vertices.resize(count);
    for (Vec3& v : mesh.vertices) {
        v = Vec3{getF32(p), getF32(p + 8), getF32(p + 4)}; // y and z exchanged
        p += 12;
    }
    return true;
}

bool Reader::readFaces(Mesh& mesh, std::size_t meshChunk)
{
    const std::size_t chunk = file_.findSubChunk(meshChunk, kFaceList);
    if (chunk == 0) {
        out_ << "\nHittar inte polygondatan...";
        return false;
    }
    const std::size_t count = countAt(file_, chunk + 6, chunk + 8, 8);
    const std::size_t vertices = mesh.vertices.size();
    mesh.screenVertices.assign(vertices, ScreenVertex{});
    for (std::size_t i = 0; i < vertices; ++i)
        mesh.screenVertices[i].sourceIndex = std::uint32_t(i);
    // Filled in place (no face record is copied): loading time is mostly here.
    const std::uint8_t* p = file_.span(chunk + 8, count * 8);
    mesh.faces.resize(count);
    ScreenVertex* records = mesh.screenVertices.data();
    std::size_t kept = 0;
    for (std::size_t i = 0; i < count; ++i, p += 8) {
        const std::size_t a = getU16(p), b = getU16(p + 2), c = getU16(p + 4);
        // A face naming a vertex the list does not have cannot be drawn.
        if (a >= vertices || b >= vertices || c >= vertices)
            continue;
        Face& face = mesh.faces[kept++];
        face.corners[0] = records + a;
        face.corners[1] = records + b;
        face.corners[2] = records + c;
    }
    mesh.faces.resize(kept);
    return true;
}

void Reader::readLocalAxes(Mesh& mesh, std::size_t meshChunk)
{
    const std::size_t chunk = file_.findSubChunk(meshChunk, kLocalAxes);
    if (chunk == 0) {
        // Optional in the format: the mesh keeps identity axes at the origin.
        out_ << "\nkunde inte hitta translationsmatrisen...";
        return;
    }
    const Vec3 xAxis = fileVector(file_, chunk + 6);
    const Vec3 yAxis = fileVector(file_, chunk + 18);
    const Vec3 zAxis = fileVector(file_, chunk + 30);
    const Vec3 origin = fileVector(file_, chunk + 42);
    mesh.localTransform.set(xAxis, zAxis, yAxis, origin);
}

void Reader::readMapping(Mesh& mesh, std::size_t meshChunk)
{
    const std::size_t chunk = file_.findSubChunk(meshChunk, kMapping);
    if (chunk == 0) {
        out_ << "\nkunde inte hitta några mappingkoordinater...";
        return; // every corner keeps (0, 0)
    }
    out_ << "\nhittade mappingkoordinater";
    const std::size_t count = countAt(file_, chunk + 6, chunk + 8, 8);
    const std::uint8_t* p = file_.span(chunk + 8, count * 8);
    std::vector<TexCoord> table(count);
    for (TexCoord& t : table) {
        t = TexCoord{float(getF32(p) * 256.0), float(getF32(p + 4) * 256.0)};
        p += 8;
    }
    for (Face& face : mesh.faces)
        for (int c = 0; c < 3; ++c) {
            const std::uint32_t source = face.corners[c]->sourceIndex;
            // A vertex beyond the mapping list keeps (0, 0).
            if (source < count)
                face.uv[c] = table[source];
        }
}

void Reader::moveToObjectSpace(Mesh& mesh)
{
    Transform s = inverseLike(mesh.localTransform);
    s.translation = Vec3{} - mesh.pivot;
    const Vec3 origin = mesh.localTransform.translation;
    double largest = 0.0;
    for (Vec3& v : mesh.vertices) {
        v = s.apply(v - origin);
        largest = std::max(largest, squaredLength(v));
    }
    mesh.boundingRadius = std::sqrt(largest) + 1.0;
}

void Reader::loadCamera(std::size_t chunk, const std::string& name)
{
    auto camera = std::make_unique<Camera>();
    camera->name = name;
    camera->position = fileVector(file_, chunk + 6);
    camera->target = fileVector(file_, chunk + 18);
    if (readCameraKeys(*camera))
        out_ << "\nKeyframedata till " << name << " ok.";
    else
        out_ << "\nKeyframedatan till " << name << " lästes inte korrekt...";
    scene_.addCamera(std::move(camera));
}

std::size_t Reader::keyframer() const { return file_.findChunk(first_, kKeyframer, file_.size()); }

std::size_t Reader::findNode(std::size_t section, std::uint16_t nodeId, const std::string& name) const
{
    ChunkHeader s;
    file_.header(section, s);
    std::size_t offset = section + 6;
    while ((offset = file_.findChunk(offset, nodeId, s.end)) != 0) {
        ChunkHeader node;
        file_.header(offset, node);
        const std::size_t header = file_.findSubChunk(offset, kNodeHeader);
        if (header == 0)
            return 0;
        std::string nodeName;
        file_.readName(header + 6, nodeName);
        if (nodeName == name)
            return offset;
        offset = node.end;
    }
    return 0;
}

bool Reader::readMeshKeys(Mesh& mesh)
{
    const std::size_t section = keyframer();
    if (section == 0)
        return false;
    const std::size_t node = findNode(section, kObjectNode, mesh.name);
    if (node == 0)
        return false;
    // Other chunks (instance names, bounding boxes, morph and hide tracks)
    // may stand between the header and these: look them up by id.
    const std::size_t pivot = file_.findSubChunk(node, kPivot);
    if (pivot != 0)
        mesh.pivot = fileVector(file_, pivot + 6);
    readPositionTrack(file_.findSubChunk(node, kPositionTrack), kPositionTrack, mesh.positionTrack);
    readTrack(file_.findSubChunk(node, kRotationTrack), kRotationTrack, 16, mesh.rotationTrack,
              [this](std::size_t at, RotationKey& key) {
                  file_.f32(at, key.angle);
                  float x = 0, y = 0, z = 0;
                  file_.f32(at + 4, x);
                  file_.f32(at + 8, y);
                  file_.f32(at + 12, z);
                  key.axis = Vec3{x, y, z};
              });
    readTrack(file_.findSubChunk(node, kScaleTrack), kScaleTrack, 12, mesh.scaleTrack,
              [this](std::size_t at, ScaleKey& key) { key.value = fileVector(file_, at); });
    return true;
}

bool Reader::readCameraKeys(Camera& camera)
{
    const std::size_t section = keyframer();
    if (section == 0)
        return false;
    const std::size_t node = findNode(section, kCameraNode, camera.name);
    if (node != 0) {
        out_ << "\nPositiontrack hittad...";
        readPositionTrack(file_.findSubChunk(node, kPositionTrack), kPositionTrack, camera.positionTrack);
        const auto scalar = [this](std::size_t at, ScalarKey& key) { file_.f32(at, key.value); };
        readTrack(file_.findSubChunk(node, kFovTrack), kFovTrack, 4, camera.fovTrack, scalar);
        readTrack(file_.findSubChunk(node, kRollTrack), kRollTrack, 4, camera.rollTrack, scalar);
    }
    const std::size_t target = findNode(section, kTargetNode, camera.name);
    if (target == 0)
        return false;
    out_ << "\nTargettrack hittad...";
    readPositionTrack(file_.findSubChunk(target, kPositionTrack), kPositionTrack, camera.targetTrack);
    return true;
}

std::size_t Reader::keyHead(std::size_t offset, std::int32_t& frame, KeyShape& shape)
{
    std::uint32_t rawFrame = 0;
    std::uint16_t flags = 0;
    if (!file_.u32(offset, rawFrame) || !file_.u16(offset + 4, flags))
        return 0;
    frame = std::int32_t(rawFrame);
    offset += 6;
    float* parameters[3] = {&shape.tension, &shape.continuity, &shape.bias};
    for (int bit = 0; bit < 3; ++bit)
        if (flags & (1u << bit)) {
            if (!file_.f32(offset, *parameters[bit]))
                return 0;
            offset += 4;
        }
    if (flags & 0x08) // ease to
        offset += 4;
    if (flags & 0x10) // ease from
        offset += 4;
    return offset;
}

template <class Key, class ReadValue>
void Reader::readTrack(std::size_t chunk, std::uint16_t id, std::size_t valueSize, Track<Key>& track,
                       ReadValue readValue)
{
    ChunkHeader h;
    if (chunk == 0 || !file_.header(chunk, h) || h.id != id)
        return;
    std::uint32_t count = 0;
    file_.u32(chunk + 16, count);
    // Every key takes at least its frame, its flags and its value: a count
    // the data cannot hold is cut before anything is allocated.
    const std::size_t first = chunk + 20;
    const std::size_t room = first < file_.size() ? (file_.size() - first) / (6 + valueSize) : 0;
    track.keys.assign(std::min<std::size_t>(count, room), Key{});
    std::size_t offset = first;
    for (std::size_t i = 0; i < track.keys.size(); ++i) {
        Key& key = track.keys[i];
        const std::size_t value = keyHead(offset, key.frame, key.shape);
        if (value == 0 || !file_.holds(value, valueSize)) {
            track.keys.resize(i); // the data ends inside this key
            break;
        }
        scene_.noteFrame(key.frame);
        readValue(value, key);
        offset = value + valueSize;
    }
}

void Reader::readPositionTrack(std::size_t chunk, std::uint16_t id, PositionTrack& track)
{
    readTrack(chunk, id, 12, track, [this](std::size_t at, PositionKey& key) { key.value = fileVector(file_, at); });
}

} // namespace

void readStudioFile(const ChunkBuffer& file, const std::string& path, Scene3D& scene, std::ostream& messages)
{
    Reader(file, path, scene, messages).scan();
}

} // namespace engine3d
