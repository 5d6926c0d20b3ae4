#include "assets/common/tga_writer.h"
#include "engine3d/scene3d.h"
#include "platform/profile.h"
#include "tests/engine3d/studio_files.h"
#include "tests/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace studio_files;
using engine3d::MaterialKind;

// Meshes "A" and "B" (copies of the small scene's triangle).
std::unique_ptr<engine3d::Scene3D> twoMeshes()
{
    assets::scenes::Scene scene = smallScene();
    scene.meshes.push_back(scene.meshes[0]);
    scene.meshes[0].name = std::string(1, 'A');
    scene.meshes[1].name = std::string(1, 'B');
    return std::move(load(assets::scenes::encode3ds(scene)).scene);
}

class Settings : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::vector<std::uint8_t> tga = assets::encodeTga(assets::Image(4, 4, 0x123456), {});
        assets::writeBytes(dir / "t.tga", tga);
        assets::writeBytes(dir / "u.tga", tga);
    }
    std::string path(const char* file) const { return (dir / file).string(); }

    testing_support::ScratchDir dir{"engine3d_settings"};
};

TEST_F(Settings, KindsAndFallBacks)
{
    struct Case {
        std::string text;
        MaterialKind a, b;
    } cases[] = {
        {"[Default]\nTyp=2\n", engine3d::Wireframe, engine3d::Wireframe},
        {"[Default]\nTyp=3\n[A]\nTyp=0\n", engine3d::Textured, engine3d::Flat}, // 0 does not fall back
        {"[Default]\nTyp=3\n[A]\nTyp=-1\n[B]\nTyp=1\n", engine3d::Flat, engine3d::PerspectiveTextured},
        {"[a]\n  TYP = 2 \n", engine3d::Wireframe, engine3d::Textured}, // names ignore case
        {"[A]\nTyp=7\n", engine3d::Textured, engine3d::Textured},
        {"", engine3d::Textured, engine3d::Textured},
    };
    for (const Case& c : cases) {
        auto scene = twoMeshes();
        scene->applySettings(platform::Profile::fromText(c.text));
        EXPECT_EQ(scene->mesh(0)->kind, c.a) << c.text;
        EXPECT_EQ(scene->mesh(1)->kind, c.b) << c.text;
        // Only wireframe meshes carry the product table.
        for (int i = 0; i < 2; ++i) {
            const engine3d::Mesh& m = *scene->mesh(i);
            EXPECT_EQ(m.productTable.size(), m.kind == engine3d::Wireframe ? 65536u : 0u);
        }
    }
}

TEST_F(Settings, TexturesAreSharedByTheirPathText)
{
    auto scene = twoMeshes();
    scene->applySettings(platform::Profile::fromText("[Default]\nTextur=" + path("t.tga") + "\n"));
    const display::Surface* a = scene->mesh(0)->faces[0].texture;
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->width(), 4);
    EXPECT_EQ(scene->mesh(1)->faces[0].texture, a);
    EXPECT_EQ(scene->textures().size(), 2); // the head and one image

    // "error" means missing; another text for the same file loads it again.
    auto again = twoMeshes();
    std::string text = "[Default]\nTextur=";
    text += path("t.tga");
    text += "\n[A]\nTextur=error\n[B]\nTextur=";
    text += (dir.path() / "." / "t.tga").string();
    again->applySettings(platform::Profile::fromText(text));
    EXPECT_EQ(again->textures().size(), 3);
    EXPECT_NE(again->mesh(0)->faces[0].texture, again->mesh(1)->faces[0].texture);
    EXPECT_EQ(again->mesh(0)->faces[0].texture->width(), 4);
}

TEST_F(Settings, MissingAndEmptyTextures)
{
    auto scene = twoMeshes();
    // A file that is not there stays cached as an image without pixels; an
    // empty name is the cache's head, which has no image.
    scene->applySettings(platform::Profile::fromText("[A]\nTextur=" + path("none.tga") + "\n[B]\nTextur=\n"));
    const display::Surface* missing = scene->mesh(0)->faces[0].texture;
    ASSERT_NE(missing, nullptr);
    EXPECT_TRUE(missing->empty());
    EXPECT_EQ(scene->mesh(1)->faces[0].texture, nullptr);
    EXPECT_EQ(scene->textures().lookup(path("none.tga")), missing);

    // No settings at all: every mesh asks for "Default.tga".
    auto defaults = twoMeshes();
    defaults->applySettings(path("no-such.ini"));
    EXPECT_EQ(defaults->textures().size(), 2);
    EXPECT_EQ(defaults->mesh(0)->kind, engine3d::Textured);
}

TEST_F(Settings, ReadFromAFileWithBackslashes)
{
    assets::writeBytes(dir / "s.ini", std::vector<std::uint8_t>{'[', 'B', ']', '\n', 'T', 'y', 'p', '=', '3', '\n'});
    std::string windowsPath = path("s.ini");
    std::replace(windowsPath.begin(), windowsPath.end(), '/', '\\');
    auto scene = twoMeshes();
    scene->applySettings(windowsPath);
    EXPECT_EQ(scene->mesh(1)->kind, engine3d::Flat);
}

TEST(ProductTable, HoldsEveryProduct)
{
    const std::vector<std::uint32_t> table = engine3d::makeProductTable();
    ASSERT_EQ(table.size(), 65536u);
    EXPECT_EQ(table[255 * 256 + 255], 65025u);
    EXPECT_EQ(table[3 * 256 + 7], 21u);
    EXPECT_EQ(table[7 * 256 + 3], 21u);
    EXPECT_EQ(table[200 * 256], 0u);
}

} // namespace
