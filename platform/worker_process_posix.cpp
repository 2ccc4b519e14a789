// The worker process on POSIX: posix_spawn with an argument vector, never a shell; a process
// group of its own; standard input from the null device; only the pipe as standard output and
// error, every other descriptor closed in the child.
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <mutex>
#include <vector>

#include "platform/spawn_setup_posix.h"
#include "platform/system_error_text.h"
#include "platform/worker_process.h"

namespace platform {

struct WorkerProcess::Os {
    int outFd = -1;
    std::mutex mutex;  // guards pid, collected and status: Kill may come from another thread
    pid_t pid = 0;
    bool collected = false;
    int status = 0;
};

WorkerProcess::WorkerProcess(std::unique_ptr<Os> os) : m_os(std::move(os)) {}

std::unique_ptr<WorkerProcess> WorkerProcess::Start(const ChildCommand& command, std::string* error) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        *error = "cannot create a pipe: " + SystemErrorText(errno);
        return nullptr;
    }
    pid_t pid = 0;
    const int rc =
        SpawnSetup(command, fds[1], SpawnSetup::Input::NullDevice, {SIGPIPE, SIGINT, SIGTERM, SIGHUP})
            .Spawn(&pid);
    ::close(fds[1]);  // the read end reports the end once the child's copies are closed
    if (rc != 0) {
        ::close(fds[0]);
        *error = "cannot start " + command.program + ": " + SystemErrorText(rc);
        return nullptr;
    }
    auto os = std::make_unique<Os>();
    os->outFd = fds[0];
    os->pid = pid;
    return std::unique_ptr<WorkerProcess>(new WorkerProcess(std::move(os)));
}

WorkerProcess::~WorkerProcess() {
    Kill();
    Wait();
    ::close(m_os->outFd);
}

std::size_t WorkerProcess::ReadSome(char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t n = ::read(m_os->outFd, buffer, size);
        if (n >= 0) {
            return static_cast<std::size_t>(n);
        }
        if (errno != EINTR) {
            return 0;
        }
    }
}

void WorkerProcess::Kill() {
    std::lock_guard lock(m_os->mutex);
    if (!m_os->collected) {  // never a number the system may have given to another process
        ::kill(-m_os->pid, SIGKILL);
        ::kill(m_os->pid, SIGKILL);
    }
}

int WorkerProcess::Wait() {
    // Waits for the end without collecting, then collects under the lock: a Kill never signals a
    // number that the system has already given to another process.
    {
        std::lock_guard lock(m_os->mutex);
        if (m_os->collected) {
            return WIFEXITED(m_os->status) ? WEXITSTATUS(m_os->status) : -1;
        }
    }
    siginfo_t info{};
    while (::waitid(P_PID, static_cast<id_t>(m_os->pid), &info, WEXITED | WNOWAIT) != 0 && errno == EINTR) {
    }
    std::lock_guard lock(m_os->mutex);
    if (!m_os->collected && ::waitpid(m_os->pid, &m_os->status, WNOHANG) == m_os->pid) {
        m_os->collected = true;
    }
    return m_os->collected && WIFEXITED(m_os->status) ? WEXITSTATUS(m_os->status) : -1;
}

}  // namespace platform
