#include "platform/regular_file.h"

namespace platform {

std::string NotRegularText(FileKind kind) {
    return "it is " + KindName(kind) + ", not a regular file";
}

bool IsNotRegular(FileKind kind) {
    return kind == FileKind::kDirectory || kind == FileKind::kCharDevice || kind == FileKind::kFifo ||
           kind == FileKind::kOther;
}

std::FILE* RefuseNotRegular(FileKind kind, RegularFileError* error) {
    error->refusedKind = kind;
    error->text = NotRegularText(kind);
    return nullptr;
}

}  // namespace platform
