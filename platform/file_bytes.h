#pragma once
// Whole files read into memory at once, under a path written the system's
// way (backslashes become '/', see hostPath).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// The most a file read this way may hold. Scenes and settings files are a few
// hundred kilobytes; the cap keeps a path that names an endless device (or a
// huge unrelated file) from exhausting memory.
constexpr std::size_t kMaxFileBytes = std::size_t{256} << 20;

// False (and `bytes` empty) when the file cannot be opened or read, or holds
// more than `limit` bytes.
bool readFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes,
                   std::size_t limit = kMaxFileBytes);

} // namespace platform
