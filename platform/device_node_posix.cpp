#include <filesystem>

#include "platform/device_node.h"

namespace platform {

bool DeviceNodeExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::exists(path, ec);
}

}  // namespace platform
