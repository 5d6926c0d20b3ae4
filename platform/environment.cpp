#include "platform/environment.h"

#include <cstdlib>
#include <unistd.h>

namespace platform {

bool setEnvironmentVariable(const std::string& name, const std::string& value)
{
    return ::setenv(name.c_str(), value.c_str(), 1) == 0;
}

bool unsetEnvironmentVariable(const std::string& name)
{
    return ::unsetenv(name.c_str()) == 0;
}

unsigned long long processId()
{
    return static_cast<unsigned long long>(::getpid());
}

} // namespace platform
