// Other programs through sh, which popen and system use.
#include "platform/child_process.h"
#include "platform/child_process_system.h"

#include <csignal>
#include <cstdlib>
#include <sys/wait.h>

namespace platform {

namespace {

int exitStatus(int status) { return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

} // namespace

std::FILE* openCommandPipe(const std::string& command, bool forWriting)
{
    if (forWriting)
        std::signal(SIGPIPE, SIG_IGN); // a closed pipe fails the write instead
    return popen(command.c_str(), forWriting ? "w" : "r");
}

int closeCommandPipe(std::FILE* pipe)
{
    return exitStatus(pclose(pipe));
}

int runShellCommand(const std::string& command)
{
    return exitStatus(std::system(command.c_str()));
}

std::string shellQuoted(const std::string& text)
{
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

} // namespace platform
