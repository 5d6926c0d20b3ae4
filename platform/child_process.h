#pragma once
// Running other programs from command-line tools: a shell command whose
// standard input we write (a pipe), or one we wait for.
#include <cstddef>
#include <cstdio>
#include <string>

namespace platform {

class CommandPipe {
public:
    CommandPipe() = default;
    ~CommandPipe();
    CommandPipe(const CommandPipe&) = delete;
    CommandPipe& operator=(const CommandPipe&) = delete;

    // Starts `command` with its standard input connected to this pipe.
    // A program that exits early makes write fail instead of ending this
    // process.
    bool open(const std::string& command);
    bool write(const void* data, std::size_t bytes);
    // Closes the pipe and waits for the program: true when it exited with 0.
    bool close();

private:
    std::FILE* pipe_ = nullptr;
};

// Runs `command` through the shell and waits: true when it exited with 0.
bool runCommand(const std::string& command);

// Runs `command` through the shell, collects what it writes to its standard
// output and waits for it. `status` is its exit status, -1 when it could not
// be started or did not exit normally.
struct CommandOutput {
    int status = -1;
    std::string output;
};
CommandOutput runCapturingOutput(const std::string& command);

// The text quoted for the shell.
std::string shellQuoted(const std::string& text);

} // namespace platform
