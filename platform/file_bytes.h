#pragma once
// Whole files read into memory at once, under a path written the system's
// way (backslashes become '/', see hostPath).
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// False (and `bytes` empty) when the file cannot be opened or read.
bool readFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes);

} // namespace platform
