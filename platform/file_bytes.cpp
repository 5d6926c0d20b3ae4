#include "platform/file_bytes.h"

#include "platform/profile.h"

#include <cstdio>
#include <memory>

namespace platform {

bool readFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes)
{
    bytes.clear();
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> file(std::fopen(hostPath(path).c_str(), "rb"));
    if (!file)
        return false;
    // In blocks until the end: also right for files whose size cannot be
    // asked in advance.
    std::uint8_t block[65536];
    std::size_t n;
    while ((n = std::fread(block, 1, sizeof block, file.get())) > 0)
        bytes.insert(bytes.end(), block, block + n);
    if (std::ferror(file.get())) {
        bytes.clear();
        return false;
    }
    return true;
}

} // namespace platform
