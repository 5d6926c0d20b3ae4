// Other programs through the command interpreter (cmd.exe), which the C
// runtime's _popen and system use. Their results are the program's exit
// codes themselves.
#include "platform/child_process.h"
#include "platform/child_process_system.h"

#include <cstdlib>

namespace platform {

std::FILE* openCommandPipe(const std::string& command, bool forWriting)
{
    return _popen(command.c_str(), forWriting ? "wb" : "rb");
}

int closeCommandPipe(std::FILE* pipe)
{
    return _pclose(pipe);
}

int runShellCommand(const std::string& command)
{
    return std::system(command.c_str());
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
