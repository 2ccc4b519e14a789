// CWorkerRegistry: the worker threads of one window. It starts them, carries what they post to the
// window thread (dropped once a worker has been aborted), and at shutdown asks every one of them
// to stop and joins it; after that it starts no more.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "framework/worker_thread.h"

namespace fw {

using HTHREAD = std::shared_ptr<CWorkerThread>;

class CWorkerRegistry {
  public:
    // Queues a function to the window thread.
    using Poster = std::function<void(std::function<void()>)>;
    using LogSink = std::function<void(const std::string&)>;

    CWorkerRegistry(Poster runOnWindowThread, LogSink addLog);
    ~CWorkerRegistry();
    CWorkerRegistry(const CWorkerRegistry&) = delete;
    CWorkerRegistry& operator=(const CWorkerRegistry&) = delete;

    // Starts a worker; nullptr once StopAll has begun.
    HTHREAD StartWorker(CWorkerThread::Body body);
    // Runs fn on the window thread for a worker, unless the worker has been aborted by then.
    void PostFromWorker(const HTHREAD& worker, std::function<void()> fn);
    // Logs text for a worker, unless it has been aborted.
    void AddLogFromWorker(const CWorkerThread& worker, const std::string& text);
    // Ends a worker where it waits: from now on it logs nothing and changes no state. Window
    // thread; the worker is joined at shutdown.
    static void AbortWorker(const HTHREAD& worker);

    // Set once the window shuts down; also read by the window's own threads (the scanner).
    std::atomic<int>& StopFlag() { return m_stop; }
    // Sets the stop flag, asks every worker to stop and joins them all. Idempotent.
    void StopAll();

  private:
    Poster m_post;
    LogSink m_log;
    std::atomic<int> m_stop{0};
    std::mutex m_mutex;
    std::vector<HTHREAD> m_workers;
};

}  // namespace fw
