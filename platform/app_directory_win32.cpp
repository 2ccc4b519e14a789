#include <windows.h>

#include "platform/app_directory.h"

namespace platform {

std::string ExecutableDirectory() {
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        return {};
    }
    return DirectoryPart(std::string(path, n), '\\');
}

}  // namespace platform
