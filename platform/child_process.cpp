#include "platform/child_process.h"

#include <csignal>
#include <cstdlib>
#include <sys/wait.h>

namespace platform {

namespace {

bool exitedCleanly(int status) { return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0; }

} // namespace

CommandPipe::~CommandPipe()
{
    close();
}

bool CommandPipe::open(const std::string& command)
{
    close();
    std::signal(SIGPIPE, SIG_IGN); // a closed pipe fails the write instead
    pipe_ = popen(command.c_str(), "w");
    return pipe_ != nullptr;
}

bool CommandPipe::write(const void* data, std::size_t bytes)
{
    return pipe_ && std::fwrite(data, 1, bytes, pipe_) == bytes;
}

bool CommandPipe::close()
{
    if (!pipe_)
        return false;
    const int status = pclose(pipe_);
    pipe_ = nullptr;
    return exitedCleanly(status);
}

bool runCommand(const std::string& command)
{
    return exitedCleanly(std::system(command.c_str()));
}

CommandOutput runCapturingOutput(const std::string& command)
{
    CommandOutput result;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return result;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, n);
    const int status = pclose(pipe);
    result.status = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string shellQuoted(const std::string& text)
{
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

} // namespace platform
