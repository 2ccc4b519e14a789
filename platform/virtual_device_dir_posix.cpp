// The folder of the virtual device files on POSIX. Whoever can write to it can announce a device,
// and the tool then sends the module's parameters (APN credentials included) to that device's
// terminal: so a folder is used only when it is ours alone, as ssh checks the folders of its keys.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/virtual_devices.h"

namespace platform {

namespace {

// Further names tried beside the usual one (<name>.1 to <name>.9) before a fresh random folder.
constexpr int kOtherNames = 9;

std::mutex g_mutex;
std::set<std::string> g_warned;                   // refused folders already named on stderr
std::map<std::string, std::string> g_lastResort;  // a fresh folder per base, made once per process

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

// Empty when path is a folder of ours that no one else can write to; made (mode 0700) when it
// does not exist. Otherwise why it is refused.
std::string MakeOrCheckPrivateFolder(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        if (errno != ENOENT) {
            return "it cannot be examined";
        }
        // Exclusive: when someone else made it in between, the check below sees theirs.
        if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
            return "it cannot be made";
        }
        if (::lstat(path.c_str(), &st) != 0) {
            return "it cannot be examined";
        }
    }
    // lstat: a symbolic link is refused whatever it points to.
    if (S_ISLNK(st.st_mode)) {
        return "it is a symbolic link";
    }
    if (!S_ISDIR(st.st_mode)) {
        return "it is not a folder";
    }
    if (st.st_uid != ::geteuid()) {
        return "it belongs to user " + std::to_string(st.st_uid);
    }
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        return "others can write to it";
    }
    return {};
}

// The devices folder under parent, both checked; empty after noting why in *refused.
std::string PrivateDevicesFolder(const std::string& parent, std::string* refused) {
    for (const std::string& folder : {parent, parent + "/devices"}) {
        const std::string why = MakeOrCheckPrivateFolder(folder);
        if (!why.empty()) {
            *refused = folder + ": " + why;
            return {};
        }
    }
    return parent + "/devices/";
}

// A new folder of a random name under base, made as mkdtemp makes it (mode 0700, never an
// existing one); kept for the rest of the process.
std::string LastResort(const std::string& base) {
    auto& made = g_lastResort[base];
    if (made.empty()) {
        std::string pattern = base + "/marlinq-" + std::to_string(::getuid()) + "-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) {
            made = pattern;
        }
    }
    if (made.empty()) {
        return {};
    }
    std::string refused;
    return PrivateDevicesFolder(made, &refused);
}

void Warn(const std::vector<std::string>& refused, const std::string& used) {
    for (const auto& folder : refused) {
        if (g_warned.insert(folder + "\n" + used).second) {
            std::cerr << "marlinq: not using the device folder " << folder << "; using "
                      << (used.empty() ? std::string("none") : used) << " instead\n"
                      << std::flush;
        }
    }
}

// Where the folders go (base) and the usual name of ours in it: $XDG_RUNTIME_DIR/marlinq, or
// <temporary folder>/marlinq-<uid> when XDG_RUNTIME_DIR is unset ($TMPDIR, else /tmp).
struct Location {
    std::string base;
    std::string folder;
};

Location UsualLocation() {
    const std::string runtime = Environment("XDG_RUNTIME_DIR");
    if (!runtime.empty()) {
        return {runtime, runtime + "/marlinq"};
    }
    std::string temp = Environment("TMPDIR");
    if (temp.empty() || temp.front() != '/') {
        temp = "/tmp";
    }
    while (temp.size() > 1 && temp.back() == '/') {
        temp.pop_back();
    }
    return {temp, temp + "/marlinq-" + std::to_string(::getuid())};
}

}  // namespace

std::string VirtualDeviceDirectory() {
    const Location location = UsualLocation();
    std::lock_guard lock(g_mutex);
    std::vector<std::string> refused;
    std::string used;
    for (int n = 0; n <= kOtherNames && used.empty(); ++n) {
        std::string why;
        used =
            PrivateDevicesFolder(n == 0 ? location.folder : location.folder + "." + std::to_string(n), &why);
        if (used.empty()) {
            refused.push_back(why);
        }
    }
    if (used.empty()) {
        used = LastResort(location.base);
    }
    Warn(refused, used);
    return used;
}

bool VirtualDeviceNodeExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::exists(path, ec);
}

}  // namespace platform
