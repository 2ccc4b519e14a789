#include "platform/app_directory.h"

namespace platform {

std::string DirectoryPart(const std::string& path, char separator) {
    const auto pos = path.rfind(separator);
    if (pos == std::string::npos) {
        return {};
    }
    return path.substr(0, pos + 1);
}

}  // namespace platform
