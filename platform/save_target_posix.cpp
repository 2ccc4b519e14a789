#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "platform/save_target.h"
#include "platform/system_error_text.h"

namespace platform::detail {

namespace {

// Blocks SIGPIPE in this thread while it lives, so that a reader that went away makes a write
// fail with EPIPE instead of ending the process; a SIGPIPE raised meanwhile is taken away again.
class NoPipeSignal {
  public:
    NoPipeSignal() {
        sigemptyset(&m_pipe);
        sigaddset(&m_pipe, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        m_wasPending = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &m_pipe, &m_old);
    }
    ~NoPipeSignal() {
        if (!m_wasPending) {
            const timespec zero = {};
            while (sigtimedwait(&m_pipe, nullptr, &zero) == SIGPIPE) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &m_old, nullptr);
    }
    NoPipeSignal(const NoPipeSignal&) = delete;
    NoPipeSignal& operator=(const NoPipeSignal&) = delete;

  private:
    sigset_t m_pipe;
    sigset_t m_old;
    bool m_wasPending = false;
};

}  // namespace

bool OpenThrough(const std::string& path, std::intptr_t* handle, bool* owned, bool* refused,
                 std::string* error) {
    *refused = false;
    if (path == kStandardOutputName) {
        *handle = STDOUT_FILENO;
        *owned = false;
        return true;
    }
    // Neither created nor truncated; non-blocking, so that a FIFO nobody reads fails at once
    // (ENXIO) instead of waiting for a reader; no terminal becomes the controlling one.
    const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int code = errno;
        *error = code == ENXIO ? "no program reads from it" : SystemErrorText(code);
        return false;
    }
    // What was opened decides, not what the path showed a moment ago.
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || (!S_ISCHR(st.st_mode) && !S_ISFIFO(st.st_mode))) {
        ::close(fd);
        *refused = true;
        *error = "it changed while it was being saved to";
        return false;
    }
    // The bytes are few; the writes may wait for a slow terminal or reader.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    *handle = fd;
    *owned = true;
    return true;
}

bool WriteThrough(std::intptr_t handle, const void* data, std::size_t length, std::string* error) {
    const NoPipeSignal noPipeSignal;
    const int fd = static_cast<int>(handle);
    const char* p = static_cast<const char*>(data);
    while (length > 0) {
        const ssize_t n = ::write(fd, p, length);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            const int code = n < 0 ? errno : EIO;
            *error = code == EPIPE ? "its reader went away" : SystemErrorText(code);
            return false;
        }
        p += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

bool IsStandardOutput(const std::string& path) {
    struct stat target = {};
    struct stat output = {};
    return ::stat(path.c_str(), &target) == 0 && ::fstat(STDOUT_FILENO, &output) == 0 &&
           target.st_dev == output.st_dev && target.st_ino == output.st_ino;
}

void CloseThroughHandle(std::intptr_t handle) {
    ::close(static_cast<int>(handle));
}

}  // namespace platform::detail
