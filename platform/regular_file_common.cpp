#include "platform/regular_file.h"

namespace platform {

std::string NotRegularText(FileKind kind) {
    return "it is " + KindName(kind) + ", not a regular file";
}

}  // namespace platform
