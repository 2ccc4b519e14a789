#include <windows.h>

#include "platform/save_target.h"
#include "platform/system_error_text.h"

namespace platform::detail {

bool OpenThrough(const std::string& path, std::intptr_t* handle, bool* owned, bool* refused,
                 std::string* error) {
    *refused = false;
    if (path == kStandardOutputName) {
        const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
        if (out == nullptr || out == INVALID_HANDLE_VALUE) {
            *error = "the program has no standard output";
            return false;
        }
        *handle = reinterpret_cast<std::intptr_t>(out);
        *owned = false;
        return true;
    }
    // An existing object only: nothing is created or truncated.
    const HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        *error =
            code == ERROR_PIPE_BUSY ? "no program reads from it" : SystemErrorText(static_cast<int>(code));
        return false;
    }
    // What was opened decides, not what the path showed a moment ago.
    const DWORD type = GetFileType(h);
    if (type != FILE_TYPE_CHAR && type != FILE_TYPE_PIPE) {
        CloseHandle(h);
        *refused = true;
        *error = "it changed while it was being saved to";
        return false;
    }
    *handle = reinterpret_cast<std::intptr_t>(h);
    *owned = true;
    return true;
}

bool WriteThrough(std::intptr_t handle, const void* data, std::size_t length, std::string* error) {
    const char* p = static_cast<const char*>(data);
    while (length > 0) {
        const DWORD chunk = length > 0x40000000u ? 0x40000000u : static_cast<DWORD>(length);
        DWORD written = 0;
        if (!WriteFile(reinterpret_cast<HANDLE>(handle), p, chunk, &written, nullptr) || written == 0) {
            const DWORD code = GetLastError();
            *error = code == ERROR_NO_DATA || code == ERROR_BROKEN_PIPE
                         ? "its reader went away"
                         : SystemErrorText(static_cast<int>(code));
            return false;
        }
        p += written;
        length -= written;
    }
    return true;
}

bool IsStandardOutput(const std::string& path) {
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out == nullptr || out == INVALID_HANDLE_VALUE || GetFileType(out) != FILE_TYPE_DISK) {
        return false;
    }
    const HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION a = {};
    BY_HANDLE_FILE_INFORMATION b = {};
    const bool same = GetFileInformationByHandle(h, &a) && GetFileInformationByHandle(out, &b) &&
                      a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
                      a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
    CloseHandle(h);
    return same;
}

void CloseThroughHandle(std::intptr_t handle) {
    CloseHandle(reinterpret_cast<HANDLE>(handle));
}

}  // namespace platform::detail
