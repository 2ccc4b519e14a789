#include "device_text.h"

namespace tarnwick {

std::optional<std::string> DeviceText(std::string_view raw) {
    raw = raw.substr(0, raw.find_first_of(std::string_view("\0\n", 2)));
    raw = raw.substr(0, kMaxDeviceText);
    const std::size_t last = raw.find_last_not_of(" \t\r");
    if (last == std::string_view::npos) {
        return std::nullopt;
    }
    return std::string(raw.substr(0, last + 1));
}

}  // namespace tarnwick
