#pragma once
// Command line of xmplay: MODULE [--seconds N].
#include <optional>
#include <string>

namespace xmplay {

struct Options {
    std::string module;
    double seconds = 0; // 0: until Escape or Ctrl-C
};

// Reads the arguments; on a mistake returns nothing and sets `error`.
std::optional<Options> parseOptions(int argc, const char* const* argv, std::string& error);

} // namespace xmplay
