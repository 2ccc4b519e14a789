#include "discovery/popup_closer.h"

#include "platform/clock.h"
#include "platform/popup_window.h"

namespace discovery {

using atlink::BOOL;
using atlink::FALSE;
using atlink::TRUE;

PopupCloser::PopupCloser(std::function<bool()> closeOnce, std::atomic<BOOL>& stopThreads)
    : m_closeOnce(std::move(closeOnce)), m_stop(stopThreads) {
    if (!m_closeOnce && platform::HasSystemPopups()) {
        m_closeOnce = [] { return platform::CloseTopLevelWindow(kSystemPopupTitle); };
    }
}

PopupCloser::~PopupCloser() {
    m_stop.store(TRUE);
    Stop();
}

void PopupCloser::Start() {
    if (!m_closeOnce || m_thread.joinable()) {
        return;
    }
    m_thread = std::thread([this] { PopupCloserThreadProc(); });
}

void PopupCloser::PopupCloserThreadProc() {
    while (!m_stop.load()) {
        const bool found = m_closeOnce();
        ++m_rounds;
        if (found) {
            ++m_closed;
        }
        std::unique_lock<std::mutex> lock(m_mutex);
        m_cv.wait_for(lock, platform::Clock::Scaled(kPopupRoundPauseMs),
                      [&] { return m_stop.load() != FALSE; });
    }
}

void PopupCloser::Stop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_cv.notify_all();
    }
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id()) {
        m_thread.join();
    }
}

}  // namespace discovery
