// The calendar time, local and universal, for time stamps.
#pragma once

#include <ctime>

namespace platform {

std::tm LocalTimeNow();
std::tm UtcTimeNow();

}  // namespace platform
