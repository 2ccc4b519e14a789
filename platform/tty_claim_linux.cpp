// Who holds a pseudo-terminal, from /proc: every open descriptor of every process is a link
// under /proc/<pid>/fd, and a descriptor of the multiplexer /dev/ptmx (a master side) names the
// terminal it serves in /proc/<pid>/fdinfo/<fd> as "tty-index:".
#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/tty_claim.h"

namespace platform {

namespace {

// Unix98 pseudo-terminal slaves have majors 136 to 143; the multiplexer is 5:2.
constexpr unsigned kPtySlaveFirstMajor = 136;
constexpr unsigned kPtySlaveLastMajor = 143;
const dev_t kPtmx = makedev(5, 2);

bool AllDigits(const char* name) {
    if (*name == '\0') {
        return false;
    }
    for (; *name != '\0'; ++name) {
        if (*name < '0' || *name > '9') {
            return false;
        }
    }
    return true;
}

// The index of the terminal that a master descriptor serves, -1 when fdinfo does not say.
long MasterIndex(const std::string& pidDir, const char* fd) {
    std::ifstream info(pidDir + "/fdinfo/" + fd);
    std::string line;
    while (std::getline(info, line)) {
        if (line.rfind("tty-index:", 0) == 0) {
            return std::strtol(line.c_str() + 10, nullptr, 10);
        }
    }
    return -1;
}

enum class Holding { None, Provider, Terminal, Unknown };

// What process pid holds of the terminal rdev (pseudo-terminal index).
Holding HoldingOf(const std::string& pidDir, dev_t rdev, long index) {
    DIR* fds = ::opendir((pidDir + "/fd").c_str());
    if (fds == nullptr) {
        // A process that ended meanwhile holds nothing; one we may not look into might.
        return errno == ENOENT ? Holding::None : Holding::Unknown;
    }
    Holding holding = Holding::None;
    while (const dirent* entry = ::readdir(fds)) {
        if (!AllDigits(entry->d_name)) {
            continue;
        }
        struct stat target {};
        // fstatat follows the link to the open file itself, whatever name it was opened by.
        if (::fstatat(::dirfd(fds), entry->d_name, &target, 0) != 0 || !S_ISCHR(target.st_mode)) {
            continue;
        }
        if (target.st_rdev == kPtmx && MasterIndex(pidDir, entry->d_name) == index) {
            holding = Holding::Provider;
            break;
        }
        if (target.st_rdev == rdev) {
            holding = Holding::Terminal;
        }
    }
    ::closedir(fds);
    return holding;
}

}  // namespace

bool ExclusiveClaimIsStale(const std::string& node) {
    struct stat st {};
    if (::stat(node.c_str(), &st) != 0 || !S_ISCHR(st.st_mode)) {
        return false;
    }
    const unsigned major = ::major(st.st_rdev);
    if (major < kPtySlaveFirstMajor || major > kPtySlaveLastMajor) {
        return false;  // a real terminal: the kernel drops the flag at its last close
    }
    const long index = static_cast<long>((major - kPtySlaveFirstMajor) * 256 + ::minor(st.st_rdev));
    const long self = static_cast<long>(::getpid());
    DIR* proc = ::opendir("/proc");
    if (proc == nullptr) {
        return false;
    }
    bool providerRuns = false;
    bool heldElsewhere = false;
    while (const dirent* entry = ::readdir(proc)) {
        if (!AllDigits(entry->d_name)) {
            continue;
        }
        const Holding holding = HoldingOf(std::string("/proc/") + entry->d_name, st.st_rdev, index);
        if (holding == Holding::Provider) {
            providerRuns = true;
        } else if ((holding == Holding::Terminal && std::strtol(entry->d_name, nullptr, 10) != self) ||
                   holding == Holding::Unknown) {
            heldElsewhere = true;  // a live holder, or one that cannot be ruled out
            break;
        }
    }
    ::closedir(proc);
    return providerRuns && !heldElsewhere;
}

}  // namespace platform
