// The pop-up closer on Windows: a top-level window titled "Microsoft Windows", of any class, is
// asked to close and is gone when the request returns; the scanner starts the closer thread and
// stops it with itself. Needs a display (under Wine: an X server, such as xvfb-run).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "discovery/device_scanner.h"
#include "discovery/popup_closer.h"
#include "platform/clock.h"
#include "platform/popup_window.h"
#include "tests/support/poll.h"
#include "tests/win32/test_window.h"

namespace {

using discovery::kSystemPopupTitle;
using testsupport::TestWindow;

constexpr char kNoWindow[] =
    "CreateWindowExA failed: no display? Under Wine these tests need an X server (xvfb-run -a ctest ...)";

TEST(Win32PopupCloser, ClosesATopLevelWindowWithExactlyThatTitle) {
    ASSERT_TRUE(platform::HasSystemPopups());
    TestWindow other("MarlinqOtherTitle", "Microsoft Windows - notice");
    ASSERT_TRUE(other.Created()) << kNoWindow;
    EXPECT_FALSE(platform::CloseTopLevelWindow(kSystemPopupTitle)) << "only the exact title";
    EXPECT_TRUE(other.Exists());

    TestWindow popup("MarlinqAnyClass", kSystemPopupTitle);
    ASSERT_TRUE(popup.Created()) << kNoWindow;
    EXPECT_TRUE(platform::CloseTopLevelWindow(kSystemPopupTitle));
    // The request was sent and handled before the call returned: the window is gone.
    EXPECT_EQ(popup.CloseRequests(), 1);
    EXPECT_FALSE(popup.Exists());
    EXPECT_FALSE(platform::CloseTopLevelWindow(kSystemPopupTitle));
    EXPECT_TRUE(other.Exists());
    EXPECT_EQ(other.CloseRequests(), 0);
}

TEST(Win32PopupCloser, TheScannerStartsTheCloserWhichClosesAPopupInItsFirstRound) {
    TestWindow popup("MarlinqPopup", kSystemPopupTitle);
    ASSERT_TRUE(popup.Created()) << kNoWindow;

    std::atomic<int> rounds{0};
    std::promise<int> closedIn;  // the round that found the pop-up
    std::atomic<bool> reported{false};
    discovery::ScannerCallbacks cb;
    cb.isModulePresent = [] { return false; };
    cb.closePopup = [&] {
        const int round = ++rounds;
        const bool found = platform::CloseTopLevelWindow(kSystemPopupTitle);
        if (found && !reported.exchange(true)) {
            closedIn.set_value(round);
        }
        return found;
    };
    std::atomic<atlink::BOOL> pendingPush{atlink::FALSE}, stop{atlink::FALSE}, notReadyLogged{atlink::FALSE};
    discovery::DeviceScanner scanner(std::move(cb),
                                     discovery::ScannerFlags{pendingPush, stop, notReadyLogged});
    scanner.StartScanThreads();
    EXPECT_TRUE(scanner.Closer().Started());
    auto round = closedIn.get_future();
    ASSERT_EQ(round.wait_for(std::chrono::seconds(30)), std::future_status::ready)
        << "the pop-up was not closed";
    EXPECT_EQ(round.get(), 1);
    EXPECT_FALSE(popup.Exists());
    EXPECT_EQ(popup.CloseRequests(), 1);

    scanner.Stop();  // joins the closer
    EXPECT_EQ(stop.load(), atlink::TRUE);
    EXPECT_EQ(scanner.Closer().Rounds(), rounds.load());
}

TEST(Win32PopupCloser, TheDefaultCloserIsThePlatformsAndStopsWithTheScanner) {
    TestWindow popup("MarlinqDefault", kSystemPopupTitle);
    ASSERT_TRUE(popup.Created()) << kNoWindow;
    platform::ScopedClockScale fast(0.1);
    std::atomic<atlink::BOOL> pendingPush{atlink::FALSE}, stop{atlink::FALSE}, notReadyLogged{atlink::FALSE};
    discovery::ScannerCallbacks cb;
    cb.isModulePresent = [] { return false; };
    discovery::DeviceScanner scanner(std::move(cb),
                                     discovery::ScannerFlags{pendingPush, stop, notReadyLogged});
    scanner.StartScanThreads();
    testsupport::PollUntil([&] { return scanner.Closer().Closed() != 0; }, std::chrono::seconds(30));
    EXPECT_EQ(scanner.Closer().Closed(), 1);
    EXPECT_FALSE(popup.Exists());
    scanner.Stop();
}

}  // namespace
