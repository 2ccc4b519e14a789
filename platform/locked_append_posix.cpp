// flock-based backend of the locked append.
#include <errno.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/locked_append.h"

namespace platform {

namespace {

constexpr auto kLockPatience = std::chrono::seconds(2);

bool LockWithin(int fd) {
    const auto deadline = std::chrono::steady_clock::now() + kLockPatience;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

}  // namespace

bool AppendLocked(std::FILE* stream, const std::string& bytes) {
    const int fd = ::fileno(stream);
    if (fd < 0 || !LockWithin(fd)) {
        return false;
    }
    // O_APPEND puts the whole record at the end in one write; a short write (a full disk) is
    // finished under the same lock, so no other writer's record lands inside it.
    bool ok = true;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            ok = false;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    ::flock(fd, LOCK_UN);
    return ok;
}

}  // namespace platform
