#pragma once
// The generator of the demonstration's own data files. Every writer is
// deterministic: the same bytes on every run and machine.
#include <filesystem>

namespace assets {

// data/tp.xm: the music, with the synchronisation markers of the show.
void writeModule(const std::filesystem::path& dataDir);

// The overlay images and the grid texture (TGA).
void writeImages(const std::filesystem::path& dataDir);

// The two 3D Studio scenes, their settings files and their textures.
void writeScenes(const std::filesystem::path& dataDir);

// Not part of the data: one TGA picture with every image and scene texture
// side by side, labelled, for looking at them all at once.
void writeContactSheet(const std::filesystem::path& file);

} // namespace assets
