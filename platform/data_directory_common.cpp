#include <mutex>

#include "platform/app_directory.h"
#include "platform/data_directory.h"

namespace platform {

namespace {

std::mutex g_mutex;
std::string g_chosen;

}  // namespace

std::string ChooseDataDirectory(const std::string& programDirectory) {
    if (!programDirectory.empty() && IsOwnWritableFolder(programDirectory)) {
        return programDirectory;
    }
    const std::string userFolder = UserDataFolder();
    // With no home at all the program's folder is the only place left to try.
    return userFolder.empty() ? programDirectory : userFolder;
}

std::string PeekDataDirectory() {
    const std::string overridden = AppDirectoryOverride();
    if (!overridden.empty()) {
        return overridden;
    }
    {
        std::lock_guard lock(g_mutex);
        if (!g_chosen.empty()) {
            return g_chosen;
        }
    }
    return ChooseDataDirectory(ExecutableDirectory());
}

std::string GetDataDirectory() {
    const std::string overridden = AppDirectoryOverride();
    if (!overridden.empty()) {
        return overridden;  // tests keep every file in a folder of their own
    }
    const std::string programDirectory = ExecutableDirectory();
    std::lock_guard lock(g_mutex);
    if (g_chosen.empty()) {
        g_chosen = ChooseDataDirectory(programDirectory);
        if (g_chosen != programDirectory) {
            CreatePrivateFolder(g_chosen);
        }
    }
    return g_chosen;
}

}  // namespace platform
