// The child process runner on POSIX: posix_spawn with an argument vector, never a shell.
//
// The child gets a process group of its own, so that a cancel ends it together with whatever it
// started (a shell script's commands, say), and only the pipe as standard output and error: every
// other descriptor of this process is closed in the child, so a child that hangs holds no serial
// port or file of ours. The runner waits on the pipe and on a wake pipe of its own, so a cancel
// returns it even when some process outside the group still holds the pipe open.
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <mutex>
#include <vector>

#include "platform/child_process.h"
#include "platform/spawn_setup_posix.h"

namespace platform {

namespace {

// Children started and not yet released. A pid stays here until waitpid has collected it, so a
// cancel never signals a number the system has given to another process.
std::mutex g_childrenMutex;
std::vector<pid_t> g_children;

void ReapLocked() {
    std::erase_if(g_children, [](pid_t pid) {
        int status = 0;
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        return r == pid || (r < 0 && errno == ECHILD);
    });
}

void KillGroupIfOurs(pid_t pid) {
    std::lock_guard lock(g_childrenMutex);
    if (pid > 0 && std::find(g_children.begin(), g_children.end(), pid) != g_children.end()) {
        ::kill(-pid, SIGKILL);  // the group: the child and what it started
        ::kill(pid, SIGKILL);   // the child itself, should it have left the group
    }
}

class Fd {
  public:
    Fd() = default;
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() { Close(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int Get() const { return m_fd; }
    void Reset(int fd) {
        Close();
        m_fd = fd;
    }
    void Close() {
        if (m_fd >= 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }

  private:
    int m_fd = -1;
};

bool MakePipe(Fd& readEnd, Fd& writeEnd, int extraFlags) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | extraFlags) != 0) {
        return false;
    }
    readEnd.Reset(fds[0]);
    writeEnd.Reset(fds[1]);
    return true;
}

ChildStatus StartFailure(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
        case EACCES:
        case ENOEXEC:
        case ELOOP:
        case ENAMETOOLONG:
            return ChildStatus::NotFound;
        default:
            return ChildStatus::StartFailed;
    }
}

// What a cancel does while the runner waits: end the group and wake the runner.
struct Running {
    std::mutex mutex;
    pid_t pid = 0;
    int wakeFd = -1;
    void Kill() {
        pid_t target = 0;
        {
            std::lock_guard lock(mutex);
            target = pid;
        }
        // Wake first: the runner then sees the cancel even when the end of the pipe comes with it.
        const char byte = 1;
        [[maybe_unused]] const auto n = ::write(wakeFd, &byte, 1);
        KillGroupIfOurs(target);
    }
};

// Reads the first block, or returns false when the wake pipe fired first.
bool ReadFirstBlock(int outFd, int wakeFd, std::string* output) {
    std::array<pollfd, 2> fds{pollfd{outFd, POLLIN, 0}, pollfd{wakeFd, POLLIN, 0}};
    for (;;) {
        const int r = ::poll(fds.data(), fds.size(), -1);
        if (r < 0) {
            if (errno == EINTR) {
                continue;
            }
            return true;  // cannot wait: nothing read
        }
        if (fds[1].revents != 0) {
            return false;
        }
        if (fds[0].revents == 0) {
            continue;
        }
        std::array<char, kFirstBlockLimit> buffer{};
        const ssize_t n = ::read(outFd, buffer.data(), buffer.size());
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (n > 0) {
            output->assign(buffer.data(), static_cast<std::size_t>(n));
        }
        return true;
    }
}

}  // namespace

std::string CommandLineText(const ChildCommand& command) {
    std::string line = command.program;
    for (const auto& arg : command.args) {
        line += ' ';
        line += arg;
    }
    return line;
}

void ReapEndedChildren() {
    std::lock_guard lock(g_childrenMutex);
    ReapLocked();
}

ChildResult RunFirstBlock(const ChildCommand& command, ChildCancel* cancel) {
    ChildResult result;
    if (CommandLineText(command).size() >= kCommandLineLimit) {
        result.status = ChildStatus::TooLong;
        return result;
    }
    ReapEndedChildren();

    Fd outRead, outWrite, wakeRead, wakeWrite;
    if (!MakePipe(outRead, outWrite, 0) || !MakePipe(wakeRead, wakeWrite, O_NONBLOCK)) {
        result.status = ChildStatus::PipeFailed;
        result.error = errno;
        return result;
    }

    Running running;
    running.wakeFd = wakeWrite.Get();
    if (cancel != nullptr && !cancel->Attach([&running] { running.Kill(); })) {
        result.status = ChildStatus::Cancelled;
        return result;
    }

    pid_t pid = 0;
    int rc = 0;
    {
        SpawnSetup setup(command, outWrite.Get(), SpawnSetup::Input::Inherited, {SIGPIPE});
        // Registered under the lock, so a cancel from now on finds it.
        std::lock_guard lock(g_childrenMutex);
        rc = setup.Spawn(&pid);
        if (rc == 0) {
            g_children.push_back(pid);
        }
    }
    outWrite.Close();  // the read end reports the end once the child's copies are closed

    if (rc != 0) {
        if (cancel != nullptr) {
            cancel->Detach();
        }
        result.status = StartFailure(rc);
        result.error = rc;
        return result;
    }
    {
        std::lock_guard lock(running.mutex);
        running.pid = pid;
    }
    if (cancel != nullptr && cancel->Cancelled()) {
        running.Kill();  // cancelled while it was being started
    }

    const bool read = ReadFirstBlock(outRead.Get(), wakeRead.Get(), &result.output);
    if (cancel != nullptr) {
        cancel->Detach();
    }
    if (!read) {
        result.status = ChildStatus::Cancelled;
        result.output.clear();
    }
    ReapEndedChildren();
    return result;
}

}  // namespace platform
