// The serial devices present on this machine, as the device-setup interface would list them.
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

// Present serial devices in a stable order (real ttys first, then virtual devices).
std::vector<PresentSerialDevice> ListPresentSerialDevices();

}  // namespace platform
