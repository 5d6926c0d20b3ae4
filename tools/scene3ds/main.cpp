// scene3ds: loads a 3D Studio scene through the engine's reader (and its
// settings file when given) and prints its meshes, cameras, key counts and
// last frame, optionally the evaluated tracks at one key frame.
//
//   scene3ds FILE.3ds [--ini SETTINGS.ini] [--at FRAME] [--json]
#include "engine3d/scene3d.h"
#include "platform/file_bytes.h"
#include "platform/standard_output.h"
#include "tools/scene3ds/scene_report.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

namespace {

const char* kUsage = "usage: scene3ds FILE.3ds [--ini SETTINGS.ini] [--at FRAME] [--json]\n"
                     "  --ini SETTINGS.ini  apply a settings file (textures and drawing kinds)\n"
                     "  --at FRAME          also print every track evaluated at that key frame\n"
                     "  --json              print one JSON object; the reader's messages go to standard error\n"
                     "Exit status: 0 when the file was read, 1 when it could not be opened or holds no\n"
                     "3D Studio data, 2 for a wrong command line.\n";

int usageError(const char* why)
{
    std::fprintf(stderr, "scene3ds: %s\n%s", why, kUsage);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    scene3ds::ReportOptions options;
    std::string settingsPath;
    bool json = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a == "--ini" && i + 1 < argc) {
            settingsPath = argv[++i];
            options.settings = true;
        } else if (a == "--at" && i + 1 < argc) {
            char* end = nullptr;
            const float at = std::strtof(argv[++i], &end);
            if (end == argv[i] || *end != '\0' || !std::isfinite(at))
                return usageError("--at takes a finite number of key frames");
            options.at = at;
        } else if (a == "--json") {
            json = true;
        } else if (!a.empty() && a[0] == '-') {
            return usageError(("unknown option " + a).c_str());
        } else if (options.file.empty()) {
            options.file = a;
        } else {
            return usageError("one scene file at a time");
        }
    }
    if (options.file.empty())
        return usageError("no scene file given");

    std::vector<std::uint8_t> bytes;
    if (!platform::readFileBytes(options.file, bytes)) {
        std::fprintf(stderr, "scene3ds: cannot open %s\n", options.file.c_str());
        return 1;
    }
    // Every 3D Studio file is one main chunk (id 0x4D4D).
    if (bytes.size() < 6 || bytes[0] != 0x4d || bytes[1] != 0x4d) {
        std::fprintf(stderr, "scene3ds: %s holds no 3D Studio data\n", options.file.c_str());
        return 1;
    }

    // With --json the reader's messages, and whatever the image library
    // prints, go to standard error: standard output carries the object only.
    std::FILE* report = json ? platform::divertLibraryOutput(platform::LibraryOutput::ToStandardError) : stdout;
    {
        engine3d::Scene3D scene(bytes.data(), bytes.size(), options.file, std::cout);
        if (options.settings)
            scene.applySettings(settingsPath);
        std::cout.flush();
        if (json)
            scene3ds::printJson(report, scene, options);
        else
            scene3ds::printText(report, scene, options);
        std::fflush(report);
    }
    return 0;
}
