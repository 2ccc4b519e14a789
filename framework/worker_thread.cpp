#include "framework/worker_thread.h"

#include "platform/clock.h"

namespace fw {

CWorkerThread::~CWorkerThread() {
    RequestStop();
    if (m_thread.joinable() && m_thread.get_id() == std::this_thread::get_id()) {
        m_thread.detach();  // the last owner let go from inside the worker: it is ending anyway
        return;
    }
    Join();
}

void CWorkerThread::Start(Body body) {
    m_thread = std::thread([this, body = std::move(body)] {
        body(*this);
        m_finished.store(true);
    });
}

void CWorkerThread::Join() {
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void CWorkerThread::RequestStop() {
    std::lock_guard lock(m_mutex);
    m_stop.store(true);
    m_wake.notify_all();
}

void CWorkerThread::Abort() {
    std::function<void()> hook;
    {
        std::lock_guard lock(m_mutex);
        m_aborted.store(true);
        hook = m_abortHook;
        m_wake.notify_all();
    }
    if (hook) {
        hook();
    }
}

void CWorkerThread::SetAbortHook(std::function<void()> hook) {
    std::lock_guard lock(m_mutex);
    m_abortHook = std::move(hook);
}

bool CWorkerThread::Wait(std::uint32_t ms) {
    std::unique_lock lock(m_mutex);
    return !m_wake.wait_for(lock, platform::Clock::Scaled(ms), [this] { return ShouldEnd(); });
}

}  // namespace fw
