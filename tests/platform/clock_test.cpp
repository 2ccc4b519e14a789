#include "platform/clock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>
#include <vector>

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

TEST(Clock, PauseObserverSeesThePausesOfItsOwnThreadInOrder) {
    platform::ScopedClockScale scale(0.001);
    std::vector<std::uint32_t> seen;
    {
        platform::ScopedPauseObserver observer([&](std::uint32_t ms) { seen.push_back(ms); });
        platform::Clock::Pause(100);
        std::thread([] { platform::Clock::Pause(7); }).join();  // another thread's pause
        {
            std::vector<std::uint32_t> inner;
            platform::ScopedPauseObserver nested([&](std::uint32_t ms) { inner.push_back(ms); });
            platform::Clock::Pause(300);
            EXPECT_EQ(inner, std::vector<std::uint32_t>{300});
        }
        platform::Clock::Pause(50);
    }
    platform::Clock::Pause(1);  // no observer any more
    EXPECT_EQ(seen, (std::vector<std::uint32_t>{100, 50}));
}

TEST(AppDirectory, IsTheExecutablesDirectoryWithTrailingSeparator) {
    const std::string dir = platform::ExecutableDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_TRUE(dir.back() == '/' || dir.back() == '\\') << dir;
    EXPECT_TRUE(std::filesystem::exists(dir + "platform_tests") ||
                std::filesystem::exists(dir + "platform_tests.exe"));
    // Tests run with a program directory of their own; without it, the executable's is used.
    EXPECT_NE(platform::GetAppDirectory(), dir);
    platform::SetAppDirectoryOverride("");
    EXPECT_EQ(platform::GetAppDirectory(), dir);
    platform::SetAppDirectoryOverride("/elsewhere/");
    EXPECT_EQ(platform::GetAppDirectory(), "/elsewhere/");
    EXPECT_EQ(platform::DirectoryPart("C:\\tools\\marlinq.exe", '\\'), "C:\\tools\\");
    EXPECT_EQ(platform::DirectoryPart("marlinq.exe", '\\'), "");
}
