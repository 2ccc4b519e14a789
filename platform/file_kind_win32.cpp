#include <windows.h>

#include <cctype>

#include "platform/file_kind.h"

namespace platform {

namespace {

// "\\.\pipe\NAME" and "\\?\pipe\NAME": opening one, even only to look, would take an instance
// of the pipe from the program that serves it.
bool IsPipeName(const std::string& path) {
    if (path.size() < 9 || path[0] != '\\' || path[1] != '\\' || (path[2] != '.' && path[2] != '?') ||
        path[3] != '\\') {
        return false;
    }
    std::string word = path.substr(4, 5);
    for (char& c : word) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return word == "pipe\\";
}

}  // namespace

FileKind KindAt(const std::string& path) {
    if (IsPipeName(path)) {
        return FileKind::kFifo;
    }
    // No access asked for: enough to learn the type, and no device is set up for data by it.
    // Backup semantics let a directory be opened too; links are followed.
    const HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
            return FileKind::kUnknown;
        }
        // The attributes are those of the entry itself: a link whose target is gone still has them.
        const DWORD attributes = GetFileAttributesA(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0
                   ? FileKind::kDanglingLink
                   : FileKind::kMissing;
    }
    FileKind kind = FileKind::kOther;
    switch (GetFileType(h)) {
        case FILE_TYPE_DISK: {
            BY_HANDLE_FILE_INFORMATION info = {};
            if (!GetFileInformationByHandle(h, &info)) {
                kind = FileKind::kUnknown;
            } else {
                kind = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileKind::kDirectory
                                                                               : FileKind::kRegular;
            }
            break;
        }
        case FILE_TYPE_CHAR:
            kind = FileKind::kCharDevice;
            break;
        case FILE_TYPE_PIPE:
            kind = FileKind::kFifo;
            break;
        default:
            break;
    }
    CloseHandle(h);
    return kind;
}

}  // namespace platform
