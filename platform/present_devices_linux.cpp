// What Linux lists: USB ttys, serial port names and USB ADB interfaces from libudev.
#include <libudev.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>

#include "platform/device_table.h"
#include "platform/present_devices_os.h"
#include "platform/udev_mapping.h"

namespace platform {

namespace {

constexpr std::size_t kMaxDevices = 1024;  // bound on what one enumeration takes in

struct UdevDeleter {
    void operator()(udev* u) const { udev_unref(u); }
    void operator()(udev_enumerate* e) const { udev_enumerate_unref(e); }
    void operator()(udev_device* d) const { udev_device_unref(d); }
};
template <typename T>
using UdevPtr = std::unique_ptr<T, UdevDeleter>;

std::string Text(const char* value) {
    if (value == nullptr) {
        return {};
    }
    return std::string(value, strnlen(value, kMaxUdevText + 1));
}

std::string SysAttr(udev_device* dev, const char* name) {
    return dev != nullptr ? Text(udev_device_get_sysattr_value(dev, name)) : std::string();
}

// The last path component of a syspath, so that ttys can be filtered before they are opened.
std::string SysName(const char* syspath) {
    const char* slash = std::strrchr(syspath, '/');
    return Text(slash != nullptr ? slash + 1 : syspath);
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

// Calls visit(device) for each device of subsystem whose sysname passes keep.
// sysnames, when given, narrow the scan to matching entries before any device is read; that keeps
// the lookups a scan pass makes ten times a second cheap.
template <typename Keep, typename Visit>
void ForEachDevice(const char* subsystem, Keep keep, Visit visit,
                   const std::vector<std::pair<const char*, const char*>>& attrs = {},
                   const std::vector<const char*>& sysnames = {}) {
    UdevPtr<udev> u(udev_new());
    if (!u) {
        return;
    }
    UdevPtr<udev_enumerate> en(udev_enumerate_new(u.get()));
    if (!en) {
        return;
    }
    udev_enumerate_add_match_subsystem(en.get(), subsystem);
    for (const auto& [name, value] : attrs) {
        udev_enumerate_add_match_sysattr(en.get(), name, value);
    }
    for (const char* pattern : sysnames) {
        udev_enumerate_add_match_sysname(en.get(), pattern);
    }
    if (udev_enumerate_scan_devices(en.get()) < 0) {
        return;
    }
    std::size_t seen = 0;
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(en.get())) {
        if (++seen > kMaxDevices) {
            break;
        }
        const char* syspath = udev_list_entry_get_name(entry);
        if (syspath == nullptr || !keep(SysName(syspath))) {
            continue;
        }
        UdevPtr<udev_device> dev(udev_device_new_from_syspath(u.get(), syspath));
        if (dev) {
            visit(dev.get());
        }
    }
}

bool IsUsbTtyName(const std::string& name) {
    return StartsWith(name, "ttyUSB") || StartsWith(name, "ttyACM");
}

std::string DevNode(udev_device* dev) {
    std::string node = Text(udev_device_get_devnode(dev));
    if (node.empty()) {
        node = "/dev/" + Text(udev_device_get_sysname(dev));
    }
    return node;
}

}  // namespace

std::vector<PresentSerialDevice> OsSerialDevices() {
    std::vector<PresentSerialDevice> out;
    ForEachDevice(
        "tty", IsUsbTtyName,
        [&](udev_device* dev) {
            udev_device* intf = udev_device_get_parent_with_subsystem_devtype(dev, "usb", "usb_interface");
            udev_device* usb = udev_device_get_parent_with_subsystem_devtype(dev, "usb", "usb_device");
            if (intf == nullptr || usb == nullptr) {
                return;
            }
            UdevTtyProperties props;
            props.devnode = DevNode(dev);
            props.vendorId = SysAttr(usb, "idVendor");
            props.productId = SysAttr(usb, "idProduct");
            props.interfaceNumber = SysAttr(intf, "bInterfaceNumber");
            props.product = SysAttr(usb, "product");
            props.interfaceDescription = SysAttr(intf, "interface");
            props.atPrimary = Text(udev_device_get_property_value(dev, "ID_MM_PORT_TYPE_AT_PRIMARY"));
            if (auto mapped = MapUdevTty(props)) {
                out.push_back(std::move(*mapped));
            }
        },
        {}, {"ttyUSB*", "ttyACM*"});
    std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.com < b.com; });
    return out;
}

std::vector<std::string> OsSerialPortNames() {
    std::set<int> coms;
    ForEachDevice(
        "tty", [](const std::string& name) { return IsUsbTtyName(name) || StartsWith(name, "ttyS"); },
        [&](udev_device* dev) {
            const std::string node = DevNode(dev);
            // Legacy UART slots exist whether or not a UART sits behind them; type 0 means none.
            if (StartsWith(node, "/dev/ttyS") && SysAttr(dev, "type") == "0") {
                return;
            }
            if (const int com = ComForDeviceNode(node); com > 0) {
                coms.insert(com);
            }
        },
        {}, {"ttyUSB*", "ttyACM*", "ttyS*"});
    std::vector<std::string> names;
    for (int com : coms) {
        names.push_back("COM" + std::to_string(com));
    }
    return names;
}

std::vector<PresentAdbInterface> OsAdbInterfaces() {
    std::vector<PresentAdbInterface> out;
    ForEachDevice(
        "usb", [](const std::string&) { return true; },
        [&](udev_device* intf) {
            udev_device* usb = udev_device_get_parent_with_subsystem_devtype(intf, "usb", "usb_device");
            UdevInterfaceProperties props;
            props.vendorId = SysAttr(usb, "idVendor");
            props.productId = SysAttr(usb, "idProduct");
            props.interfaceNumber = SysAttr(intf, "bInterfaceNumber");
            props.interfaceClass = SysAttr(intf, "bInterfaceClass");
            props.interfaceSubClass = SysAttr(intf, "bInterfaceSubClass");
            props.interfaceProtocol = SysAttr(intf, "bInterfaceProtocol");
            props.description = SysAttr(intf, "interface");
            if (props.description.empty()) {
                props.description = SysAttr(usb, "product");
            }
            if (auto mapped = MapUdevAdbInterface(props)) {
                out.push_back(std::move(*mapped));
            }
        },
        {{"bInterfaceClass", "ff"}, {"bInterfaceSubClass", "42"}, {"bInterfaceProtocol", "01"}});
    return out;
}

}  // namespace platform
