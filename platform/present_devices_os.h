// What the OS itself lists, one backend per OS (present_devices_linux.cpp,
// present_devices_win32.cpp); present_devices_common.cpp adds the virtual devices to it.
#pragma once

#include <string>
#include <vector>

#include "platform/present_devices.h"

namespace platform {

// The serial devices the OS reports, in a stable order.
std::vector<PresentSerialDevice> OsSerialDevices();
// The names ("COMn") of every serial port the OS knows, in its order.
std::vector<std::string> OsSerialPortNames();
// The USB ADB interfaces the OS reports.
std::vector<PresentAdbInterface> OsAdbInterfaces();

}  // namespace platform
