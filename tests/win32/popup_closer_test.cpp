// The pop-up closer on Windows: a top-level window titled "Microsoft Windows", of any class, is
// asked to close and is gone when the request returns; the scanner starts the closer thread and
// stops it with itself. Needs a display (under Wine: an X server, such as xvfb-run).
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

#include "discovery/device_scanner.h"
#include "discovery/popup_closer.h"
#include "platform/clock.h"
#include "platform/popup_window.h"

namespace {

std::atomic<int> g_closeRequests{0};

LRESULT CALLBACK PopupProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_CLOSE) {
        ++g_closeRequests;
    } else if (message == WM_DESTROY) {
        PostQuitMessage(0);
    }
    return DefWindowProcA(window, message, w, l);
}

// A visible top-level window on a thread of its own that serves its messages until it is destroyed.
class PopupWindow {
  public:
    PopupWindow(const char* className, const char* title) {
        std::promise<HWND> created;
        auto window = created.get_future();
        m_thread = std::thread([&created, className, title] {
            WNDCLASSA wc{};
            wc.lpfnWndProc = PopupProc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = className;
            RegisterClassA(&wc);
            const HWND hwnd = CreateWindowExA(0, className, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                              300, 120, nullptr, nullptr, wc.hInstance, nullptr);
            created.set_value(hwnd);
            if (hwnd == nullptr) {
                return;
            }
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
                DispatchMessageA(&msg);
            }
        });
        m_window = window.get();
    }
    ~PopupWindow() {
        if (m_window != nullptr && IsWindow(m_window)) {
            PostMessageA(m_window, WM_CLOSE, 0, 0);
        }
        m_thread.join();
    }
    PopupWindow(const PopupWindow&) = delete;
    PopupWindow& operator=(const PopupWindow&) = delete;

    HWND Handle() const { return m_window; }

  private:
    HWND m_window = nullptr;
    std::thread m_thread;
};

constexpr char kNoWindow[] =
    "CreateWindowExA failed: no display? Under Wine these tests need an X server (xvfb-run -a ctest ...)";

TEST(Win32PopupCloser, ClosesATopLevelWindowWithExactlyThatTitle) {
    ASSERT_TRUE(platform::HasSystemPopups());
    g_closeRequests = 0;
    PopupWindow other("MarlinqOtherTitle", "Microsoft Windows - notice");
    ASSERT_NE(other.Handle(), nullptr) << kNoWindow;
    EXPECT_FALSE(platform::CloseTopLevelWindow(discovery::kSystemPopupTitle)) << "only the exact title";
    EXPECT_TRUE(IsWindow(other.Handle()));

    PopupWindow popup("MarlinqAnyClass", discovery::kSystemPopupTitle);
    ASSERT_NE(popup.Handle(), nullptr) << kNoWindow;
    EXPECT_TRUE(platform::CloseTopLevelWindow(discovery::kSystemPopupTitle));
    // The request was sent and handled before the call returned: the window is gone.
    EXPECT_EQ(g_closeRequests.load(), 1);
    EXPECT_FALSE(IsWindow(popup.Handle()));
    EXPECT_FALSE(platform::CloseTopLevelWindow(discovery::kSystemPopupTitle));
    EXPECT_TRUE(IsWindow(other.Handle()));
}

TEST(Win32PopupCloser, TheScannerStartsTheCloserWhichClosesAPopupInItsFirstRound) {
    g_closeRequests = 0;
    PopupWindow popup("MarlinqPopup", discovery::kSystemPopupTitle);
    ASSERT_NE(popup.Handle(), nullptr) << kNoWindow;

    std::atomic<int> rounds{0};
    std::promise<int> closedIn;  // the round that found the pop-up
    std::atomic<bool> reported{false};
    discovery::ScannerCallbacks cb;
    cb.isModulePresent = [] { return false; };
    cb.closePopup = [&] {
        const int round = ++rounds;
        const bool found = platform::CloseTopLevelWindow(discovery::kSystemPopupTitle);
        if (found && !reported.exchange(true)) {
            closedIn.set_value(round);
        }
        return found;
    };
    std::atomic<BOOL> pendingPush{FALSE}, stop{FALSE}, notReadyLogged{FALSE};
    discovery::DeviceScanner scanner(std::move(cb),
                                     discovery::ScannerFlags{pendingPush, stop, notReadyLogged});
    scanner.StartScanThreads();
    EXPECT_TRUE(scanner.Closer().Started());
    auto round = closedIn.get_future();
    ASSERT_EQ(round.wait_for(std::chrono::seconds(30)), std::future_status::ready)
        << "the pop-up was not closed";
    EXPECT_EQ(round.get(), 1);
    EXPECT_FALSE(IsWindow(popup.Handle()));
    EXPECT_EQ(g_closeRequests.load(), 1);

    scanner.Stop();  // joins the closer
    EXPECT_EQ(stop.load(), TRUE);
    EXPECT_EQ(scanner.Closer().Rounds(), rounds.load());
}

TEST(Win32PopupCloser, TheDefaultCloserIsThePlatformsAndStopsWithTheScanner) {
    g_closeRequests = 0;
    PopupWindow popup("MarlinqDefault", discovery::kSystemPopupTitle);
    ASSERT_NE(popup.Handle(), nullptr) << kNoWindow;
    platform::ScopedClockScale fast(0.1);
    std::atomic<BOOL> pendingPush{FALSE}, stop{FALSE}, notReadyLogged{FALSE};
    discovery::ScannerCallbacks cb;
    cb.isModulePresent = [] { return false; };
    discovery::DeviceScanner scanner(std::move(cb),
                                     discovery::ScannerFlags{pendingPush, stop, notReadyLogged});
    scanner.StartScanThreads();
    for (int i = 0; i < 3000 && scanner.Closer().Closed() == 0; ++i) {
        Sleep(10);
    }
    EXPECT_EQ(scanner.Closer().Closed(), 1);
    EXPECT_FALSE(IsWindow(popup.Handle()));
    scanner.Stop();
}

}  // namespace
