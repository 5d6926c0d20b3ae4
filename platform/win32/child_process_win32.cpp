// Other programs through the command interpreter (cmd.exe), which the C
// runtime's _popen and system use. Their results are the program's exit
// codes themselves.
#include "platform/child_process.h"

#include <cstdlib>

namespace platform {

CommandPipe::~CommandPipe()
{
    close();
}

bool CommandPipe::open(const std::string& command)
{
    close();
    pipe_ = _popen(command.c_str(), "wb");
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
    const int status = _pclose(pipe_);
    pipe_ = nullptr;
    return status == 0;
}

bool runCommand(const std::string& command)
{
    return std::system(command.c_str()) == 0;
}

CommandOutput runCapturingOutput(const std::string& command)
{
    CommandOutput result;
    std::FILE* pipe = _popen(command.c_str(), "rb");
    if (!pipe)
        return result;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, n);
    result.status = _pclose(pipe);
    return result;
}

std::string shellQuoted(const std::string& text)
{
    // Double quotes around the text; a double quote inside is doubled, as the
    // C runtime's argument parser reads it, and backslashes before a quote
    // are doubled so that they stay backslashes.
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (char c : text) {
        if (c == '\\') {
            ++backslashes;
            out += c;
            continue;
        }
        if (c == '"') {
            out.append(backslashes, '\\');
            out += "\"\"";
        } else {
            out += c;
        }
        backslashes = 0;
    }
    out.append(backslashes, '\\');
    return out + "\"";
}

} // namespace platform
