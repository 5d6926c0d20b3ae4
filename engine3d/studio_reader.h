#pragma once
// The 3D Studio file scan: triangle meshes and cameras from the editor
// section, their tracks from the keyframer section.
#include "engine3d/chunk_buffer.h"

#include <iosfwd>
#include <string>

namespace engine3d {

class Scene3D;

// Fills `scene` from the file in `file`, writing progress messages to
// `messages` (`path` names the file in them).
void readStudioFile(const ChunkBuffer& file, const std::string& path, Scene3D& scene, std::ostream& messages);

} // namespace engine3d
