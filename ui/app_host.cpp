#include "ui/app_host.h"

#include <chrono>

namespace marlinq {

CAppHost::CAppHost() {
    m_app.Thread().AddObserver(this);
}

CAppHost::~CAppHost() {
    if (m_window.joinable()) {
        Close();
    }
}

void CAppHost::Start(std::function<void()> onEnded) {
    if (m_window.joinable()) {
        return;
    }
    m_window = std::thread([this, onEnded = std::move(onEnded)] {
        const int code = m_app.Run();
        {
            std::lock_guard lock(m_mutex);
            m_exitCode = code;
            m_finished = true;
            m_ended = true;  // also when the window never came up
        }
        m_cv.notify_all();
        if (onEnded) {
            onEnded();
        }
    });
}

bool CAppHost::WaitShown() {
    std::unique_lock lock(m_mutex);
    m_cv.wait(lock, [this] { return m_shown || m_ended; });
    return m_shown && !m_ended;
}

bool CAppHost::Ended() {
    std::lock_guard lock(m_mutex);
    return m_ended;
}

fw::CDialogDriver CAppHost::Main() {
    std::lock_guard lock(m_mutex);
    return fw::CDialogDriver(m_app.Thread(), m_main);
}

fw::CDialogDriver CAppHost::Page(int index) {
    std::lock_guard lock(m_mutex);
    const auto it = m_pages.find(index);
    return fw::CDialogDriver(m_app.Thread(), it == m_pages.end() ? 0 : it->second);
}

void CAppHost::RequestClose() {
    fw::HWND main = 0;
    {
        std::lock_guard lock(m_mutex);
        main = m_ended ? 0 : m_main;
    }
    if (main != 0) {
        fw::CDialogDriver(m_app.Thread(), main).Close();
    }
}

void CAppHost::WaitFor(const std::function<bool()>& done, const std::function<void()>& serve) {
    std::unique_lock lock(m_mutex);
    while (!done()) {
        if (!serve) {
            m_cv.wait(lock);
            continue;
        }
        lock.unlock();
        serve();
        lock.lock();
        m_cv.wait_for(lock, std::chrono::milliseconds(10), done);
    }
}

int CAppHost::Join(const std::function<void()>& serve) {
    if (!m_window.joinable()) {
        return m_exitCode;
    }
    WaitFor([this] { return m_finished; }, serve);
    m_window.join();
    return m_exitCode;
}

int CAppHost::Close(const std::function<void()>& serve) {
    if (!m_window.joinable()) {
        return m_exitCode;
    }
    // A window that is still coming up is closed once it is shown.
    WaitFor([this] { return m_shown || m_ended; }, serve);
    RequestClose();
    return Join(serve);
}

void CAppHost::OnDialogCreated(const fw::DialogInfo& info) {
    std::lock_guard lock(m_mutex);
    if (info.parent == 0 && m_main == 0) {
        m_main = info.hwnd;
    } else if (info.child && info.parent == m_main) {
        m_pages[info.hostIndex] = info.hwnd;
    }
}

void CAppHost::OnDialogShown(fw::HWND hwnd, bool visible) {
    {
        std::lock_guard lock(m_mutex);
        if (hwnd != m_main || !visible) {
            return;
        }
        m_shown = true;
    }
    m_cv.notify_all();
}

void CAppHost::OnDialogDestroyed(fw::HWND hwnd) {
    {
        std::lock_guard lock(m_mutex);
        if (hwnd != m_main) {
            return;
        }
        m_ended = true;
    }
    m_cv.notify_all();
}

}  // namespace marlinq
