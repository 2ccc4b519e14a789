// What Windows lists: the Ports device class, the serial port registry key and the ADB interface
// class.
#include <windows.h>

#include <setupapi.h>

#include <initguid.h>

#include <devguid.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/present_devices_os.h"

namespace platform {

namespace {

constexpr DWORD kMaxDevices = 1024;        // bound on what one enumeration takes in
constexpr DWORD kMaxPropertyBytes = 4096;  // bound on one registry property of a device

// The interface class that USB ADB interfaces register under.
const GUID kAdbInterfaceClass = {
    0x3f966bd9, 0xfa04, 0x4ec5, {0x99, 0x1c, 0xd3, 0x26, 0x97, 0x3b, 0x51, 0x28}};

// One registry property of a device, in a buffer grown to the size the system asks for.
std::string DeviceProperty(HDEVINFO set, SP_DEVINFO_DATA* info, DWORD property) {
    std::vector<char> buffer(256);
    for (int attempt = 0; attempt < 2; ++attempt) {
        DWORD needed = 0;
        if (::SetupDiGetDeviceRegistryPropertyA(set, info, property, nullptr,
                                                reinterpret_cast<BYTE*>(buffer.data()),
                                                static_cast<DWORD>(buffer.size()), &needed)) {
            return std::string(buffer.data(), std::min<std::size_t>(needed, buffer.size()));
        }
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed > kMaxPropertyBytes) {
            break;
        }
        buffer.assign(needed + 2, '\0');
    }
    return {};
}

// The texts of a REG_MULTI_SZ value: NUL-separated, ending in an empty text.
std::vector<std::string> MultiText(const std::string& raw) {
    std::vector<std::string> out;
    std::size_t at = 0;
    while (at < raw.size() && raw[at] != '\0' && out.size() < 32) {
        const std::size_t end = std::min(raw.find('\0', at), raw.size());
        out.push_back(raw.substr(at, end - at));
        at = end + 1;
    }
    return out;
}

std::string SingleText(const std::string& raw) {
    return raw.substr(0, std::min(raw.find('\0'), raw.size()));
}

// The COM number of a friendly name that ends in "(COMn)"; 0 when there is none.
int ComOfFriendlyName(const std::string& name) {
    const std::size_t open = name.rfind("(COM");
    if (open == std::string::npos) {
        return 0;
    }
    int com = 0;
    for (std::size_t i = open + 4; i < name.size() && name[i] >= '0' && name[i] <= '9' && com < 100000; ++i) {
        com = com * 10 + (name[i] - '0');
    }
    return com;
}

template <typename Visit>
void ForEachPresentDevice(const GUID& cls, Visit visit) {
    const HDEVINFO set = ::SetupDiGetClassDevsA(&cls, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) {
        return;
    }
    SP_DEVINFO_DATA info{};
    info.cbSize = sizeof info;
    for (DWORD index = 0; index < kMaxDevices && ::SetupDiEnumDeviceInfo(set, index, &info); ++index) {
        visit(set, &info);
    }
    ::SetupDiDestroyDeviceInfoList(set);
}

}  // namespace

std::vector<PresentSerialDevice> OsSerialDevices() {
    std::vector<PresentSerialDevice> out;
    ForEachPresentDevice(GUID_DEVCLASS_PORTS, [&](HDEVINFO set, SP_DEVINFO_DATA* info) {
        PresentSerialDevice dev;
        dev.friendly = SingleText(DeviceProperty(set, info, SPDRP_FRIENDLYNAME));
        dev.hwids = MultiText(DeviceProperty(set, info, SPDRP_HARDWAREID));
        dev.com = ComOfFriendlyName(dev.friendly);
        if (dev.com > 0) {
            dev.node = "\\\\.\\COM" + std::to_string(dev.com);
        }
        out.push_back(std::move(dev));
    });
    return out;
}

std::vector<std::string> OsSerialPortNames() {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Hardware\\DeviceMap\\SerialComm", 0, KEY_READ, &key) ==
        ERROR_SUCCESS) {
        for (DWORD index = 0; index < kMaxDevices; ++index) {
            char name[256];
            char data[256 + 1] = {};
            DWORD nameSize = sizeof name;
            DWORD dataSize = sizeof data - 1;
            const LONG rc = ::RegEnumValueA(key, index, name, &nameSize, nullptr, nullptr,
                                            reinterpret_cast<BYTE*>(data), &dataSize);
            if (rc == ERROR_NO_MORE_ITEMS) {
                break;
            }
            if (rc == ERROR_SUCCESS) {
                names.emplace_back(data);
            }
        }
        ::RegCloseKey(key);
    }
    return names;
}

std::vector<PresentAdbInterface> OsAdbInterfaces() {
    std::vector<PresentAdbInterface> out;
    ForEachPresentDevice(kAdbInterfaceClass, [&](HDEVINFO set, SP_DEVINFO_DATA* info) {
        out.push_back({SingleText(DeviceProperty(set, info, SPDRP_FRIENDLYNAME)),
                       MultiText(DeviceProperty(set, info, SPDRP_HARDWAREID))});
    });
    return out;
}

}  // namespace platform
