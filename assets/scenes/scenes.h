#pragma once
// The demo's two 3D Studio scenes with their settings files and textures.
#include "assets/common/image.h"
#include "assets/common/tga_writer.h"
#include "assets/scenes/scene_model.h"

#include <string>
#include <vector>

namespace assets::scenes {

// Key frames per loop: the disco scene is played at 25 key frames a second,
// the ball scene at 100, so both loops last 16 and 12 seconds.
inline constexpr std::int32_t discoLoop = 400;
inline constexpr std::int32_t ballLoop = 1200;

Scene ballScene();  // boll.3ds
Scene discoScene(); // disco.3ds

// The settings files (profile format: a section per mesh and "Default",
// keys "Textur" and "Typ").
std::string ballSettings();
std::string discoSettings();

struct TextureFile {
    std::string name; // inside the data folder
    TgaLayout layout;
    Image (*make)();
};
const std::vector<TextureFile>& textureFiles();

} // namespace assets::scenes
