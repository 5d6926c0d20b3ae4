#pragma once
// The system's side of child_process.h: each platform's command interpreter
// (sh on Linux, cmd.exe on Windows) behind the same three calls.
#include <cstdio>
#include <string>

namespace platform {

// Starts `command` with a pipe to its standard input (forWriting) or from its
// standard output; nullptr when it could not be started.
std::FILE* openCommandPipe(const std::string& command, bool forWriting);

// Closes the pipe and waits for the program: its exit status, -1 when it did
// not exit normally.
int closeCommandPipe(std::FILE* pipe);

// Runs `command` and waits: its exit status, -1 when it could not be started
// or did not exit normally.
int runShellCommand(const std::string& command);

} // namespace platform
