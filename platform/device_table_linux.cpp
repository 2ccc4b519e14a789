#include <string>

#include "platform/device_table.h"
#include "platform/virtual_devices.h"

namespace platform {

namespace {

struct NodeFamily {
    const char* prefix;
    int firstCom;
};

constexpr NodeFamily kFamilies[] = {
    {"/dev/ttyS", 1},
    {"/dev/ttyUSB", 33},
    {"/dev/ttyACM", 65},
};

constexpr int kFamilySize = 32;

}  // namespace

int ComForDeviceNode(const std::string& node) {
    for (const auto& family : kFamilies) {
        const std::string prefix = family.prefix;
        if (node.size() <= prefix.size() || node.size() > prefix.size() + 2 ||
            node.compare(0, prefix.size(), prefix) != 0) {
            continue;
        }
        int index = 0;
        bool digits = true;
        for (std::size_t i = prefix.size(); i < node.size(); ++i) {
            if (node[i] < '0' || node[i] > '9') {
                digits = false;
                break;
            }
            index = index * 10 + (node[i] - '0');
        }
        if (digits && index < kFamilySize) {
            return family.firstCom + index;
        }
    }
    return 0;
}

std::string DeviceNodeForCom(int comNumber) {
    if (comNumber <= 0) {
        return {};
    }
    for (const auto& dev : ListVirtualDevices()) {
        if (!dev.adb && dev.com == comNumber) {
            return dev.path;
        }
    }
    for (const auto& family : kFamilies) {
        const int index = comNumber - family.firstCom;
        if (index >= 0 && index < kFamilySize) {
            return std::string(family.prefix) + std::to_string(index);
        }
    }
    return {};
}

}  // namespace platform
