// The device-monitor layer: whether a serial device or an ADB interface with a given hardware
// identifier is present, and the module's interface tables.
//
// Matching is exact: the identifier must equal one of a device's hardware identifiers, ignoring
// ASCII case as the platform does for these texts. A prefix match would let a short table entry
// such as "USB\VID_05C6&PID_9008" claim any product that starts alike; every device lists its
// short "USB\VID_XXXX&PID_XXXX" form as well, so exact matching loses nothing.
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "platform/present_devices.h"

// 1 when a present serial device has the hardware identifier hwid, else 0 (also for a null or
// over-long text).
extern "C" int Zendrel_IsPortsDeviceExist(const char* hwid);
// 1 when a present ADB interface has the hardware identifier hwid, else 0.
extern "C" int Zendrel_IsAndoidPhoneDeviceExist(const char* hwid);

namespace discovery {

// Longest identifier looked at; real ones are under 60 characters.
inline constexpr std::size_t kMaxHardwareIdChars = 200;

// The module's serial interfaces, in the order a scan pass tests them.
inline constexpr std::array<const char*, 16> kPortInterfaceIds = {
    "USB\\VID_05C6&PID_9025&MI_00", "USB\\VID_05C6&PID_9000&MI_00", "USB\\VID_05C6&PID_9026&MI_00",
    "USB\\VID_05C6&PID_9006&MI_00", "USB\\VID_05C6&PID_9008",       "USB\\VID_1E0E&PID_9009",
    "USB\\VID_05C6&PID_9046&MI_00", "USB\\VID_1E0E&PID_9046&MI_00", "USB\\VID_1E0E&PID_9011&MI_02",
    "USB\\VID_1E0E&PID_9000&MI_00", "USB\\VID_1E0E&PID_9001&MI_00", "USB\\VID_1E0E&PID_9002&MI_00",
    "USB\\VID_1E0E&PID_9003&MI_00", "USB\\VID_1E0E&PID_9004&MI_00", "USB\\VID_1E0E&PID_9005&MI_00",
    "USB\\VID_1E0E&PID_9006&MI_00",
};

// The module's ADB interfaces.
inline constexpr std::array<const char*, 11> kAdbInterfaceIds = {
    "USB\\VID_1E0E&PID_9001&MI_06", "USB\\VID_05C6&PID_9046&MI_06", "USB\\VID_1E0E&PID_9046&MI_06",
    "USB\\VID_05C6&PID_9007&MI_06", "USB\\VID_1E0E&PID_9007&MI_06", "USB\\VID_1E0E&PID_9002&MI_06",
    "USB\\VID_1E0E&PID_9003&MI_07", "USB\\VID_1E0E&PID_9004&MI_07", "USB\\VID_1E0E&PID_9005&MI_08",
    "USB\\VID_1E0E&PID_9006&MI_03", "USB\\VID_1E0E&PID_9011&MI_07",
};

// True when hwid equals one of ids (ASCII case ignored) and is not longer than the bound.
bool HardwareIdMatches(std::string_view hwid, const std::vector<std::string>& ids);

bool IsPortsDeviceExist(std::string_view hwid, const std::vector<platform::PresentSerialDevice>& devices);
bool IsAdbDeviceExist(std::string_view hwid, const std::vector<platform::PresentAdbInterface>& interfaces);

// True when any identifier of the port-interface table is present among devices. One listing
// serves the whole table, so a pass costs one enumeration, not sixteen.
bool IsModulePresent(const std::vector<platform::PresentSerialDevice>& devices);
bool IsModulePresent();

}  // namespace discovery
