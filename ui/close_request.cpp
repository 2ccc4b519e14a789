#include "ui/close_request.h"

#include "framework/dialog_driver.h"

namespace marlinq {

CCloseRequest::CCloseRequest(fw::CWindowThread& thread) : m_thread(thread) {
    m_thread.AddObserver(this);
}

CCloseRequest::~CCloseRequest() {
    m_thread.RemoveObserver(this);
}

void CCloseRequest::OnDialogCreated(const fw::DialogInfo& info) {
    std::lock_guard lock(m_mutex);
    if (info.parent == 0 && m_main == 0) {
        m_main = info.hwnd;
    }
}

void CCloseRequest::OnDialogShown(fw::HWND hwnd, bool visible) {
    bool closeNow = false;
    {
        std::lock_guard lock(m_mutex);
        if (hwnd != m_main || !visible || m_shown) {
            return;
        }
        m_shown = true;
        closeNow = m_requested;
    }
    if (closeNow) {
        CloseNow(hwnd);
    }
}

void CCloseRequest::OnDialogDestroyed(fw::HWND hwnd) {
    {
        std::lock_guard lock(m_mutex);
        if (hwnd != m_main) {
            return;
        }
        m_closed = true;
    }
    m_cv.notify_all();
}

void CCloseRequest::Request() {
    fw::HWND main = 0;
    {
        std::lock_guard lock(m_mutex);
        if (m_requested || m_closed) {
            return;
        }
        m_requested = true;
        if (m_shown) {
            main = m_main;
        }
    }
    if (main != 0) {
        CloseNow(main);
    }
}

bool CCloseRequest::WaitClosed(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    return m_cv.wait_for(lock, timeout, [this] { return m_closed; });
}

void CCloseRequest::CloseNow(fw::HWND hwnd) {
    // Queued like the close box's notice: it waits for the handler that is running, never
    // interrupts it.
    fw::CDialogDriver(m_thread, hwnd).Close();
}

}  // namespace marlinq
