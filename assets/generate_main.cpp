// assetgen DATA_DIR: writes every data file of the demonstration into DATA_DIR.
#include "assets/generator.h"

#include <cstdio>
#include <exception>
#include <filesystem>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: assetgen DATA_DIR\n");
        return 2;
    }
    try {
        std::filesystem::path dir = argv[1];
        std::filesystem::create_directories(dir);
        assets::writeModule(dir);
        assets::writeImages(dir);
        assets::writeScenes(dir);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "assetgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
