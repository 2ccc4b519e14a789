#include "discovery/device_presence.h"

#include <cstring>

#include "framework/ascii_case.h"

namespace discovery {

namespace {

// The identifier as a bounded view; empty for a null or over-long text.
std::string_view Bounded(const char* hwid) {
    if (hwid == nullptr) {
        return {};
    }
    const std::size_t n = strnlen(hwid, kMaxHardwareIdChars + 1);
    return n > kMaxHardwareIdChars ? std::string_view() : std::string_view(hwid, n);
}

}  // namespace

bool HardwareIdMatches(std::string_view hwid, const std::vector<std::string>& ids) {
    if (hwid.empty() || hwid.size() > kMaxHardwareIdChars) {
        return false;
    }
    for (const auto& id : ids) {
        if (fw::SameIgnoringAsciiCase(hwid, id)) {
            return true;
        }
    }
    return false;
}

bool IsPortsDeviceExist(std::string_view hwid, const std::vector<platform::PresentSerialDevice>& devices) {
    for (const auto& dev : devices) {
        if (HardwareIdMatches(hwid, dev.hwids)) {
            return true;
        }
    }
    return false;
}

bool IsAdbDeviceExist(std::string_view hwid, const std::vector<platform::PresentAdbInterface>& interfaces) {
    for (const auto& adb : interfaces) {
        if (HardwareIdMatches(hwid, adb.hwids)) {
            return true;
        }
    }
    return false;
}

bool IsModulePresent(const std::vector<platform::PresentSerialDevice>& devices) {
    for (const char* id : kPortInterfaceIds) {
        if (IsPortsDeviceExist(id, devices)) {
            return true;
        }
    }
    return false;
}

bool IsModulePresent() {
    return IsModulePresent(platform::ListPresentSerialDevices());
}

}  // namespace discovery

extern "C" int Zendrel_IsPortsDeviceExist(const char* hwid) {
    const std::string_view id = discovery::Bounded(hwid);
    return !id.empty() && discovery::IsPortsDeviceExist(id, platform::ListPresentSerialDevices()) ? 1 : 0;
}

extern "C" int Zendrel_IsAndoidPhoneDeviceExist(const char* hwid) {
    const std::string_view id = discovery::Bounded(hwid);
    return !id.empty() && discovery::IsAdbDeviceExist(id, platform::ListPresentAdbInterfaces()) ? 1 : 0;
}
