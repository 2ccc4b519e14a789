// A stand-in for the main window in discovery tests: a window thread that runs posted tasks in
// order, the log pane, the enable state of controls and the posted commands.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

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
    // Called by posted tasks, so on the window thread.
    void Enable(int id, bool enable) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_enabled[id] = enable;
        m_history[id].push_back(enable);
        m_enableOffThread += std::this_thread::get_id() != m_thread.get_id() ? 1 : 0;
    }
    void Command(int command) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_commands.push_back(command);
        }
        m_cv.notify_all();
    }

    std::vector<std::string> Log() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_log;
    }
    std::vector<int> Commands() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_commands;
    }
    bool Enabled(int id) const {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_enabled.find(id);
        return it != m_enabled.end() && it->second;
    }
    // Every enable state a control was given, in order.
    std::vector<bool> History(int id) const {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_history.find(id);
        return it != m_history.end() ? it->second : std::vector<bool>();
    }
    int EnableCallsOffWindowThread() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_enableOffThread;
    }
    std::thread::id ThreadId() const { return m_thread.get_id(); }

    // Waits (real time, generous) until pred holds over the window state; every posted task up to
    // that moment has run.
    bool WaitFor(const std::function<bool()>& pred, int timeoutMs = 10000) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < until) {
            Drain();
            if (pred()) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
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
    std::vector<int> m_commands;
    std::map<int, bool> m_enabled;
    std::map<int, std::vector<bool>> m_history;
    int m_enableOffThread = 0;
    bool m_stop = false;
    std::thread m_thread;
};

}  // namespace testsupport
