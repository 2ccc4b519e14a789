// The host name from the system; the user name of the real user from the user database, else from
// LOGNAME or USER (a user the database does not know, as in some containers).
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/station_identity.h"

namespace platform {

std::string StationName() {
    char name[kIdentityLimit + 1] = {};
    if (::gethostname(name, kIdentityLimit) != 0) {
        return {};
    }
    return std::string(name);
}

std::string OperatorName() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(static_cast<std::size_t>(size > 0 ? size : 16384));
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
        found->pw_name != nullptr) {
        return std::string(found->pw_name).substr(0, kIdentityLimit);
    }
    for (const char* variable : {"LOGNAME", "USER"}) {
        if (const char* value = std::getenv(variable); value != nullptr && *value != '\0') {
            return std::string(value).substr(0, kIdentityLimit);
        }
    }
    return {};
}

}  // namespace platform
