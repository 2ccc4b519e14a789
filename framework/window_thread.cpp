#include "framework/window_thread.h"

#include <algorithm>

#include "framework/dialog.h"
#include "platform/clock.h"

namespace fw {

CWindowThread::CWindowThread(const ITemplateSource* templates) : m_templates(templates) {}

CWindowThread::~CWindowThread() {
    Close();
}

void CWindowThread::BindToCurrentThread() {
    m_owner.store(std::this_thread::get_id());
}

bool CWindowThread::IsWindowThread() const {
    return m_owner.load() == std::this_thread::get_id();
}

bool CWindowThread::Post(MSG msg) {
    {
        std::lock_guard lock(m_mutex);
        if (!m_closed) {
            m_queue.push_back(std::move(msg));
            m_wake.notify_one();
            return true;
        }
    }
    if (msg.task) {
        msg.task(nullptr);
    }
    return false;
}

bool CWindowThread::PostTask(HWND hwnd, std::function<void(CDialog*)> task) {
    MSG msg;
    msg.hwnd = hwnd;
    msg.message = WM_TASK;
    msg.task = std::move(task);
    return Post(std::move(msg));
}

bool CWindowThread::TakeLocked(MSG& msg) {
    if (!m_queue.empty()) {
        msg = std::move(m_queue.front());
        m_queue.pop_front();
        return true;
    }
    const auto now = platform::Clock::Now();
    for (auto& t : m_timers) {
        if (!t.fired && t.due <= now) {
            t.fired = true;
            msg = MSG{};
            msg.hwnd = t.hwnd;
            msg.message = WM_TIMER;
            msg.wParam = t.id;
            return true;
        }
    }
    return false;
}

void CWindowThread::WaitMessage() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (m_closed || !m_queue.empty()) {
            return;
        }
        const auto now = platform::Clock::Now();
        auto next = std::chrono::steady_clock::time_point::max();
        for (const auto& t : m_timers) {
            if (!t.fired) {
                next = std::min(next, t.due);
            }
        }
        if (next <= now) {
            return;
        }
        lock.unlock();
        SetBusy(false);
        lock.lock();
        if (m_closed || !m_queue.empty()) {
            return;
        }
        if (next == std::chrono::steady_clock::time_point::max()) {
            m_wake.wait(lock);
        } else {
            m_wake.wait_until(lock, next);
        }
    }
}

bool CWindowThread::Get(MSG& msg) {
    for (;;) {
        WaitMessage();
        std::unique_lock lock(m_mutex);
        if (m_closed) {
            return false;
        }
        if (TakeLocked(msg)) {
            lock.unlock();
            SetBusy(true);
            return true;
        }
    }
}

bool CWindowThread::Peek(MSG& msg) {
    std::lock_guard lock(m_mutex);
    return !m_closed && TakeLocked(msg);
}

void CWindowThread::Dispatch(MSG& msg) {
    CDialog* target = Find(msg.hwnd);
    if (msg.message == WM_TASK) {
        if (msg.task) {
            msg.task(target);
        }
        return;
    }
    if (msg.message == WM_TIMER) {
        // Re-arm before the handler runs, so a handler that kills its timer stays killed.
        std::lock_guard lock(m_mutex);
        for (auto& t : m_timers) {
            if (t.hwnd == msg.hwnd && t.id == msg.wParam) {
                t.fired = false;
                t.due = platform::Clock::Now() + t.interval;
            }
        }
    }
    if (target == nullptr) {
        return;
    }
    if (msg.textParam) {
        // A message that carries a text hands the handler a pointer to it.
        msg.wParam = reinterpret_cast<WPARAM>(msg.payload.c_str());
    }
    target->SendMessage(msg.message, msg.wParam, msg.lParam, msg.ctrlId);
}

void CWindowThread::Close() {
    std::deque<MSG> dropped;
    {
        std::lock_guard lock(m_mutex);
        m_closed = true;
        dropped.swap(m_queue);
        m_timers.clear();
        m_wake.notify_all();
    }
    for (auto& msg : dropped) {
        if (msg.task) {
            msg.task(nullptr);
        }
    }
}

bool CWindowThread::IsClosed() const {
    std::lock_guard lock(m_mutex);
    return m_closed;
}

void CWindowThread::SetTimer(HWND hwnd, UINT id, UINT ms) {
    std::lock_guard lock(m_mutex);
    const auto interval = platform::Clock::Scaled(ms);
    const auto due = platform::Clock::Now() + interval;
    for (auto& t : m_timers) {
        if (t.hwnd == hwnd && t.id == id) {
            t.interval = interval;
            t.due = due;
            t.fired = false;
            m_wake.notify_one();
            return;
        }
    }
    m_timers.push_back(Timer{hwnd, id, interval, due, false});
    m_wake.notify_one();
}

void CWindowThread::KillTimer(HWND hwnd, UINT id) {
    std::lock_guard lock(m_mutex);
    std::erase_if(m_timers, [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
}

HWND CWindowThread::Register(CDialog* dialog) {
    const HWND hwnd = m_nextHwnd++;
    m_windows[hwnd] = dialog;
    return hwnd;
}

void CWindowThread::Unregister(HWND hwnd) {
    m_windows.erase(hwnd);
    {
        std::lock_guard lock(m_mutex);
        std::erase_if(m_timers, [&](const Timer& t) { return t.hwnd == hwnd; });
    }
    if (m_focusHwnd == hwnd) {
        m_focusHwnd = 0;
        m_focusId = 0;
    }
}

CDialog* CWindowThread::Find(HWND hwnd) const {
    const auto it = m_windows.find(hwnd);
    return it == m_windows.end() ? nullptr : it->second;
}

void CWindowThread::SetFocus(HWND hwnd, int ctrlId) {
    NoteFocus(hwnd, ctrlId);
    for (auto* o : m_observers) {
        o->OnFocusChanged(hwnd, ctrlId);
    }
}

void CWindowThread::NoteFocus(HWND hwnd, int ctrlId) {
    m_focusHwnd = hwnd;
    m_focusId = ctrlId;
}

void CWindowThread::AddObserver(IDialogObserver* observer) {
    m_observers.push_back(observer);
}

void CWindowThread::RemoveObserver(IDialogObserver* observer) {
    std::erase(m_observers, observer);
}

void CWindowThread::SetBusy(bool busy) {
    if (busy == m_busy) {
        return;
    }
    m_busy = busy;
    for (auto* o : m_observers) {
        o->OnBusyChanged(busy);
    }
}

}  // namespace fw
