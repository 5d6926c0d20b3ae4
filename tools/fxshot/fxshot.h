#pragma once
// The stills tool's registry: each operation or effect adds one Shot from its
// own source file in this folder, with a static Registrar.
#include "console/display.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace fxshot {

struct Options {
    std::string texturePath; // --texture FILE.tga, empty when not given
};

struct Shot {
    std::string name;  // first word of the command line, e.g. "zoom"
    std::string usage; // the arguments after the name, e.g. "F"
    int argumentCount; // how many arguments follow the name
    // Draws the still into a 320x200 32-bit frame. Throws std::runtime_error
    // with a message on arguments it cannot use.
    std::function<void(const std::vector<std::string>& arguments, const Options& options, display::Surface& frame)>
        render;
};

std::vector<Shot>& registry();

struct Registrar {
    explicit Registrar(Shot shot) { registry().push_back(std::move(shot)); }
};

// Number parsing with a clear message on text that is not a number.
double parseNumber(const std::string& text, const char* what);

// The stills of scenes: the first argument as T in milliseconds of demo
// time (0 to 3600000), and the frame cleared in the scene's colour.
double readTime(const std::vector<std::string>& arguments);
void clearFrame(display::Surface& frame, std::uint32_t colour);

} // namespace fxshot
