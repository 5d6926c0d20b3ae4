// The C runtime's descriptor calls: the same moves as on Linux, with NUL as
// the device that takes everything.
#include "platform/standard_output.h"

#include <fcntl.h>
#include <io.h>

namespace platform {

std::FILE* divertLibraryOutput(LibraryOutput where)
{
    std::fflush(stdout);
    const int out = _fileno(stdout), err = _fileno(stderr);
    const int saved = _dup(out);
    if (saved < 0)
        return stdout;
    std::FILE* own = _fdopen(saved, "w");
    const int sink = where == LibraryOutput::Discarded ? _open("NUL", _O_WRONLY) : _dup(err);
    if (!own || sink < 0 || _dup2(sink, out) < 0) {
        if (own)
            std::fclose(own);
        else
            _close(saved);
        if (sink >= 0)
            _close(sink);
        return stdout;
    }
    _close(sink);
    return own;
}

} // namespace platform
