#include "tests/win32/test_window.h"

#include <windows.h>

#include <atomic>
#include <future>
#include <thread>

namespace testsupport {

struct TestWindow::State {
    HWND window = nullptr;
    std::atomic<int> closeRequests{0};
    std::thread thread;
};

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_CREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(l);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    } else if (message == WM_CLOSE) {
        if (auto* closes = reinterpret_cast<std::atomic<int>*>(GetWindowLongPtrA(window, GWLP_USERDATA))) {
            ++*closes;
        }
    } else if (message == WM_DESTROY) {
        PostQuitMessage(0);
    }
    return DefWindowProcA(window, message, w, l);
}

}  // namespace

TestWindow::TestWindow(const char* className, const char* title) : m_state(std::make_unique<State>()) {
    std::promise<HWND> created;
    auto window = created.get_future();
    State* state = m_state.get();
    m_state->thread = std::thread([&created, state, className, title] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = className;
        RegisterClassA(&wc);
        const HWND hwnd = CreateWindowExA(0, className, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300,
                                          120, nullptr, nullptr, wc.hInstance, &state->closeRequests);
        created.set_value(hwnd);
        if (hwnd == nullptr) {
            return;
        }
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            DispatchMessageA(&msg);
        }
    });
    m_state->window = window.get();
}

TestWindow::~TestWindow() {
    if (Exists()) {
        PostMessageA(m_state->window, WM_CLOSE, 0, 0);
    }
    m_state->thread.join();
}

bool TestWindow::Created() const {
    return m_state->window != nullptr;
}

bool TestWindow::Exists() const {
    return m_state->window != nullptr && IsWindow(m_state->window);
}

int TestWindow::CloseRequests() const {
    return m_state->closeRequests.load();
}

}  // namespace testsupport
