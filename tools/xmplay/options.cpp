#include "tools/xmplay/options.h"

#include <cmath>
#include <cstdlib>

namespace xmplay {

std::optional<Options> parseOptions(int argc, const char* const* argv, std::string& error)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--seconds") {
            if (i + 1 >= argc) {
                error = "--seconds needs a number";
                return std::nullopt;
            }
            char* end = nullptr;
            double value = std::strtod(argv[++i], &end);
            if (!end || *end != '\0' || !std::isfinite(value) || value <= 0) {
                error = std::string("not a positive number of seconds: ") + argv[i];
                return std::nullopt;
            }
            options.seconds = value;
        } else if (!arg.empty() && arg[0] == '-') {
            error = "unknown option " + arg;
            return std::nullopt;
        } else if (options.module.empty()) {
            options.module = arg;
        } else {
            error = "more than one module given";
            return std::nullopt;
        }
    }
    if (options.module.empty()) {
        error = "no module given";
        return std::nullopt;
    }
    return options;
}

} // namespace xmplay
