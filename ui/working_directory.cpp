#include "ui/working_directory.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "platform/app_directory.h"
#include "platform/data_directory.h"
#include "platform/same_folder.h"

namespace marlinq {

bool LeaveInstalledProgramFolder() {
    const std::string programDirectory = platform::GetAppDirectory();
    if (programDirectory.empty() || platform::PeekDataDirectory() == programDirectory) {
        return false;
    }
    std::error_code ec;
    const std::filesystem::path current = std::filesystem::current_path(ec);
    if (ec || !platform::IsSameFolder(current.string(), programDirectory)) {
        return false;
    }
    std::filesystem::current_path(std::filesystem::path(platform::GetDataDirectory()), ec);
    return !ec;
}

}  // namespace marlinq
