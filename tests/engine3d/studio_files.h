#pragma once
// 3D Studio files for the reader's tests: scenes written by the data
// generator's encoder, edits of their chunks, and loading them from memory.
#include "assets/scenes/scene_model.h"
#include "engine3d/scene3d.h"
#include "tests/assets/scenes_chunk_walk.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace studio_files {

using Bytes = std::vector<std::uint8_t>;

// One triangle mesh "Tri" (vertices (1,2,3), (4,5,6), (7,8,9) in file axes,
// mapping (0.5, 0.25), (0, 0), (1, 1), origin 0, a pivot) and camera "Cam"
// at (10, 20, 30) looking at the origin; every track one key at frame 0.
assets::scenes::Scene smallScene();

struct Loaded {
    std::unique_ptr<engine3d::Scene3D> scene;
    std::string messages;
};
Loaded load(const Bytes& file);

// The first chunk with `id` in a depth-first walk of the file.
const scenes_walk::Chunk* findChunk(const scenes_walk::Chunk& root, std::uint16_t id);
std::size_t chunkStart(const Bytes& file, std::uint16_t id);

// The file with the first chunk of `id` given another id (the reader then
// steps over it as unknown).
Bytes renamed(Bytes file, std::uint16_t id, std::uint16_t newId = 0x7777);
// The file with `chunk` inserted at `offset`, every enclosing chunk made
// longer by its size.
Bytes inserted(const Bytes& file, std::size_t offset, const Bytes& chunk);
// The file without the first chunk of `id`, every enclosing chunk made
// shorter by its size.
Bytes without(const Bytes& file, std::uint16_t id);
void putU16(Bytes& file, std::size_t at, std::uint16_t v);
void putU32(Bytes& file, std::size_t at, std::uint32_t v);
void putF32(Bytes& file, std::size_t at, float v);

} // namespace studio_files
