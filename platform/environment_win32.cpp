#include <windows.h>

#include <cstdlib>

#include "platform/environment.h"

namespace platform {

bool SetEnvironmentValue(const std::string& name, const std::string& value) {
    // The C runtime keeps its own copy of the environment (getenv reads it); the system's copy is
    // what child processes inherit. Both are set.
    const bool crt = ::_putenv_s(name.c_str(), value.c_str()) == 0;
    const bool os = ::SetEnvironmentVariableA(name.c_str(), value.empty() ? nullptr : value.c_str()) != FALSE;
    return crt && os;
}

}  // namespace platform
