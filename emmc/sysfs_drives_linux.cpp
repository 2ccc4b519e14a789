#include "sysfs_drives_linux.h"

#include <array>
#include <fstream>

#include "device_text.h"

namespace tarnwick {

std::optional<std::string> ReadSysfsText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::array<char, kMaxDeviceText> bytes{};
    in.read(bytes.data(), bytes.size());
    return DeviceText(std::string_view(bytes.data(), static_cast<std::size_t>(in.gcount())));
}

std::string DiskNameOfLetter(char letter) {
    if (letter >= 'A' && letter <= 'Z') {
        letter = static_cast<char>(letter - 'A' + 'a');
    }
    if (letter < 'a' || letter > 'z') {
        return {};
    }
    return std::string("sd") + letter;
}

bool IsRemovableDisk(const std::string& sysBlockDir, const std::string& disk) {
    return !disk.empty() && ReadSysfsText(sysBlockDir + "/" + disk + "/removable") == "1";
}

std::vector<DriveInfo> ListRemovableScsiDisks(const std::string& sysBlockDir) {
    std::vector<DriveInfo> drives;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const std::string disk = DiskNameOfLetter(letter);
        if (!IsRemovableDisk(sysBlockDir, disk)) {
            continue;
        }
        const std::string device = sysBlockDir + "/" + disk + "/device/";
        drives.push_back({letter, ReadSysfsText(device + "vendor"), ReadSysfsText(device + "model")});
    }
    return drives;
}

}  // namespace tarnwick
