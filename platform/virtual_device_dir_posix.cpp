#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/virtual_devices.h"

namespace platform {

std::string VirtualDeviceDirectory() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] != '\0') {
        return std::string(runtime) + "/marlinq/devices/";
    }
    return "/tmp/marlinq-" + std::to_string(getuid()) + "/devices/";
}

bool VirtualDeviceNodeExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::exists(path, ec);
}

}  // namespace platform
