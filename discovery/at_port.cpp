#include "discovery/at_port.h"

namespace {

constexpr std::size_t kFriendlyNameBytes = 260;
constexpr std::size_t kNumberChars = 99;

}  // namespace

int ComNumberFromFriendlyName(const std::string& friendlyIn) {
    const std::string friendly = friendlyIn.substr(0, kFriendlyNameBytes - 1);
    const auto com = friendly.rfind("COM");
    if (com == std::string::npos) {
        return 0;
    }
    const auto close = friendly.find(')', com + 3);
    if (close == std::string::npos) {
        return 0;
    }
    const std::string digits = friendly.substr(com + 3, std::min(close - com - 3, kNumberChars));
    long value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') {
            break;
        }
        value = value * 10 + (c - '0');
        if (value > 99999) {
            return 0;  // no real port has such a number
        }
    }
    return static_cast<int>(value);
}

int FindAtPortNumber(const std::vector<platform::PresentSerialDevice>& devices) {
    int found = 0;
    for (const auto& dev : devices) {
        if (dev.friendly.substr(0, kFriendlyNameBytes - 1).find("AT Port") != std::string::npos) {
            found = ComNumberFromFriendlyName(dev.friendly);
        }
    }
    return found;
}

int FindAtPortNumber() {
    return FindAtPortNumber(platform::ListPresentSerialDevices());
}
