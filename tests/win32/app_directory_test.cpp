// The program directory as Windows reports it: the module's own path up to its last backslash.
#include <gtest/gtest.h>

#include <string>

#include "platform/app_directory.h"

namespace {

TEST(Win32AppDirectory, IsTheExecutablesFolderWithATrailingBackslash) {
    const std::string dir = platform::ExecutableDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '\\');
    EXPECT_NE(dir.find(':'), std::string::npos) << dir;  // a drive-letter path under Wine and Windows
    EXPECT_EQ(dir.find('/'), std::string::npos) << dir;
}

}  // namespace
