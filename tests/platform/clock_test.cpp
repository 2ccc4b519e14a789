#include "platform/clock.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/app_directory.h"

TEST(Clock, ScaleMultipliesPausesAndIsRestored) {
    {
        platform::ScopedClockScale scale(0.01);
        EXPECT_EQ(platform::Clock::Scaled(1000), std::chrono::milliseconds(10));
        platform::Clock::SetScale(-2);  // nonsense is taken as the real length
        EXPECT_EQ(platform::Clock::Scaled(1000), std::chrono::milliseconds(1000));
        platform::Clock::SetScale(0.5);
    }
    EXPECT_EQ(platform::Clock::Scale(), 1.0);
}

TEST(AppDirectory, IsTheExecutablesDirectoryWithTrailingSeparator) {
    const std::string dir = platform::ExecutableDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '/');
    EXPECT_TRUE(std::filesystem::exists(dir + "platform_tests"));
    // Tests run with a program directory of their own; without it, the executable's is used.
    EXPECT_NE(platform::GetAppDirectory(), dir);
    platform::SetAppDirectoryOverride("");
    EXPECT_EQ(platform::GetAppDirectory(), dir);
    platform::SetAppDirectoryOverride("/elsewhere/");
    EXPECT_EQ(platform::GetAppDirectory(), "/elsewhere/");
    EXPECT_EQ(platform::DirectoryPart("C:\\tools\\marlinq.exe", '\\'), "C:\\tools\\");
    EXPECT_EQ(platform::DirectoryPart("marlinq.exe", '\\'), "");
}
