// Maps COM numbers to the device nodes that carry them.
//
// Linux rule: /dev/ttyS<k> is COM(k+1), /dev/ttyUSB<k> is COM(k+33), /dev/ttyACM<k> is COM(k+65).
// A virtual device (see virtual_devices.h) with com=N takes precedence for COM N.
#pragma once

#include <string>

namespace platform {

// The device node for COM comNumber; empty when no node is known for it.
std::string DeviceNodeForCom(int comNumber);

// The COM number of a device node by the fixed rule ("/dev/ttyUSB2" -> 35); 0 when none applies.
int ComForDeviceNode(const std::string& node);

}  // namespace platform
