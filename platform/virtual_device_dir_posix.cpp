#include <unistd.h>

#include <cstdlib>
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

}  // namespace platform
