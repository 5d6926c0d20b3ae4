#pragma once
// The process's environment variables and its identity, for tests and tools
// that start other programs (children inherit the environment).
#include <string>

namespace platform {

// Sets `name` to `value` in this process's environment; true on success.
bool setEnvironmentVariable(const std::string& name, const std::string& value);
// Removes `name` from this process's environment; true on success (also when
// it was not set).
bool unsetEnvironmentVariable(const std::string& name);

// This process's identifier, for names of files that must not collide with
// those of other processes.
unsigned long long processId();

} // namespace platform
