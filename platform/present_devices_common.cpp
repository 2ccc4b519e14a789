// The present devices: what the OS lists, then the virtual devices of the device folder.
#include <algorithm>
#include <utility>

#include "platform/present_devices.h"
#include "platform/present_devices_os.h"

namespace platform {

std::vector<PresentSerialDevice> WithVirtualSerialDevices(std::vector<PresentSerialDevice> os,
                                                          const std::vector<VirtualDevice>& virtuals) {
    for (const auto& dev : virtuals) {
        if (!dev.adb) {
            os.push_back({dev.friendly, dev.hwids, dev.com, dev.path});
        }
    }
    return os;
}

std::vector<std::string> WithVirtualPortNames(std::vector<std::string> os,
                                              const std::vector<VirtualDevice>& virtuals) {
    for (const auto& dev : virtuals) {
        if (dev.adb || dev.com <= 0) {
            continue;
        }
        std::string name = "COM" + std::to_string(dev.com);
        if (std::find(os.begin(), os.end(), name) == os.end()) {
            os.push_back(std::move(name));
        }
    }
    return os;
}

std::vector<PresentAdbInterface> WithVirtualAdbInterfaces(std::vector<PresentAdbInterface> os,
                                                          const std::vector<VirtualDevice>& virtuals) {
    for (const auto& dev : virtuals) {
        if (dev.adb) {
            os.push_back({dev.friendly, dev.hwids});
        }
    }
    return os;
}

std::vector<PresentSerialDevice> ListPresentSerialDevices() {
    return WithVirtualSerialDevices(OsSerialDevices(), ListVirtualDevices());
}

std::vector<std::string> ListSerialPortNames() {
    return WithVirtualPortNames(OsSerialPortNames(), ListVirtualDevices());
}

std::vector<PresentAdbInterface> ListPresentAdbInterfaces() {
    return WithVirtualAdbInterfaces(OsAdbInterfaces(), ListVirtualDevices());
}

}  // namespace platform
