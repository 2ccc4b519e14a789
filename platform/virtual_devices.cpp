#include "platform/virtual_devices.h"

#include "platform/process_alive.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace platform {

namespace {

constexpr std::size_t kMaxFileBytes = 16 * 1024;
constexpr std::size_t kMaxValueBytes = 512;
constexpr std::size_t kMaxHwids = 32;

std::string Trimmed(std::string s) {
    while (!s.empty() && (s.back() == '\r' || s.back() == ' ' || s.back() == '\t')) {
        s.pop_back();
    }
    std::size_t start = 0;
    while (start < s.size() && (s[start] == ' ' || s[start] == '\t')) {
        ++start;
    }
    return s.substr(start);
}

// A COM number of 1 to 9999, or 0 when the text is not exactly such a number.
int ParseCom(const std::string& text) {
    if (text.empty() || text.size() > 4) {
        return 0;
    }
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return 0;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

VirtualDevice ParseVirtualDevice(const std::string& text) {
    VirtualDevice dev;
    std::istringstream in(text.substr(0, kMaxFileBytes));
    std::string line;
    while (std::getline(in, line)) {
        const auto eq = line.find('=');
        if (eq == std::string::npos) {
            continue;
        }
        const std::string key = Trimmed(line.substr(0, eq));
        std::string value = Trimmed(line.substr(eq + 1));
        if (value.size() > kMaxValueBytes) {
            value.resize(kMaxValueBytes);
        }
        if (key == "path") {
            dev.path = value;
        } else if (key == "com") {
            dev.com = ParseCom(value);
        } else if (key == "friendly") {
            dev.friendly = value;
        } else if (key == "hwid") {
            if (!value.empty() && dev.hwids.size() < kMaxHwids) {
                dev.hwids.push_back(value);
            }
        } else if (key == "adb") {
            dev.adb = value == "1";
        } else if (key == "pid") {
            dev.pid = value.size() <= 9 && !value.empty() &&
                              value.find_first_not_of("0123456789") == std::string::npos
                          ? std::stol(value)
                          : 0;
        }
    }
    return dev;
}

std::string FormatVirtualDevice(const VirtualDevice& dev) {
    std::ostringstream out;
    if (!dev.path.empty()) {
        out << "path=" << dev.path << '\n';
    }
    if (dev.com > 0) {
        out << "com=" << dev.com << '\n';
    }
    if (!dev.friendly.empty()) {
        out << "friendly=" << dev.friendly << '\n';
    }
    for (const auto& id : dev.hwids) {
        out << "hwid=" << id << '\n';
    }
    if (dev.adb) {
        out << "adb=1\n";
    }
    if (dev.pid > 0) {
        out << "pid=" << dev.pid << '\n';
    }
    return out.str();
}

std::optional<VirtualDevice> ReadVirtualDeviceFile(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string text(kMaxFileBytes, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    VirtualDevice dev = ParseVirtualDevice(text);
    dev.file = file;
    return dev;
}

std::vector<VirtualDevice> ListVirtualDevices() {
    std::vector<VirtualDevice> devices;
    std::error_code ec;
    std::vector<std::filesystem::path> files;
    const std::string folder = VirtualDeviceDirectory();
    if (folder.empty()) {
        return devices;
    }
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        if (entry.path().extension() == ".device") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        auto dev = ReadVirtualDeviceFile(file.string());
        if (!dev) {
            continue;  // removed between listing and reading: the device has gone
        }
        if (!IsStaleVirtualDevice(*dev) && (dev->adb || VirtualDeviceNodeExists(dev->path))) {
            devices.push_back(std::move(*dev));
        }
    }
    return devices;
}

std::string WriteVirtualDevice(const std::string& name, const VirtualDevice& dev, bool exclusive) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const std::string folder = VirtualDeviceDirectory();
    if (folder.empty()) {
        return {};
    }
    const fs::path dir = folder;
    fs::create_directories(dir, ec);
    const fs::path target = dir / (name + ".device");
    // Written under a name without the .device extension first, so that readers never see half a file.
    const fs::path temp = dir / ("." + name + ".tmp");
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << FormatVirtualDevice(dev);
        if (!out.flush()) {
            fs::remove(temp, ec);
            return {};
        }
    }
    if (exclusive) {
        fs::create_hard_link(temp, target, ec);
        std::error_code ignored;
        fs::remove(temp, ignored);
        if (ec) {
            return {};
        }
    } else {
        fs::rename(temp, target, ec);
        if (ec) {
            fs::remove(temp, ec);
            return {};
        }
    }
    return target.string();
}

bool IsStaleVirtualDevice(const VirtualDevice& dev) {
    return dev.pid > 0 && !ProcessAlive(dev.pid);
}

void RemoveVirtualDevice(const std::string& file) {
    std::error_code ec;
    std::filesystem::remove(file, ec);
}

}  // namespace platform
