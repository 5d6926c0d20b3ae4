#include "tools/common/command_line.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace tools {

bool helpRequested(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            return true;
    return false;
}

int showHelp(const char* usage)
{
    std::fputs(usage, stdout);
    return 0;
}

int refuseCommandLine(const char* tool, const std::string& problem, const char* usage)
{
    if (!problem.empty())
        std::fprintf(stderr, "%s: %s\n", tool, problem.c_str());
    std::fputs(usage, stderr);
    return kExitUsage;
}

int refuseFile(const char* tool, const std::string& path, const std::string& why)
{
    std::fprintf(stderr, "%s: %s: %s\n", tool, path.c_str(), why.c_str());
    return kExitFileProblem;
}

std::string whyUnreadable(const std::string& path)
{
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return "is a directory";
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return errno ? std::strerror(errno) : "cannot be opened";
    std::fclose(file);
    return {};
}

} // namespace tools
