#pragma once
// The process's working directory, the folder settings paths such as
// "\data\boll.ini" are put behind.
#include <string>

namespace platform {

// Called when a scene's settings file is located. Empty when the directory
// cannot be read (the path then starts at the root, and the settings read
// their defaults).
std::string currentDirectory();

} // namespace platform
