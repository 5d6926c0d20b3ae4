// Textures and drawing kinds of a scene's meshes from its settings file.
#include "engine3d/scene3d.h"
#include "platform/profile.h"

namespace engine3d {

namespace {

MaterialKind kindFromType(int type)
{
    switch (type) {
    case 1:
        return PerspectiveTextured;
    case 2:
        return Wireframe;
    case 3:
        return Flat;
    default:
        return Textured;
    }
}

} // namespace

std::vector<std::uint32_t> makeProductTable()
{
    std::vector<std::uint32_t> table(256 * 256);
    for (std::uint32_t i = 0; i < 256; ++i)
        for (std::uint32_t j = 0; j < 256; ++j)
            table[i * 256 + j] = i * j;
    return table;
}

void Scene3D::applySettings(const std::string& settingsPath)
{
    applySettings(platform::Profile::fromFile(settingsPath));
}

void Scene3D::applySettings(const platform::Profile& settings)
{
    for (auto& mesh : meshes_) {
        std::string texture = settings.readString(mesh->name, "Textur", "error");
        if (texture == "error")
            texture = settings.readString("Default", "Textur", "Default.tga");
        display::Surface* image = textures_.lookup(texture);
        mesh->textureName = texture;
        for (Face& face : mesh->faces)
            face.texture = image;
        int type = settings.readInt(mesh->name, "Typ", -1);
        if (type == -1)
            type = settings.readInt("Default", "Typ", -1);
        mesh->kind = kindFromType(type);
        if (mesh->kind & Wireframe)
            mesh->productTable = makeProductTable();
        else
            mesh->productTable.clear();
    }
}

} // namespace engine3d
