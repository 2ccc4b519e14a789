// Cleaning up the vendor and product strings that a drive reports.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

inline constexpr std::size_t kMaxDeviceText = 64;

// The text up to the first NUL or line end, at most kMaxDeviceText bytes, trailing blanks removed;
// absent when nothing is left.
std::optional<std::string> DeviceText(std::string_view raw);

}  // namespace tarnwick
