#pragma once
// Writing 32-bit surfaces as PNG files, for looking at stills and images.
#include "console/display.h"

#include <string>

namespace tools {

// Writes the surface (32-bit 0x00RRGGBB) as an opaque RGB PNG. Returns false
// and leaves a message in `error` when the file cannot be written or the
// surface is empty.
bool writePng(display::Surface& surface, const std::string& path, std::string& error);

} // namespace tools
