#include "ui/skin.h"

#include <filesystem>
#include <system_error>

#include "platform/app_directory.h"

namespace marlinq {

int InitializeSkin(const char* file) {
    if (file == nullptr || *file == '\0') {
        return 0;
    }
    std::error_code ec;
    const bool beside = std::filesystem::exists(platform::GetAppDirectory() + file, ec);
    const bool here = std::filesystem::exists(file, ec);
    return beside || here ? 1 : 0;
}

}  // namespace marlinq
