#include "platform/file_kind.h"

namespace platform {

std::string KindName(FileKind kind) {
    switch (kind) {
        case FileKind::kDirectory:
            return "a directory";
        case FileKind::kCharDevice:
            return "a character device";
        case FileKind::kFifo:
            return "a FIFO";
        case FileKind::kDanglingLink:
            return "a symbolic link to nothing";
        case FileKind::kOther:
            return "neither a file nor a device";
        case FileKind::kMissing:
        case FileKind::kRegular:
        case FileKind::kUnknown:
            break;
    }
    return {};
}

}  // namespace platform
