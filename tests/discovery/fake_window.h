// A stand-in for the main window in discovery tests: a window thread that runs posted tasks in
// order, the log pane and the device events reported to the window.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "discovery/device_events.h"
#include "tests/support/poll.h"

namespace testsupport {

class FakeWindow {
  public:
    FakeWindow() : m_thread([this] { Run(); }) {}
    ~FakeWindow() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_cv.notify_all();
        m_thread.join();
    }
    FakeWindow(const FakeWindow&) = delete;
    FakeWindow& operator=(const FakeWindow&) = delete;

    void Post(std::function<void()> task) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_tasks.push_back(std::move(task));
        }
        m_cv.notify_all();
    }
    void AddLog(const std::string& line) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_log.push_back(line);
        }
        m_cv.notify_all();
    }
    // An event as the window hears it, with the number of log lines before it.
    void Event(discovery::DeviceEvent event) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_events.push_back(event);
            m_logSizeAtEvent.push_back(m_log.size());
        }
        m_cv.notify_all();
    }

    std::vector<std::string> Log() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_log;
    }
    std::vector<discovery::DeviceEvent> Events() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_events;
    }
    std::size_t LogSizeAtEvent(std::size_t index) const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return index < m_logSizeAtEvent.size() ? m_logSizeAtEvent[index] : 0;
    }
    std::thread::id ThreadId() const { return m_thread.get_id(); }

    // Waits (real time, generous) until pred holds over the window state; every posted task up to
    // that moment has run.
    bool WaitFor(const std::function<bool()>& pred) {
        return testsupport::PollUntil([&] {
            Drain();
            return pred();
        });
    }
    bool WaitForLine(const std::string& line, std::size_t count = 1) {
        return WaitFor([&] { return CountLines(line) >= count; });
    }
    std::size_t CountLines(const std::string& line) const {
        std::size_t n = 0;
        for (const auto& l : Log()) {
            n += l == line ? 1 : 0;
        }
        return n;
    }
    // Waits until every task posted so far has run.
    void Drain() {
        std::mutex m;
        std::condition_variable cv;
        bool done = false;
        Post([&] {
            std::lock_guard<std::mutex> lock(m);
            done = true;
            cv.notify_all();
        });
        std::unique_lock<std::mutex> lock(m);
        cv.wait(lock, [&] { return done; });
    }

  private:
    void Run() {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_cv.wait(lock, [&] { return m_stop || !m_tasks.empty(); });
            if (m_tasks.empty()) {
                return;
            }
            auto task = std::move(m_tasks.front());
            m_tasks.pop_front();
            lock.unlock();
            task();
            lock.lock();
        }
    }

    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<std::function<void()>> m_tasks;
    std::vector<std::string> m_log;
    std::vector<discovery::DeviceEvent> m_events;
    std::vector<std::size_t> m_logSizeAtEvent;
    bool m_stop = false;
    std::thread m_thread;
};

}  // namespace testsupport
