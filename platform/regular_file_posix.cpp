#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/regular_file.h"
#include "platform/system_error_text.h"

namespace platform {

namespace {

FileKind KindOfMode(mode_t mode) {
    if (S_ISREG(mode)) {
        return FileKind::kRegular;
    }
    if (S_ISDIR(mode)) {
        return FileKind::kDirectory;
    }
    if (S_ISCHR(mode)) {
        return FileKind::kCharDevice;
    }
    return S_ISFIFO(mode) ? FileKind::kFifo : FileKind::kOther;
}

}  // namespace

std::FILE* OpenRegularFile(const std::string& path, RegularFileAccess access, RegularFileError* error) {
    *error = RegularFileError{};
    // Looked at before it is opened: opening a device can already act on it (a serial port
    // raises its control lines).
    const FileKind before = KindAt(path);
    if (IsNotRegular(before)) {
        return RefuseNotRegular(before, error);
    }
    const bool read = access == RegularFileAccess::kRead;
    // Non-blocking: a FIFO put in place since the look opens at once (or fails with ENXIO when
    // no one reads it) instead of waiting for its other end. No terminal becomes ours.
    const int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK | (read ? O_RDONLY : O_WRONLY | O_APPEND | O_CREAT);
    const int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0) {
        const int code = errno;
        if (code == ENXIO && KindAt(path) == FileKind::kFifo) {
            return RefuseNotRegular(FileKind::kFifo, error);
        }
        error->text = SystemErrorText(code);
        return nullptr;
    }
    // What was opened decides, not what the path showed a moment ago.
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int code = errno;
        const FileKind kind = st.st_mode != 0 ? KindOfMode(st.st_mode) : FileKind::kUnknown;
        ::close(fd);
        if (kind == FileKind::kUnknown) {
            error->text = SystemErrorText(code);
            return nullptr;
        }
        return RefuseNotRegular(kind, error);
    }
    // A regular file never blocks, but its stream should behave as one opened the usual way.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* stream = ::fdopen(fd, read ? "rb" : "ab");
    if (stream == nullptr) {
        error->text = SystemErrorText(errno);
        ::close(fd);
    }
    return stream;
}

}  // namespace platform
