// The process environment, as far as the tool and its tests set it.
#pragma once

#include <string>

namespace platform {

// Sets (or, with an empty value, removes) one variable of this process's environment.
bool SetEnvironmentValue(const std::string& name, const std::string& value);

}  // namespace platform
