#include <windows.h>

#include "platform/same_folder.h"

namespace platform {

namespace {

bool FolderIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION* info) {
    // FILE_FLAG_BACKUP_SEMANTICS opens a folder; no access right is needed to read its identity.
    const HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return false;
    }
    const BOOL ok = GetFileInformationByHandle(h, info);
    CloseHandle(h);
    return ok != 0 && (info->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

bool IsSameFolder(const std::string& a, const std::string& b) {
    BY_HANDLE_FILE_INFORMATION first{};
    BY_HANDLE_FILE_INFORMATION second{};
    return FolderIdentity(a, &first) && FolderIdentity(b, &second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
}

}  // namespace platform
