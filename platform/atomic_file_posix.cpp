#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>

#include "platform/atomic_file.h"
#include "platform/process_alive.h"

namespace platform {

namespace {

std::atomic<unsigned> g_tempCounter{0};

// A symbolic link as target is followed, so that the file it names gets the new content.
std::string ResolvedTarget(const std::string& path) {
    struct stat st = {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
        return path;
    }
    char resolved[PATH_MAX] = {};
    return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

constexpr char kSeparators[] = "/";

}  // namespace

bool AtomicFileWriter::Open(const std::string& targetPath) {
    Abandon();
    m_failedStep = ReplaceStep::kNone;
    m_error = 0;
    m_reason.clear();
    m_targetPath = ResolvedTarget(targetPath);
    const std::string directory = detail::DirectoryOf(m_targetPath, kSeparators);
    const std::string name = detail::NameOf(m_targetPath, kSeparators);
    if (name.empty()) {
        return Fail(ReplaceStep::kCreate, EISDIR);
    }
    if (detail::TakeInjectedFault(ReplaceStep::kCreate)) {
        return Fail(ReplaceStep::kCreate, EIO);
    }
    RemoveStaleTempFiles(directory, name);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temp =
            directory + AtomicTempName(name, CurrentProcessId(), g_tempCounter.fetch_add(1));
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            m_handle = fd;
            m_tempPath = temp;
            struct stat st = {};
            if (::stat(m_targetPath.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
                ::fchmod(fd, st.st_mode & 07777);  // the replacement keeps the old file's permissions
            }
            return true;
        }
        if (errno != EEXIST) {
            return Fail(ReplaceStep::kCreate, errno);
        }
    }
    return Fail(ReplaceStep::kCreate, EEXIST);
}

bool AtomicFileWriter::Write(const void* data, std::size_t length) {
    if (m_handle < 0) {
        return false;
    }
    if (detail::TakeInjectedFault(ReplaceStep::kWrite)) {
        return Fail(ReplaceStep::kWrite, EIO);
    }
    const char* p = static_cast<const char*>(data);
    while (length > 0) {
        const ssize_t n = ::write(static_cast<int>(m_handle), p, length);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return Fail(ReplaceStep::kWrite, n < 0 ? errno : EIO);
        }
        p += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

bool AtomicFileWriter::Commit() {
    if (m_handle < 0) {
        return false;
    }
    const int fd = static_cast<int>(m_handle);
    errno = 0;
    if (detail::TakeInjectedFault(ReplaceStep::kSync) || ::fsync(fd) != 0) {
        return Fail(ReplaceStep::kSync, errno != 0 ? errno : EIO);
    }
    m_handle = -1;
    if (::close(fd) != 0 && errno != EINTR) {
        return Fail(ReplaceStep::kSync, errno);
    }
    // A link at the target was resolved in Open; anything but a regular file found there now is
    // left alone (KindAt follows links, so a link put there since shows as what it names; the
    // lstat catches the link itself).
    struct stat st = {};
    if (!TargetStillReplaceable()) {
        return false;
    }
    if (::lstat(m_targetPath.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        return Fail(ReplaceStep::kRename, 0, "it is a symbolic link");
    }
    errno = 0;
    if (detail::TakeInjectedFault(ReplaceStep::kRename) ||
        ::rename(m_tempPath.c_str(), m_targetPath.c_str()) != 0) {
        return Fail(ReplaceStep::kRename, errno != 0 ? errno : EIO);
    }
    m_tempPath.clear();
    // The rename is durable only once the directory itself is on the disk.
    const std::string directory = detail::DirectoryOf(m_targetPath, kSeparators);
    const int dirFd = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) {
        return Fail(ReplaceStep::kSyncDirectory, errno);
    }
    errno = 0;
    const bool injected = detail::TakeInjectedFault(ReplaceStep::kSyncDirectory);
    const int synced = injected ? -1 : ::fsync(dirFd);
    const int error = injected ? EIO : errno;
    ::close(dirFd);
    // EINVAL: the file system cannot flush directories at all; the rename is as durable as it gets.
    if (synced != 0 && error != EINVAL) {
        return Fail(ReplaceStep::kSyncDirectory, error);
    }
    return true;
}

void AtomicFileWriter::Abandon() {
    if (m_handle >= 0) {
        ::close(static_cast<int>(m_handle));
        m_handle = -1;
    }
    if (!m_tempPath.empty()) {
        ::unlink(m_tempPath.c_str());
        m_tempPath.clear();
    }
}

}  // namespace platform
