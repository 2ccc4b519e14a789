// The serial devices, serial port names and ADB interfaces present on this machine, as the
// device-setup interface and the serial port registry would list them.
#pragma once

#include <string>
#include <vector>

#include "platform/virtual_devices.h"

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
// counterpart of the registry's list of serial ports. Each name once.
std::vector<std::string> ListSerialPortNames();

// Present ADB interfaces (real USB interfaces, then virtual devices with adb=1).
std::vector<PresentAdbInterface> ListPresentAdbInterfaces();

// How the lists above add the virtual devices to what the OS lists: serial ports and ADB
// interfaces after the OS's own, in the order given; a port name only when the OS does not know
// it already and the device has a COM number.
std::vector<PresentSerialDevice> WithVirtualSerialDevices(std::vector<PresentSerialDevice> os,
                                                          const std::vector<VirtualDevice>& virtuals);
std::vector<std::string> WithVirtualPortNames(std::vector<std::string> os,
                                              const std::vector<VirtualDevice>& virtuals);
std::vector<PresentAdbInterface> WithVirtualAdbInterfaces(std::vector<PresentAdbInterface> os,
                                                          const std::vector<VirtualDevice>& virtuals);

}  // namespace platform
