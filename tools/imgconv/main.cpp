// imgconv IN.tga OUT.png: reads a TGA image through the console's reader and
// writes it as a PNG. Exit status 1 when the image cannot be read or written,
// 2 for a wrong command line.
#include "console/display.h"
#include "platform/standard_output.h"
#include "tools/common/command_line.h"
#include "tools/common/png_file.h"

#include <cstdio>
#include <string>

namespace {

constexpr const char* kUsage =
    "usage: imgconv IN.tga OUT.png\n"
    "Reads an uncompressed colour-mapped or true-colour TGA image through the demo's\n"
    "reader and writes it as a PNG.\n";

} // namespace

int main(int argc, char** argv)
{
    if (tools::helpRequested(argc, argv))
        return tools::showHelp(kUsage);
    if (argc != 3)
        return tools::refuseCommandLine("imgconv", argc < 3 ? "" : "one input and one output file", kUsage);
    const std::string in = argv[1], out = argv[2];
    if (const std::string why = tools::whyUnreadable(in); !why.empty())
        return tools::refuseFile("imgconv", in, why);

    // The console library's own progress lines stay off this tool's output.
    std::FILE* output = platform::divertLibraryOutput(platform::LibraryOutput::Discarded);
    display::Surface image(in.c_str());
    if (image.empty())
        return tools::refuseFile("imgconv", in,
                                 "not an uncompressed colour-mapped or true-colour TGA, or cut short");
    std::string error;
    if (!tools::writePng(image, out, error))
        return tools::refuseFile("imgconv", out, error);
    std::fprintf(output, "%s: %dx%d -> %s\n", in.c_str(), image.width(), image.height(), out.c_str());
    std::fflush(output);
    return 0;
}
