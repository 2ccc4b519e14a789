// Parses arbitrary device files and checks that formatting what was parsed parses back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/virtual_devices.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto dev = platform::ParseVirtualDevice(text);
    if (dev.hwids.size() > 32 || dev.friendly.size() > 512 || dev.path.size() > 512 || dev.com < 0) {
        std::abort();
    }
    const auto again = platform::ParseVirtualDevice(platform::FormatVirtualDevice(dev));
    if (again.com != dev.com || again.adb != dev.adb || again.friendly != dev.friendly) {
        std::abort();
    }
    return 0;
}
