#pragma once
// What scene3ds prints of a loaded scene: as text for a person, or as one
// JSON object for scripts.
#include "engine3d/scene3d.h"

#include <cstdio>
#include <optional>
#include <string>

namespace scene3ds {

struct ReportOptions {
    std::string file;
    bool settings = false;         // a settings file was applied
    std::optional<float> at;       // evaluate the tracks at this key frame
};

void printText(std::FILE* out, engine3d::Scene3D& scene, const ReportOptions& options);
void printJson(std::FILE* out, engine3d::Scene3D& scene, const ReportOptions& options);

} // namespace scene3ds
