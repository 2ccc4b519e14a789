// Who and where: the station's host name and the operator's user name, as a production record
// names them. Each is at most kIdentityLimit bytes; empty when the system cannot say.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

inline constexpr std::size_t kIdentityLimit = 255;

std::string StationName();
std::string OperatorName();

}  // namespace platform
