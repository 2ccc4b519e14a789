#include "platform/station_identity.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace platform {
namespace {

// The first line a shell command prints.
std::string FirstLineOf(const char* command) {
    std::string line;
    if (FILE* p = ::popen(command, "r")) {
        char buffer[512] = {};
        if (std::fgets(buffer, sizeof buffer, p) != nullptr) {
            line = buffer;
        }
        ::pclose(p);
    }
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.pop_back();
    }
    return line;
}

TEST(StationIdentity, NamesTheHostAndTheUserAsTheSystemsOwnToolsDo) {
    const std::string host = FirstLineOf("uname -n");
    ASSERT_FALSE(host.empty());
    EXPECT_EQ(StationName(), host);
    const std::string user = FirstLineOf("id -un 2>/dev/null");
    if (!user.empty()) {
        EXPECT_EQ(OperatorName(), user);
    } else {
        EXPECT_FALSE(OperatorName().empty())
            << "no user name in the user database: taken from LOGNAME or USER";
    }
    EXPECT_LE(StationName().size(), kIdentityLimit);
}

}  // namespace
}  // namespace platform
