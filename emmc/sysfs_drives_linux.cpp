#include "sysfs_drives_linux.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>

namespace tarnwick {

std::optional<std::string> ReadSysfsText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::array<char, kMaxSysfsText> bytes{};
    in.read(bytes.data(), bytes.size());
    std::string text(bytes.data(), static_cast<std::size_t>(in.gcount()));
    text = text.substr(0, text.find_first_of(std::string_view("\0\n", 2)));
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.pop_back();
    }
    if (text.empty()) {
        return std::nullopt;
    }
    return text;
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
