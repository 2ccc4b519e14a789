#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/data_directory.h"
#include "platform/system_program_tree.h"

namespace platform {

namespace {

std::string WithSlash(std::string path) {
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    return path;
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return home;
    }
    const passwd* entry = ::getpwuid(::geteuid());
    if (entry != nullptr && entry->pw_dir != nullptr && entry->pw_dir[0] == '/') {
        return entry->pw_dir;
    }
    return {};
}

}  // namespace

bool IsOwnWritableFolder(const std::string& directory) {
    struct stat info {};
    if (::stat(directory.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return false;
    }
    if (info.st_uid != ::geteuid() || (info.st_mode & S_IWUSR) == 0) {
        return false;
    }
    if (::access(directory.c_str(), W_OK) != 0) {
        return false;
    }
    char resolved[PATH_MAX] = {};
    if (::realpath(directory.c_str(), resolved) == nullptr) {
        return false;
    }
    return !InSystemProgramTree(resolved);
}

std::string UserDataFolder() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        return WithSlash(xdg) + "marlinq/";
    }
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : WithSlash(home) + ".local/share/marlinq/";
}

bool CreatePrivateFolder(const std::string& directory) {
    if (directory.empty()) {
        return false;
    }
    for (std::size_t pos = directory.find('/', 1);; pos = directory.find('/', pos + 1)) {
        const std::string part = directory.substr(0, pos);
        if (!part.empty() && ::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
        if (pos == std::string::npos) {
            break;
        }
    }
    struct stat info {};
    return ::stat(directory.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace platform
