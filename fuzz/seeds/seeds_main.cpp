// fuzz_seeds DIR: writes the seed corpus of each fuzz target into DIR/<target>:
// the data generator's files sorted by their reader, and the small files of
// seeds.h.
#include "assets/generator.h"
#include "fuzz/seeds/seeds.h"
#include "fuzz/small_scene.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <map>
#include <string>

namespace fs = std::filesystem;

namespace fuzz_seeds {

void writeSeed(const fs::path& dir, const char* stem, int ordinal, const Bytes& bytes)
{
    std::ofstream out(dir / (std::string(stem) + "_" + std::to_string(ordinal)), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write a seed into " + dir.string());
}

} // namespace fuzz_seeds

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds DIR\n");
        return 2;
    }
    try {
        const fs::path dir = argv[1];
        const fs::path generated = dir / "generated";
        fs::create_directories(generated);
        assets::writeModule(generated);
        assets::writeImages(generated);
        assets::writeScenes(generated);

        // Each generated file goes to the target that reads its kind.
        const std::map<std::string, std::string> targetOf = {
            {".xm", "module"}, {".tga", "tga"}, {".3ds", "scene3ds"}, {".ini", "settings"}};
        for (const auto& [extension, target] : targetOf)
            fs::create_directories(dir / target);
        for (const auto& entry : fs::recursive_directory_iterator(generated)) {
            const auto found = targetOf.find(entry.path().extension().string());
            if (entry.is_regular_file() && found != targetOf.end())
                fs::copy_file(entry.path(), dir / found->second / entry.path().filename(),
                              fs::copy_options::overwrite_existing);
        }
        fs::remove_all(generated);

        int n = 0;
        for (const auto& bytes : fuzz_seeds::moduleSeeds())
            fuzz_seeds::writeSeed(dir / "module", "small", ++n, bytes);
        n = 0;
        for (const auto& bytes : fuzz_seeds::tgaSeeds())
            fuzz_seeds::writeSeed(dir / "tga", "small", ++n, bytes);
        n = 0;
        fuzz_seeds::writeSeed(dir / "scene3ds", "small", ++n, fuzz_support::smallScene());
        for (const auto& bytes : fuzz_support::smallSceneVariants())
            fuzz_seeds::writeSeed(dir / "scene3ds", "small", ++n, bytes);
        n = 0;
        for (const auto& bytes : fuzz_seeds::settingsSeeds())
            fuzz_seeds::writeSeed(dir / "settings", "small", ++n, bytes);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "fuzz_seeds: %s\n", e.what());
        return 1;
    }
    return 0;
}
