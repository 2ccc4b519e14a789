#include "configfile/config_aside.h"

#include <filesystem>
#include <system_error>

namespace configfile {

std::string UnreadableCopyName(const std::string& path, const std::tm& utc) {
    char stamp[32] = {};
    const std::size_t n = std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%SZ", &utc);
    return path + ".unreadable-" + std::string(stamp, n);
}

std::string SetAsideUnreadable(const std::string& path, const std::tm& utc, std::string* error) {
    namespace fs = std::filesystem;
    const std::string first = UnreadableCopyName(path, utc);
    for (int n = 1; n <= 1000; ++n) {
        const std::string candidate = n == 1 ? first : first + "-" + std::to_string(n);
        std::error_code ec;
        // symlink_status: a link named so is taken as well, whatever it points to.
        if (fs::exists(fs::symlink_status(candidate, ec))) {
            continue;
        }
        fs::rename(path, candidate, ec);
        if (ec) {
            *error = ec.message();
            return {};
        }
        return candidate;
    }
    *error = "every name for the copy is taken";
    return {};
}

}  // namespace configfile
