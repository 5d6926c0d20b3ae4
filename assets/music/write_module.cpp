#include "assets/generator.h"

#include "assets/music/composition.h"

#include <fstream>
#include <stdexcept>

namespace assets {

void writeModule(const std::filesystem::path& dataDir)
{
    const std::vector<std::uint8_t> bytes = music::moduleBytes();
    const std::filesystem::path path = dataDir / "tp.xm";
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

} // namespace assets
