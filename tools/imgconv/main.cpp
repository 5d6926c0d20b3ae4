// imgconv IN.tga OUT.png: reads a TGA image through the console's reader and
// writes it as a PNG. Exit status 1 when the image cannot be read or written.
#include "console/display.h"
#include "tools/common/png_file.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s IN.tga OUT.png\n", argc > 0 ? argv[0] : "imgconv");
        return 1;
    }
    display::Surface image(argv[1]);
    std::fflush(stdout);
    if (image.empty()) {
        std::fprintf(stderr,
                     "\nimgconv: could not read %s (missing, truncated, or not an uncompressed colour-mapped or "
                     "true-colour TGA)\n",
                     argv[1]);
        return 1;
    }
    std::string error;
    if (!tools::writePng(image, argv[2], error)) {
        std::fprintf(stderr, "imgconv: could not write %s: %s\n", argv[2], error.c_str());
        return 1;
    }
    std::printf("%s: %dx%d -> %s\n", argv[1], image.width(), image.height(), argv[2]);
    return 0;
}
