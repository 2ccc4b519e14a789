#include <errno.h>
#include <sys/file.h>
#include <unistd.h>

#include <thread>

#include "platform/file_lock.h"

namespace platform {

bool LockWholeFile(std::FILE* stream, std::chrono::milliseconds patience) {
    const int fd = ::fileno(stream);
    const auto deadline = std::chrono::steady_clock::now() + patience;
    // Non-blocking tries: a holder that never lets go costs at most the patience.
    while (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (fd < 0 || (errno != EWOULDBLOCK && errno != EINTR) ||
            std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void UnlockWholeFile(std::FILE* stream) {
    ::flock(::fileno(stream), LOCK_UN);
}

bool EmptyFile(std::FILE* stream) {
    return std::fflush(stream) == 0 && ::ftruncate(::fileno(stream), 0) == 0 &&
           std::fseek(stream, 0, SEEK_SET) == 0;
}

}  // namespace platform
