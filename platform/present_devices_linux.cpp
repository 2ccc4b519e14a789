#include "platform/present_devices.h"
#include "platform/virtual_devices.h"

namespace platform {

std::vector<PresentSerialDevice> ListPresentSerialDevices() {
    std::vector<PresentSerialDevice> out;
    for (auto& dev : ListVirtualDevices()) {
        if (dev.adb) {
            continue;
        }
        out.push_back({dev.friendly, dev.hwids, dev.com, dev.path});
    }
    return out;
}

}  // namespace platform
