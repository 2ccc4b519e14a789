// Pure mapping from the udev properties of a USB tty or USB interface to the device records the
// rest of the system sees. Kept apart from the libudev enumeration so that tests can feed
// properties directly.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/present_devices.h"

namespace platform {

// What the enumeration reads for one tty with a USB parent. Every text comes from the kernel or
// from udev rules and is treated as untrusted: the mapping bounds and checks each one.
struct UdevTtyProperties {
    std::string devnode;               // "/dev/ttyUSB2"
    std::string vendorId;              // idVendor of the USB device, 4 hex digits
    std::string productId;             // idProduct of the USB device, 4 hex digits
    std::string interfaceNumber;       // bInterfaceNumber of the USB interface, 2 hex digits
    std::string product;               // product string of the USB device
    std::string interfaceDescription;  // interface string of the USB interface
    std::string atPrimary;             // ID_MM_PORT_TYPE_AT_PRIMARY
};

// What the enumeration reads for one USB interface.
struct UdevInterfaceProperties {
    std::string vendorId;
    std::string productId;
    std::string interfaceNumber;
    std::string interfaceClass;     // bInterfaceClass, 2 hex digits
    std::string interfaceSubClass;  // bInterfaceSubClass
    std::string interfaceProtocol;  // bInterfaceProtocol
    std::string description;        // interface string, else the product string
};

// Longest text kept from a udev string; longer ones are cut.
inline constexpr std::size_t kMaxUdevText = 128;

// Hardware identifiers in the Windows text form: "USB\VID_XXXX&PID_XXXX&MI_XX" (when the
// interface number is valid) followed by "USB\VID_XXXX&PID_XXXX", upper-case hex. Empty when
// the vendor or product id is not exactly four hex digits.
std::vector<std::string> UsbHardwareIds(const std::string& vendorId, const std::string& productId,
                                        const std::string& interfaceNumber);

// The serial device for a USB tty; nullopt when the node has no COM number or the USB ids are
// unusable. The friendly name is the interface description (else the product string, else
// "USB Serial Port") followed by " (COMn)"; it contains "AT Port" exactly when udev marks the
// tty as the primary AT port or the interface description says "AT Port".
std::optional<PresentSerialDevice> MapUdevTty(const UdevTtyProperties& props);

// True when the interface is an ADB interface (class ff, subclass 42, protocol 01).
bool IsAdbInterface(const UdevInterfaceProperties& props);

// The ADB interface record; nullopt when it is not an ADB interface or its ids are unusable.
std::optional<PresentAdbInterface> MapUdevAdbInterface(const UdevInterfaceProperties& props);

}  // namespace platform
