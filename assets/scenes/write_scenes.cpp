// assets::writeScenes: the two scenes, their settings files and textures.
#include "assets/generator.h"
#include "assets/scenes/scenes.h"
#include "assets/scenes/textures.h"

#include <fstream>
#include <stdexcept>

namespace assets::scenes {
namespace {

Image ballTexture() { return mirrorTiles(true); }
Image discoBallTexture() { return mirrorTiles(false); }

TgaLayout layout(TgaPixels pixels, TgaRows rows)
{
    TgaLayout l;
    l.pixels = pixels;
    l.rows = rows;
    return l;
}

} // namespace

const std::vector<TextureFile>& textureFiles()
{
    using P = TgaPixels;
    using R = TgaRows;
    static const std::vector<TextureFile> files = {
        {"bolltex.tga", layout(P::TrueColour24, R::BottomFirst), ballTexture},
        {"ring.tga", layout(P::TrueColour32, R::TopFirst), neonBands},
        {"kula.tga", layout(P::TrueColour24, R::BottomFirst), discoBallTexture},
        {"golv.tga", layout(P::TrueColour24, R::TopFirst), danceFloor},
    };
    return files;
}

} // namespace assets::scenes

namespace assets {

void writeScenes(const std::filesystem::path& dataDir)
{
    using namespace scenes;
    writeBytes(dataDir / "boll.3ds", encode3ds(ballScene()));
    writeBytes(dataDir / "disco.3ds", encode3ds(discoScene()));
    const std::string ball = ballSettings(), disco = discoSettings();
    writeBytes(dataDir / "boll.ini", std::vector<std::uint8_t>(ball.begin(), ball.end()));
    writeBytes(dataDir / "disco.ini", std::vector<std::uint8_t>(disco.begin(), disco.end()));
    for (const TextureFile& t : textureFiles())
        writeBytes(dataDir / t.name, encodeTga(t.make(), t.layout));
}

} // namespace assets
