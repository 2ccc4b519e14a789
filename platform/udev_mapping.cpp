#include "platform/udev_mapping.h"

#include "platform/device_table.h"

namespace platform {

namespace {

constexpr const char* kAtPort = "AT Port";

bool IsHexDigits(const std::string& text, std::size_t count) {
    if (text.size() != count) {
        return false;
    }
    for (char c : text) {
        const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!hex) {
            return false;
        }
    }
    return true;
}

std::string UpperHex(const std::string& text) {
    std::string out = text;
    for (char& c : out) {
        if (c >= 'a' && c <= 'f') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

// A udev string made safe for display: control characters become blanks, the length is bounded,
// surrounding blanks are removed.
std::string CleanText(const std::string& raw) {
    std::string out = raw.substr(0, kMaxUdevText);
    for (char& c : out) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7f) {
            c = ' ';
        }
    }
    const auto first = out.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    const auto last = out.find_last_not_of(' ');
    return out.substr(first, last - first + 1);
}

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

std::vector<std::string> UsbHardwareIds(const std::string& vendorId, const std::string& productId,
                                        const std::string& interfaceNumber) {
    if (!IsHexDigits(vendorId, 4) || !IsHexDigits(productId, 4)) {
        return {};
    }
    const std::string base = "USB\\VID_" + UpperHex(vendorId) + "&PID_" + UpperHex(productId);
    std::vector<std::string> ids;
    if (IsHexDigits(interfaceNumber, 2)) {
        ids.push_back(base + "&MI_" + UpperHex(interfaceNumber));
    }
    ids.push_back(base);
    return ids;
}

std::optional<PresentSerialDevice> MapUdevTty(const UdevTtyProperties& props) {
    if (props.devnode.size() > kMaxUdevText) {
        return std::nullopt;
    }
    const int com = ComForDeviceNode(props.devnode);
    auto hwids = UsbHardwareIds(props.vendorId, props.productId, props.interfaceNumber);
    if (com == 0 || hwids.empty()) {
        return std::nullopt;
    }
    const std::string interfaceText = CleanText(props.interfaceDescription);
    const std::string productText = CleanText(props.product);
    const bool atPort = props.atPrimary == "1" || Contains(interfaceText, kAtPort);

    std::string name = !interfaceText.empty() ? interfaceText : productText;
    if (!atPort && Contains(name, kAtPort)) {
        // Only the interface description or the udev tag may make a port the AT port; a product
        // string names every interface of the device alike.
        name.clear();
    }
    if (name.empty()) {
        name = "USB Serial Port";
    }
    if (atPort && !Contains(name, kAtPort)) {
        name += " AT Port";
    }
    PresentSerialDevice dev;
    dev.friendly = name + " (COM" + std::to_string(com) + ")";
    dev.hwids = std::move(hwids);
    dev.com = com;
    dev.node = props.devnode;
    return dev;
}

bool IsAdbInterface(const UdevInterfaceProperties& props) {
    return UpperHex(props.interfaceClass) == "FF" && props.interfaceSubClass == "42" &&
           props.interfaceProtocol == "01";
}

std::optional<PresentAdbInterface> MapUdevAdbInterface(const UdevInterfaceProperties& props) {
    if (!IsAdbInterface(props)) {
        return std::nullopt;
    }
    auto hwids = UsbHardwareIds(props.vendorId, props.productId, props.interfaceNumber);
    if (hwids.empty()) {
        return std::nullopt;
    }
    PresentAdbInterface adb;
    adb.friendly = CleanText(props.description);
    if (adb.friendly.empty()) {
        adb.friendly = "ADB Interface";
    }
    adb.hwids = std::move(hwids);
    return adb;
}

}  // namespace platform
