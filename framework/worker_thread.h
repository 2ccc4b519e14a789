// A worker thread of a window: started with a body, asked to stop at shutdown, or aborted (the
// window drops whatever the worker still says or does). Its waits end early on either request.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace fw {

class CWorkerThread {
  public:
    using Body = std::function<void(CWorkerThread&)>;

    CWorkerThread() = default;
    ~CWorkerThread();
    CWorkerThread(const CWorkerThread&) = delete;
    CWorkerThread& operator=(const CWorkerThread&) = delete;

    void Start(Body body);
    void Join();
    bool IsFinished() const { return m_finished.load(); }

    void RequestStop();
    bool StopRequested() const { return m_stop.load(); }

    // Marks the worker aborted, runs its abort hook (which ends whatever it waits for, such as a
    // child process) and wakes its waits. Window thread.
    void Abort();
    bool IsAborted() const { return m_aborted.load(); }
    // What Abort runs; set by the worker around a blocking call.
    void SetAbortHook(std::function<void()> hook);

    // Waits ms milliseconds (scaled by the clock). Returns false when the wait ended early because
    // the worker was asked to stop or was aborted.
    bool Wait(std::uint32_t ms);
    bool ShouldEnd() const { return StopRequested() || IsAborted(); }

  private:
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_aborted{false};
    std::atomic<bool> m_finished{false};
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::function<void()> m_abortHook;
};

}  // namespace fw
