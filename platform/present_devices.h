// The serial devices, serial port names and ADB interfaces present on this machine, as the
// device-setup interface and the serial port registry would list them.
#pragma once

#include <string>
#include <vector>

namespace platform {

struct PresentSerialDevice {
    std::string friendly;            // e.g. "Simulated DTU AT Port (COM201)"
    std::vector<std::string> hwids;  // Windows text form, e.g. "USB\VID_1E0E&PID_9001&MI_00"
    int com = 0;
    std::string node;  // the device node that carries it
};

struct PresentAdbInterface {
    std::string friendly;
    std::vector<std::string> hwids;  // e.g. "USB\VID_1E0E&PID_9001&MI_06"
};

// Present serial devices in a stable order (real ttys first, then virtual devices).
std::vector<PresentSerialDevice> ListPresentSerialDevices();

// Names ("COMn") of every serial port the platform knows, present devices or not; the
// counterpart of the registry's list of serial ports.
std::vector<std::string> ListSerialPortNames();

// Present ADB interfaces (real USB interfaces, then virtual devices with adb=1).
std::vector<PresentAdbInterface> ListPresentAdbInterfaces();

}  // namespace platform
