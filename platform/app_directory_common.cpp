#include <mutex>

#include "platform/app_directory.h"

namespace platform {

namespace {

std::mutex g_overrideMutex;
std::string g_override;

}  // namespace

std::string GetAppDirectory() {
    {
        std::lock_guard lock(g_overrideMutex);
        if (!g_override.empty()) {
            return g_override;
        }
    }
    return ExecutableDirectory();
}

void SetAppDirectoryOverride(const std::string& directory) {
    std::lock_guard lock(g_overrideMutex);
    g_override = directory;
}

std::string AppDirectoryOverride() {
    std::lock_guard lock(g_overrideMutex);
    return g_override;
}

std::string DirectoryPart(const std::string& path, char separator) {
    const auto pos = path.rfind(separator);
    if (pos == std::string::npos) {
        return {};
    }
    return path.substr(0, pos + 1);
}

}  // namespace platform
