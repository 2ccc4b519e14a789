// Termination requests on Windows: the console's control events (Ctrl+C, Ctrl+Break, closing
// the console, logoff, shutdown) and, for a program without a console, the end of the session
// announced to a hidden top-level window.
#include <windows.h>

#include <cstdlib>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/termination.h"

namespace platform {

namespace {

std::mutex g_mutex;
std::function<void()> g_closeAndWait;
bool g_handling = false;

// Runs the close and returns once it is done; false when nothing is registered (the system's
// default then ends the process). A second request ends the process at once.
bool Terminate() {
    std::function<void()> close;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (!g_closeAndWait) {
            return false;
        }
        if (g_handling) {
            std::_Exit(1);
        }
        g_handling = true;
        close = g_closeAndWait;
    }
    close();
    return true;
}

BOOL WINAPI OnConsoleEvent(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            // The handler runs on a thread of its own; the process ends when it returns from the
            // last three, so it returns only once the window has closed.
            return Terminate() ? TRUE : FALSE;
        default:
            return FALSE;
    }
}

LRESULT CALLBACK SessionWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_QUERYENDSESSION) {
        return TRUE;
    }
    if (message == WM_ENDSESSION && wParam != FALSE) {
        Terminate();  // the session ends when this returns
        return 0;
    }
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

// A hidden top-level window: only those receive the end-of-session messages.
void WatchSession() {
    std::thread([] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = SessionWindowProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "MarlinqSessionWatch";
        ::RegisterClassA(&wc);
        if (::CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                              wc.hInstance, nullptr) == nullptr) {
            return;
        }
        MSG msg;
        while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
            ::DispatchMessageA(&msg);
        }
    }).detach();
}

}  // namespace

void HoldTerminationRequests() {
    // Nothing is held on Windows: the console events arrive on a thread of their own anyway, and
    // until a close is registered they keep their default effect.
}

void OnTerminationRequest(std::function<void()> closeAndWait) {
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_closeAndWait = std::move(closeAndWait);
    }
    static std::once_flag started;
    std::call_once(started, [] {
        ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
        WatchSession();
    });
}

}  // namespace platform
