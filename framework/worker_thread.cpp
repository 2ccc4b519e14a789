#include "framework/worker_thread.h"

#include <algorithm>

#include "platform/clock.h"

namespace fw {

CWorkerThread::~CWorkerThread() {
    RequestStop();
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

CWorkerThread* CWorkerSet::Start(CWorkerThread::Body body) {
    std::lock_guard lock(m_mutex);
    std::erase_if(m_workers, [](const auto& w) {
        if (w->IsFinished()) {
            w->Join();
            return true;
        }
        return false;
    });
    m_workers.push_back(std::make_unique<CWorkerThread>());
    CWorkerThread* worker = m_workers.back().get();
    worker->Start(std::move(body));
    return worker;
}

void CWorkerSet::StopAll() {
    std::vector<std::unique_ptr<CWorkerThread>> workers;
    {
        std::lock_guard lock(m_mutex);
        workers.swap(m_workers);
    }
    for (auto& w : workers) {
        w->RequestStop();
    }
    for (auto& w : workers) {
        w->Join();
    }
}

std::size_t CWorkerSet::Running() const {
    std::lock_guard lock(m_mutex);
    return static_cast<std::size_t>(
        std::count_if(m_workers.begin(), m_workers.end(), [](const auto& w) { return !w->IsFinished(); }));
}

}  // namespace fw
