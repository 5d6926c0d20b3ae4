#include "fuzz/scene_folder.h"

#include "console/display.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

namespace fs = std::filesystem;

namespace fuzz_support {

namespace {

fs::path folder;

void removeFolder()
{
    std::error_code ignored;
    fs::current_path(fs::temp_directory_path(), ignored);
    fs::remove_all(folder, ignored);
}

// An 8 x 8 true-colour TGA, rows top first, a different colour per name.
std::vector<char> smallTexture(unsigned seed)
{
    std::vector<char> bytes = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0, 8, 0, 24, 0x20};
    for (unsigned i = 0; i < 64; ++i)
        for (unsigned c = 0; c < 3; ++c)
            bytes.push_back(static_cast<char>((i * 37 + c * 91 + seed * 53) & 0xff));
    return bytes;
}

} // namespace

const std::vector<std::string>& textureNames()
{
    static const std::vector<std::string> names = {"tex.tga", "Default.tga", "data/bolltex.tga", "data/ring.tga",
                                                   "data/kula.tga", "data/golv.tga"};
    return names;
}

void enterSceneFolder()
{
    folder = fs::temp_directory_path() / ("demo_fuzz_scene_" + std::to_string(std::random_device{}()));
    fs::create_directories(folder / "data");
    unsigned seed = 0;
    for (const std::string& name : textureNames()) {
        const std::vector<char> bytes = smallTexture(++seed);
        std::ofstream out(folder / name, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out)
            throw std::runtime_error("cannot write " + (folder / name).string());
    }
    fs::current_path(folder);
    std::atexit(removeFolder);
    static display::ConverterHold* converter = new display::ConverterHold();
    converter->acquire();
}

} // namespace fuzz_support
