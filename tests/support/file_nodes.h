// Nodes that are not regular files, made by a test inside its own temporary directory: device
// nodes with the numbers of the system's null and full devices (tests run as root), FIFOs and
// sockets; and a way to run a call that might block in a child process.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <string>

#include "tests/support/poll.h"

namespace testsupport {

// The numbers of the null device (writes vanish) and the full device (writes fail with ENOSPC),
// and of the zero device (endless zero bytes).
inline constexpr unsigned kNullMajor = 1, kNullMinor = 3;
inline constexpr unsigned kFullMajor = 1, kFullMinor = 7;
inline constexpr unsigned kZeroMajor = 1, kZeroMinor = 5;

inline bool MakeCharDevice(const std::string& path, unsigned major, unsigned minor) {
    return ::mknod(path.c_str(), S_IFCHR | 0666, makedev(major, minor)) == 0;
}

inline bool MakeFifo(const std::string& path) {
    return ::mkfifo(path.c_str(), 0666) == 0;
}

// A listening Unix socket bound at path; its descriptor (close it when done), -1 on failure.
inline int MakeSocket(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (fd < 0 || path.size() >= sizeof address.sun_path) {
        return -1;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// The file type bits of path itself (links not followed); 0 when nothing is there.
inline mode_t TypeAt(const std::string& path) {
    struct stat st = {};
    return ::lstat(path.c_str(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}

inline dev_t DeviceNumbersAt(const std::string& path) {
    struct stat st = {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_rdev : 0;
}

// Runs fn in a forked child and gives its result (0 to 255). A child still running after 10 s is
// taken to be blocked for good: it is killed and the result is -1. The wait ends as soon as the
// child does, so this bounds a hang and measures nothing.
inline int RunInChild(const std::function<int()>& fn) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::_exit(fn());
    }
    if (pid < 0) {
        return -2;
    }
    int status = 0;
    if (!PollUntil([&] { return ::waitpid(pid, &status, WNOHANG) != 0; })) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -3;
}

}  // namespace testsupport
