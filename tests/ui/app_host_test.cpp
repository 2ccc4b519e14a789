// The application host that both front ends use.
#include "ui/app_host.h"

#include <gtest/gtest.h>

#include <atomic>

#include "platform/clock.h"
#include "ui/resource.h"

namespace marlinq::test {
namespace {

TEST(AppHost, RunsTheMainWindowAndEndsWithItsExitCode) {
    platform::ScopedClockScale scale(0.01);
    CAppHost host;
    std::atomic<int> endedCalls{0};
    host.Start([&] { ++endedCalls; });
    ASSERT_TRUE(host.WaitShown());
    EXPECT_FALSE(host.Ended());
    EXPECT_EQ(host.Page(2).Text(IDC_HTTPS_PORT), "443") << "pages are found by their index";
    host.Main().Type(IDC_EDIT_AT_COMMAND, "AT");
    EXPECT_EQ(host.Main().Text(IDC_EDIT_AT_COMMAND), "AT");
    EXPECT_EQ(host.Close(), 0);
    EXPECT_TRUE(host.Ended());
    EXPECT_EQ(endedCalls.load(), 1);
    EXPECT_EQ(host.Close(), 0) << "closing again only returns the code";
}

TEST(AppHost, ClosesAWindowThatIsStillComingUp) {
    platform::ScopedClockScale scale(0.01);
    CAppHost host;
    host.Start();
    EXPECT_EQ(host.Close([] {}), 0);  // before the first tick has shown the window
    EXPECT_TRUE(host.Ended());
}

TEST(AppHost, EndsByItselfWhenTheWindowCloses) {
    platform::ScopedClockScale scale(0.01);
    CAppHost host;
    host.Start();
    ASSERT_TRUE(host.WaitShown());
    host.Main().KeyDown(fw::VK_ESCAPE);
    EXPECT_EQ(host.Join(), 0);
    EXPECT_TRUE(host.Ended());
}

}  // namespace
}  // namespace marlinq::test
