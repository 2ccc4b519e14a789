#include "framework/worker_registry.h"

#include <utility>

namespace fw {

CWorkerRegistry::CWorkerRegistry(Poster runOnWindowThread, LogSink addLog)
    : m_post(std::move(runOnWindowThread)), m_log(std::move(addLog)) {}

CWorkerRegistry::~CWorkerRegistry() {
    StopAll();
}

HTHREAD CWorkerRegistry::StartWorker(CWorkerThread::Body body) {
    std::lock_guard lock(m_mutex);
    if (m_stop != 0) {
        return nullptr;
    }
    std::erase_if(m_workers, [](const HTHREAD& w) { return w->IsFinished(); });
    auto worker = std::make_shared<CWorkerThread>();
    worker->Start(std::move(body));
    m_workers.push_back(worker);
    return worker;
}

void CWorkerRegistry::PostFromWorker(const HTHREAD& worker, std::function<void()> fn) {
    // The check runs on the window thread, where the abort happens, so nothing slips past it.
    m_post([worker, fn = std::move(fn)] {
        if (worker && !worker->IsAborted()) {
            fn();
        }
    });
}

void CWorkerRegistry::AddLogFromWorker(const CWorkerThread& worker, const std::string& text) {
    if (!worker.IsAborted()) {
        m_log(text);
    }
}

void CWorkerRegistry::AbortWorker(const HTHREAD& worker) {
    if (worker) {
        worker->Abort();
    }
}

void CWorkerRegistry::StopAll() {
    std::vector<HTHREAD> workers;
    {
        std::lock_guard lock(m_mutex);
        m_stop = 1;
        workers.swap(m_workers);
    }
    for (auto& w : workers) {
        w->RequestStop();
    }
    for (auto& w : workers) {
        w->Join();
    }
}

}  // namespace fw
