#include "platform/child_process.h"

#include "platform/child_process_system.h"

namespace platform {

CommandPipe::~CommandPipe()
{
    close();
}

bool CommandPipe::open(const std::string& command)
{
    close();
    pipe_ = openCommandPipe(command, true);
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
    const int status = closeCommandPipe(pipe_);
    pipe_ = nullptr;
    return status == 0;
}

bool runCommand(const std::string& command)
{
    return runShellCommand(command) == 0;
}

CommandOutput runCapturingOutput(const std::string& command)
{
    CommandOutput result;
    std::FILE* pipe = openCommandPipe(command, false);
    if (!pipe)
        return result;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, n);
    result.status = closeCommandPipe(pipe);
    return result;
}

} // namespace platform
