#include "tools/scene3ds/scene_report.h"

#include <cmath>
#include <initializer_list>

namespace scene3ds {
namespace {

const char* kindName(engine3d::MaterialKind kind)
{
    switch (kind) {
    case engine3d::Textured:
        return "Textured";
    case engine3d::PerspectiveTextured:
        return "PerspectiveTextured";
    case engine3d::Wireframe:
        return "Wireframe";
    case engine3d::Flat:
        return "Flat";
    }
    return "Unknown";
}

// How the mesh's texture turned out: not given (no settings), no image, an
// image that could not be read, or its size.
std::string textureState(const engine3d::Mesh& mesh)
{
    const display::Surface* t = mesh.faces.empty() ? nullptr : mesh.faces.front().texture;
    if (!t)
        return "none";
    if (t->empty())
        return "unreadable";
    return std::to_string(t->width()) + "x" + std::to_string(t->height());
}

// A JSON string: quotes, backslashes and control bytes escaped; bytes of
// 0x80 and above are taken as Latin-1 letters.
std::string quoted(const std::string& s)
{
    std::string r = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            r += '\\';
            r += char(c);
        } else if (c < 0x20 || c >= 0x7f) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            r += buf;
        } else {
            r += char(c);
        }
    }
    return r + "\"";
}

std::string number(double v)
{
    if (!std::isfinite(v))
        return "null";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.9g", v);
    return buf;
}

// Joins the parts between brackets with ", " (appended piece by piece).
std::string bracketed(std::initializer_list<std::string> parts, bool json)
{
    std::string r(json ? "[" : "(");
    const char* separator = "";
    for (const std::string& p : parts) {
        r += separator;
        r += p;
        separator = ", ";
    }
    r += json ? "]" : ")";
    return r;
}

std::string vec(const engine3d::Vec3& v, bool json) { return bracketed({number(v.x), number(v.y), number(v.z)}, json); }

std::string rows(const engine3d::Transform& m, bool json)
{
    return bracketed({vec(m.row0, json), vec(m.row1, json), vec(m.row2, json)}, json);
}

} // namespace

void printText(std::FILE* out, engine3d::Scene3D& scene, const ReportOptions& options)
{
    std::fprintf(out, "\n\nfile: %s\nmeshes: %d\n", options.file.c_str(), scene.meshCount());
    for (int i = 0; i < scene.meshCount(); ++i) {
        engine3d::Mesh& m = *scene.mesh(i);
        std::fprintf(out, "mesh \"%s\": vertices %d, faces %d, radius %s, kind %s", m.name.c_str(), m.vertexCount(),
                     m.faceCount(), number(m.boundingRadius).c_str(), kindName(m.kind));
        if (options.settings)
            std::fprintf(out, ", texture \"%s\" (%s)", m.textureName.c_str(), textureState(m).c_str());
        std::fprintf(out, "\n  keys: position %d, rotation %d, scale %d\n", m.positionTrack.keyCount(),
                     m.rotationTrack.keyCount(), m.scaleTrack.keyCount());
        if (options.at) {
            const engine3d::Vec3 p = engine3d::evaluatePositionTrack(m.positionTrack, *options.at);
            const engine3d::Transform r = engine3d::evaluateRotationTrack(m.rotationTrack, *options.at);
            std::fprintf(out, "  at %s: position %s, rotation %s\n", number(*options.at).c_str(), vec(p, false).c_str(),
                         rows(r, false).c_str());
        }
    }
    std::fprintf(out, "cameras: %d\n", scene.cameraCount());
    for (int i = 0; i < scene.cameraCount(); ++i) {
        engine3d::Camera& c = *scene.camera(i);
        std::fprintf(out, "camera \"%s\": position %s, target %s\n", c.name.c_str(), vec(c.position, false).c_str(),
                     vec(c.target, false).c_str());
        std::fprintf(out, "  keys: position %d, target %d, fov %d, roll %d\n", c.positionTrack.keyCount(),
                     c.targetTrack.keyCount(), c.fovTrack.keyCount(), c.rollTrack.keyCount());
        if (options.at)
            std::fprintf(out, "  at %s: position %s, target %s\n", number(*options.at).c_str(),
                         vec(c.positionAt(*options.at), false).c_str(), vec(c.targetAt(*options.at), false).c_str());
    }
    std::fprintf(out, "lastFrame: %d\n", scene.lastFrame());
}

void printJson(std::FILE* out, engine3d::Scene3D& scene, const ReportOptions& options)
{
    std::fprintf(out, "{\"file\": %s, \"meshes\": [", quoted(options.file).c_str());
    for (int i = 0; i < scene.meshCount(); ++i) {
        engine3d::Mesh& m = *scene.mesh(i);
        std::fprintf(out, "%s\n  {\"name\": %s, \"vertices\": %d, \"faces\": %d, \"radius\": %s, \"kind\": %s", i ? "," : "",
                     quoted(m.name).c_str(), m.vertexCount(), m.faceCount(), number(m.boundingRadius).c_str(),
                     quoted(kindName(m.kind)).c_str());
        if (options.settings)
            std::fprintf(out, ", \"texture\": %s, \"textureState\": %s", quoted(m.textureName).c_str(),
                         quoted(textureState(m)).c_str());
        std::fprintf(out, ", \"keys\": {\"position\": %d, \"rotation\": %d, \"scale\": %d}", m.positionTrack.keyCount(),
                     m.rotationTrack.keyCount(), m.scaleTrack.keyCount());
        if (options.at) {
            const engine3d::Vec3 p = engine3d::evaluatePositionTrack(m.positionTrack, *options.at);
            const engine3d::Transform r = engine3d::evaluateRotationTrack(m.rotationTrack, *options.at);
            std::fprintf(out, ", \"at\": {\"position\": %s, \"rotation\": %s}", vec(p, true).c_str(), rows(r, true).c_str());
        }
        std::fprintf(out, "}");
    }
    std::fprintf(out, "],\n \"cameras\": [");
    for (int i = 0; i < scene.cameraCount(); ++i) {
        engine3d::Camera& c = *scene.camera(i);
        std::fprintf(out, "%s\n  {\"name\": %s, \"position\": %s, \"target\": %s", i ? "," : "", quoted(c.name).c_str(),
                     vec(c.position, true).c_str(), vec(c.target, true).c_str());
        std::fprintf(out, ", \"keys\": {\"position\": %d, \"target\": %d, \"fov\": %d, \"roll\": %d}",
                     c.positionTrack.keyCount(), c.targetTrack.keyCount(), c.fovTrack.keyCount(), c.rollTrack.keyCount());
        if (options.at)
            std::fprintf(out, ", \"at\": {\"position\": %s, \"target\": %s}", vec(c.positionAt(*options.at), true).c_str(),
                         vec(c.targetAt(*options.at), true).c_str());
        std::fprintf(out, "}");
    }
    std::fprintf(out, "],\n \"lastFrame\": %d}\n", scene.lastFrame());
}

} // namespace scene3ds
