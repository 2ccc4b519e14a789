#include <cstdlib>

#include "platform/environment.h"

namespace platform {

bool SetEnvironmentValue(const std::string& name, const std::string& value) {
    return (value.empty() ? ::unsetenv(name.c_str()) : ::setenv(name.c_str(), value.c_str(), 1)) == 0;
}

}  // namespace platform
