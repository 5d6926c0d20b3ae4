#include "platform/standard_streams.h"

#include <unistd.h>

namespace platform {

std::FILE* divertStandardOutput()
{
    std::fflush(stdout);
    const int original = dup(STDOUT_FILENO);
    if (original < 0)
        return stdout;
    std::FILE* report = fdopen(original, "w");
    if (!report || dup2(STDERR_FILENO, STDOUT_FILENO) < 0) {
        if (report)
            std::fclose(report);
        else
            close(original);
        return stdout;
    }
    return report;
}

} // namespace platform
