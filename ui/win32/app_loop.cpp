#include "ui/win32/app_loop.h"

namespace marlinq::win32 {

CAppLoop::CAppLoop(HINSTANCE instance) : m_view(m_host.Thread(), instance) {
    m_view.onMainEnded = [] { PostQuitMessage(0); };
}

CAppLoop::~CAppLoop() {
    Finish();
}

void CAppLoop::Start() {
    // Also when the window never came up, the loop ends with the application.
    m_host.Start([this] { m_view.PostToGui([] { PostQuitMessage(0); }); });
}

bool CAppLoop::Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            m_quit = true;
            return false;
        }
        if (!m_view.PreTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return !m_quit;
}

int CAppLoop::Run() {
    MSG msg;
    while (!m_quit && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!m_view.PreTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    m_quit = true;
    return Finish();
}

int CAppLoop::Finish() {
    // The window thread may wait for the GUI thread (a message box); keep serving it.
    return m_host.Close([this] {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message != WM_QUIT && !m_view.PreTranslate(msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    });
}

}  // namespace marlinq::win32
