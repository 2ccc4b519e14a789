// An IAdbHost for tests: records every log line, AT call, timer arming and scan restart in order,
// answers the AT wrappers as told and runs the ADB time-out as the main window does (on its own
// thread, after 30000 ms on the scaled clock).
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "adb/adb_host.h"
#include "adb/adb_transfer.h"
#include "platform/clock.h"
#include "tests/support/poll.h"

namespace testsupport {

inline constexpr char kTimeoutLine[] = "ADB cmd timeout, please check ADB device and retry later!";

class FakeAdbHost : public adb::IAdbHost {
  public:
    explicit FakeAdbHost(std::string appDir) : m_appDir(std::move(appDir)), transfer(*this) {
        m_watcher = std::thread([this] { Watch(); });
    }
    ~FakeAdbHost() override {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
        m_watcher.join();
        transfer.CancelCommands();
        std::vector<adb::HTHREAD> workers;
        {
            std::lock_guard lock(m_mutex);
            workers = m_workers;
        }
        for (auto& w : workers) {
            w->RequestStop();
        }
        for (auto& w : workers) {
            w->Join();
        }
    }

    void AddLog(const std::string& text) override { Event("log:" + text); }
    void ShowMessageBox(const std::string& text, const std::string&, unsigned) override {
        Event("box:" + text);
    }
    adb::AdbState AtQueryAdb() override {
        Event("at:query");
        return adbState.load();
    }
    int AtEnableAdb() override {
        Event("at:enable");
        return enableOk.load();
    }
    int AtResetModule() override {
        Event("at:reset");
        return resetOk.load();
    }
    int AtHideAdb() override {
        Event("at:hide");
        return hideOk.load();
    }
    void OnBtnScanPort() override { Event("scan"); }
    void ArmAdbTimeout() override {
        {
            std::lock_guard lock(m_mutex);
            m_armed = true;
            m_due = platform::Clock::Now() + platform::Clock::Scaled(timeoutMs.load());
            m_events.push_back("arm");
        }
        m_changed.notify_all();
    }
    void DisarmAdbTimeout() override {
        std::lock_guard lock(m_mutex);
        m_armed = false;
        m_events.push_back("disarm");
    }
    adb::HTHREAD StartWorker(fw::CWorkerThread::Body body) override {
        auto worker = std::make_shared<fw::CWorkerThread>();
        {
            std::lock_guard lock(m_mutex);
            m_workers.push_back(worker);
        }
        worker->Start(std::move(body));
        return worker;
    }
    adb::HTHREAD StartPushWorker(fw::CWorkerThread::Body body) override {
        auto worker = StartWorker(std::move(body));
        std::lock_guard lock(m_mutex);
        m_pushThread = worker;
        pushStarted = 1;
        return worker;
    }
    int PendingPush() override { return pendingPush.load(); }
    void SetPendingPush(int pending) override { pendingPush = pending; }
    std::string AppDirectory() override { return m_appDir; }
    adb::HTHREAD PushThread() const {
        std::lock_guard lock(m_mutex);
        return m_pushThread;
    }

    std::vector<std::string> Events() const {
        std::lock_guard lock(m_mutex);
        return m_events;
    }
    // The log lines only, in order.
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        for (const auto& e : Events()) {
            if (e.rfind("log:", 0) == 0) {
                lines.push_back(e.substr(4));
            }
        }
        return lines;
    }
    std::size_t Count(const std::string& event) const {
        const auto events = Events();
        return static_cast<std::size_t>(std::count(events.begin(), events.end(), event));
    }
    // Waits (real time, generously) until every worker started so far has finished.
    bool WorkersFinished() const {
        return testsupport::PollUntil([this] {
            std::lock_guard lock(m_mutex);
            return std::all_of(m_workers.begin(), m_workers.end(),
                               [](const auto& w) { return w->IsFinished(); });
        });
    }
    template <typename Pred>
    bool WaitFor(Pred pred) const {
        return testsupport::PollUntil(pred);
    }
    std::size_t WorkerCount() const {
        std::lock_guard lock(m_mutex);
        return m_workers.size();
    }

    // The window's ADB time-out; a test that must end a hanging worker otherwise makes it longer.
    std::atomic<std::uint32_t> timeoutMs{30000};
    std::atomic<adb::AdbState> adbState{adb::AdbState::On};
    std::atomic<int> enableOk{1};
    std::atomic<int> resetOk{1};
    std::atomic<int> hideOk{1};
    std::atomic<int> pendingPush{0};
    std::atomic<int> pushStarted{0};

  private:
    void Event(const std::string& e) {
        std::lock_guard lock(m_mutex);
        m_events.push_back(e);
    }
    // The main window's ADB time-out: kill the timer, abort the push worker, log, restart the scan.
    void Watch() {
        std::unique_lock lock(m_mutex);
        while (!m_stop) {
            if (!m_armed) {
                m_changed.wait(lock);
                continue;
            }
            if (m_changed.wait_until(lock, m_due, [this] { return m_stop || !m_armed; })) {
                continue;
            }
            if (platform::Clock::Now() < m_due) {
                continue;
            }
            m_armed = false;
            lock.unlock();
            if (pushStarted.exchange(0) != 0) {
                adb::HTHREAD worker;
                {
                    std::lock_guard relock(m_mutex);
                    worker.swap(m_pushThread);
                }
                if (worker) {
                    worker->Abort();
                }
            }
            AddLog(kTimeoutLine);
            OnBtnScanPort();
            lock.lock();
        }
    }

    std::string m_appDir;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::string> m_events;
    std::vector<adb::HTHREAD> m_workers;
    adb::HTHREAD m_pushThread;
    bool m_armed = false;
    bool m_stop = false;
    std::chrono::steady_clock::time_point m_due{};
    std::thread m_watcher;

  public:
    adb::AdbTransfer transfer;
};

}  // namespace testsupport
