#include <limits.h>
#include <unistd.h>

#include "platform/app_directory.h"

namespace platform {

std::string ExecutableDirectory() {
    char path[PATH_MAX + 1] = {};
    const ssize_t n = readlink("/proc/self/exe", path, PATH_MAX);
    if (n <= 0) {
        return {};
    }
    return DirectoryPart(std::string(path, static_cast<size_t>(n)), '/');
}

}  // namespace platform
