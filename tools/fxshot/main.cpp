// fxshot OPERATION ARGUMENTS... OUT.png [--texture FILE.tga]
// Renders one still of an image operation or an effect into a 320x200 frame
// and writes it as a PNG, so that a person can look at it.
#include "platform/standard_output.h"
#include "tools/common/command_line.h"
#include "tools/common/png_file.h"
#include "tools/fxshot/fxshot.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

namespace fxshot {

std::vector<Shot>& registry()
{
    static std::vector<Shot> shots;
    return shots;
}

double parseNumber(const std::string& text, const char* what)
{
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    // "nan" and "inf" (or a value beyond the double range) parse too, but
    // would pass range checks like "f < 0 || f > 1" and reach int
    // conversions: they are refused as well.
    if (text.empty() || *end != '\0' || !std::isfinite(value))
        throw std::runtime_error(std::string(what) + " must be a number, not \"" + text + "\"");
    return value;
}

} // namespace fxshot

namespace {

// The usage with every registered operation: on standard output when asked
// for, else on standard error.
int usage(bool asked)
{
    std::FILE* to = asked ? stdout : stderr;
    std::fprintf(to, "usage: fxshot OPERATION ARGUMENTS... OUT.png [--texture FILE.tga]\noperations:\n");
    for (const auto& shot : fxshot::registry())
        std::fprintf(to, "  %s %s\n", shot.name.c_str(), shot.usage.c_str());
    return asked ? 0 : tools::kExitUsage;
}

} // namespace

int main(int argc, char** argv)
{
    if (tools::helpRequested(argc, argv))
        return usage(true);
    std::vector<std::string> words;
    fxshot::Options options;
    for (int i = 1; i < argc; ++i) {
        std::string word = argv[i];
        if (word == "--texture") {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "fxshot: --texture needs a file name\n");
                return usage(false);
            }
            options.texturePath = argv[++i];
        } else {
            words.push_back(word);
        }
    }
    if (words.size() < 2)
        return usage(false);
    const fxshot::Shot* chosen = nullptr;
    for (const auto& shot : fxshot::registry())
        if (shot.name == words[0])
            chosen = &shot;
    if (!chosen) {
        std::fprintf(stderr, "fxshot: unknown operation \"%s\"\n", words[0].c_str());
        return usage(false);
    }
    std::vector<std::string> arguments(words.begin() + 1, words.end() - 1);
    if (static_cast<int>(arguments.size()) != chosen->argumentCount) {
        std::fprintf(stderr, "fxshot: usage: fxshot %s %s OUT.png\n", chosen->name.c_str(), chosen->usage.c_str());
        return 2;
    }
    if (!options.texturePath.empty())
        if (const std::string why = tools::whyUnreadable(options.texturePath); !why.empty())
            return tools::refuseFile("fxshot", options.texturePath, why);
    // The console library's own progress lines stay off this tool's output.
    platform::divertLibraryOutput(platform::LibraryOutput::Discarded);
    try {
        display::Surface frame(320, 200, display::format32());
        chosen->render(arguments, options, frame);
        std::string error;
        if (!tools::writePng(frame, words.back(), error)) {
            std::fprintf(stderr, "fxshot: %s\n", error.c_str());
            return 1;
        }
    } catch (const display::Error& e) {
        std::fprintf(stderr, "fxshot: %s\n", e.message());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "fxshot: %s\n", e.what());
        return 1;
    }
    return 0;
}
