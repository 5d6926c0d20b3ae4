// The environment through the C runtime (whose copy the child processes it
// starts inherit) and the process id from the system.
#include "platform/environment.h"

#include <windows.h>

#include <cstdlib>

namespace platform {

bool setEnvironmentVariable(const std::string& name, const std::string& value)
{
    return _putenv_s(name.c_str(), value.c_str()) == 0;
}

bool unsetEnvironmentVariable(const std::string& name)
{
    // An empty value removes the variable.
    return _putenv_s(name.c_str(), "") == 0;
}

unsigned long long processId() { return GetCurrentProcessId(); }

} // namespace platform
