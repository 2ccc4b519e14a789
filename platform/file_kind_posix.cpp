#include <errno.h>
#include <sys/stat.h>

#include "platform/file_kind.h"

namespace platform {

FileKind KindAt(const std::string& path) {
    struct stat st = {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno != ENOENT) {
            return errno == ENOTDIR ? FileKind::kMissing : FileKind::kUnknown;
        }
        // stat follows links; lstat tells a link whose target is gone from no entry at all.
        struct stat link = {};
        return ::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode) ? FileKind::kDanglingLink
                                                                          : FileKind::kMissing;
    }
    if (S_ISREG(st.st_mode)) {
        return FileKind::kRegular;
    }
    if (S_ISDIR(st.st_mode)) {
        return FileKind::kDirectory;
    }
    if (S_ISCHR(st.st_mode)) {
        return FileKind::kCharDevice;
    }
    if (S_ISFIFO(st.st_mode)) {
        return FileKind::kFifo;
    }
    return FileKind::kOther;
}

}  // namespace platform
