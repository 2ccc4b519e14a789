#include "discovery/at_port.h"

#include <algorithm>

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

namespace {

bool IsAtPort(const platform::PresentSerialDevice& device) {
    return device.friendly.substr(0, kFriendlyNameBytes - 1).find("AT Port") != std::string::npos;
}

}  // namespace

int FindAtPortNumber(const std::vector<platform::PresentSerialDevice>& devices) {
    int found = 0;
    for (const auto& dev : devices) {
        if (IsAtPort(dev)) {
            found = ComNumberFromFriendlyName(dev.friendly);
        }
    }
    return found;
}

std::vector<int> AllAtPortNumbers(const std::vector<platform::PresentSerialDevice>& devices) {
    std::vector<int> ports;
    for (const auto& dev : devices) {
        const int com = IsAtPort(dev) ? ComNumberFromFriendlyName(dev.friendly) : 0;
        if (com > 0) {
            ports.push_back(com);
        }
    }
    std::sort(ports.begin(), ports.end());
    ports.erase(std::unique(ports.begin(), ports.end()), ports.end());
    return ports;
}

std::vector<int> AllAtPortNumbers() {
    return AllAtPortNumbers(platform::ListPresentSerialDevices());
}

bool IsComPresent(int com, const std::vector<platform::PresentSerialDevice>& devices) {
    for (const auto& device : devices) {
        if (device.com == com && com > 0) {
            return true;
        }
    }
    return false;
}

bool IsComPresent(int com) {
    return IsComPresent(com, platform::ListPresentSerialDevices());
}

int FindAtPortNumber() {
    return FindAtPortNumber(platform::ListPresentSerialDevices());
}
