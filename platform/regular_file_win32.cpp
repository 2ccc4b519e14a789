#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include "platform/regular_file.h"
#include "platform/system_error_text.h"

namespace platform {

std::FILE* OpenRegularFile(const std::string& path, RegularFileAccess access, RegularFileError* error) {
    *error = RegularFileError{};
    const FileKind before = KindAt(path);
    if (IsNotRegular(before)) {
        return RefuseNotRegular(before, error);
    }
    const bool read = access == RegularFileAccess::kRead;
    const HANDLE h =
        CreateFileA(path.c_str(), read ? GENERIC_READ : GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, read ? OPEN_EXISTING : OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error->text = SystemErrorText(LastSystemError());
        return nullptr;
    }
    // What was opened decides: a device or a pipe put in place since the look is refused.
    const DWORD type = GetFileType(h);
    if (type != FILE_TYPE_DISK) {
        CloseHandle(h);
        return RefuseNotRegular(type == FILE_TYPE_CHAR   ? FileKind::kCharDevice
                                : type == FILE_TYPE_PIPE ? FileKind::kFifo
                                                         : FileKind::kOther,
                                error);
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h),
                                   read ? _O_RDONLY | _O_BINARY : _O_WRONLY | _O_APPEND | _O_BINARY);
    if (fd < 0) {
        CloseHandle(h);
        error->text = "the file cannot be given a descriptor";
        return nullptr;
    }
    std::FILE* stream = _fdopen(fd, read ? "rb" : "ab");
    if (stream == nullptr) {
        _close(fd);
        error->text = "the file cannot be given a stream";
    }
    return stream;
}

}  // namespace platform
