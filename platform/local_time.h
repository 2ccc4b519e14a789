// The local calendar time, for time stamps.
#pragma once

#include <ctime>

namespace platform {

std::tm LocalTimeNow();

}  // namespace platform
