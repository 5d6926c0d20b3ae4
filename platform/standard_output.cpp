#include "platform/standard_output.h"

#include <fcntl.h>
#include <unistd.h>

namespace platform {

std::FILE* divertLibraryOutput(LibraryOutput where)
{
    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    if (saved < 0)
        return stdout;
    std::FILE* own = fdopen(saved, "w");
    const int sink = where == LibraryOutput::Discarded ? open("/dev/null", O_WRONLY | O_CLOEXEC)
                                                       : dup(STDERR_FILENO);
    if (!own || sink < 0 || dup2(sink, STDOUT_FILENO) < 0) {
        if (own)
            std::fclose(own);
        else
            close(saved);
        if (sink >= 0)
            close(sink);
        return stdout;
    }
    close(sink);
    return own;
}

} // namespace platform
