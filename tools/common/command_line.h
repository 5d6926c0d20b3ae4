#pragma once
// What the command-line tools share in the way they talk to their caller:
// --help (or -h) prints the usage to standard output and exits 0; a wrong
// command line prints the usage to standard error and exits 2; a file that
// cannot be used exits 1 with one line naming the file and saying why.
#include <string>

namespace tools {

inline constexpr int kExitFileProblem = 1;
inline constexpr int kExitUsage = 2;

// True when any argument is --help or -h.
bool helpRequested(int argc, const char* const* argv);

// The usage text (lines ending in a line feed) on standard output; returns 0.
int showHelp(const char* usage);
// "TOOL: PROBLEM" (when a problem is given), then the usage, on standard
// error; returns 2.
int refuseCommandLine(const char* tool, const std::string& problem, const char* usage);
// "TOOL: PATH: WHY" on standard error; returns 1.
int refuseFile(const char* tool, const std::string& path, const std::string& why);

// Why the file cannot be opened for reading (the system's text, such as "No
// such file or directory"), or an empty text when it can.
std::string whyUnreadable(const std::string& path);

} // namespace tools
