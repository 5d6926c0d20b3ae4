#pragma once
// The working folder of the scene targets: a scratch folder of their own that
// holds small textures under the names the settings files use, so that
// applying settings reads real images without touching the project's files.
#include <cstdint>
#include <string>
#include <vector>

namespace fuzz_support {

// Texture names written into the folder (relative paths, as settings name them).
const std::vector<std::string>& textureNames();

// Makes the folder under the system's temporary folder, writes the textures
// and makes it the working folder (removed at exit); also holds the display
// conversion engine for the whole run, so that surfaces made per input do not
// start and stop it every time.
void enterSceneFolder();

} // namespace fuzz_support
