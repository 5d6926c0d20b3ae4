// assetgen DATA_DIR: writes every data file of the demonstration into DATA_DIR.
// assetgen --sheet FILE.tga: writes the contact sheet of all pictures.
#include "assets/generator.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

int main(int argc, char** argv)
{
    const bool sheet = argc == 3 && std::string(argv[1]) == "--sheet";
    if (argc != 2 && !sheet) {
        std::fprintf(stderr, "usage: assetgen DATA_DIR | assetgen --sheet FILE.tga\n");
        return 2;
    }
    try {
        if (sheet) {
            assets::writeContactSheet(argv[2]);
            return 0;
        }
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
