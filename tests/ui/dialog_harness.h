// Runs a main window on its own window thread for a test and drives it by control id.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "framework/dialog_driver.h"
#include "framework/observer.h"
#include "framework/window_thread.h"
#include "platform/clock.h"
#include "platform/device_change.h"
#include "tests/support/poll.h"
#include "ui/marlinq_dlg.h"
#include "ui/templates.h"

namespace marlinq::test {

// Records what the window thread reports, for tests that wait on it.
class EventRecorder : public fw::IDialogObserver {
  public:
    void OnDialogCreated(const fw::DialogInfo& info) override {
        Record([&] { created.push_back(info); });
    }
    void OnDialogShown(fw::HWND hwnd, bool visible) override {
        Record([&] { shown.emplace_back(hwnd, visible); });
    }
    void OnDialogDestroyed(fw::HWND hwnd) override {
        Record([&] { destroyed.push_back(hwnd); });
    }
    void OnControlChanged(const fw::ControlChange& change) override {
        Record([&] { changes.push_back(change); });
    }
    void OnSystemMenuChanged(fw::HWND, const std::vector<fw::MenuItem>& items) override {
        Record([&] { menu = items; });
    }

    // Waits up to 10 s for pred (called under the lock); returns its last value.
    bool WaitFor(const std::function<bool()>& pred) {
        std::unique_lock lock(mutex);
        return cv.wait_for(lock, std::chrono::seconds(10), pred);
    }

    std::mutex mutex;
    std::condition_variable cv;
    std::vector<fw::DialogInfo> created;
    std::vector<std::pair<fw::HWND, bool>> shown;
    std::vector<fw::HWND> destroyed;
    std::vector<fw::ControlChange> changes;
    std::vector<fw::MenuItem> menu;

  private:
    template <class F>
    void Record(F f) {
        {
            std::lock_guard lock(mutex);
            f();
        }
        cv.notify_all();
    }
};

// Answers the window thread's file dialogs with a preset path (empty: cancelled) and its message
// boxes with OK, and records what was asked. Set it with Thread().SetServices before the input
// that asks.
class FakeUiServices : public fw::IUiServices {
  public:
    struct Box {
        std::string text;
        std::string caption;
        fw::UINT type = 0;
    };
    int MessageBox(fw::HWND, const std::string& text, const std::string& caption, fw::UINT type) override {
        std::lock_guard lock(m_mutex);
        m_boxes.push_back({text, caption, type});
        return fw::IDOK;
    }
    std::string FileDialog(fw::HWND, const fw::FileDialogRequest& request) override {
        std::lock_guard lock(m_mutex);
        m_requests.push_back(request);
        return m_answer;
    }
    void Answer(const std::string& path) {
        std::lock_guard lock(m_mutex);
        m_answer = path;
    }
    std::vector<fw::FileDialogRequest> Requests() {
        std::lock_guard lock(m_mutex);
        return m_requests;
    }
    std::vector<Box> Boxes() {
        std::lock_guard lock(m_mutex);
        return m_boxes;
    }

  private:
    std::mutex m_mutex;
    std::string m_answer;
    std::vector<fw::FileDialogRequest> m_requests;
    std::vector<Box> m_boxes;
};

// The main window with its scanner held back: the first timer tick only logs that the scan would
// start, so tests of the window alone see no scan lines and no button changes from it.
struct NoScanDlg : CMarlinqDlg {
    using CMarlinqDlg::CMarlinqDlg;
    void StartScanThreads() override {
        if (!scanStarted.exchange(true)) {  // started once, like the real scanner
            AddLog("[test] StartScanThreads");
        }
    }
    void WakeScanner() override { AddLog("[test] WakeScanner"); }
    std::atomic<bool> scanStarted{false};
};

// Starts Dlg (CMarlinqDlg or a test subclass) modally on a window thread and waits until it is
// shown. Pauses run at `scale`, so the 1 s start timer takes 10 ms by default. The window is shown
// before the first tick of its start timer; for a window that holds its scanner back, the harness
// also waits for that tick unless told not to, so the tests start from a settled log.
template <class Dlg = NoScanDlg>
class DialogHarness {
  public:
    explicit DialogHarness(double scale = 0.01, bool waitForStartTick = true)
        : m_scale(scale), m_thread(&Templates()) {
        m_thread.AddObserver(&events);
        m_window = std::thread([this] {
            Dlg dlg(m_thread);
            {
                std::lock_guard lock(m_mutex);
                m_dlg = &dlg;
            }
            dlg.DoModal();
            m_thread.Close();
            std::unique_lock lock(m_mutex);
            m_ended = true;
            m_endedCv.notify_all();
            // The object stays readable until the harness goes away.
            m_endedCv.wait(lock, [this] { return m_release; });
        });
        events.WaitFor([this] {
            for (const auto& [hwnd, visible] : events.shown) {
                if (visible && !events.created.empty() && hwnd == events.created.front().hwnd) {
                    return true;
                }
            }
            return false;
        });
        {
            std::lock_guard lock(events.mutex);
            m_hwnd = events.created.empty() ? 0 : events.created.front().hwnd;
        }
        if constexpr (std::is_base_of_v<NoScanDlg, Dlg>) {
            const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (waitForStartTick && !Dialog().scanStarted.load() &&
                   std::chrono::steady_clock::now() < end) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
    }

    ~DialogHarness() {
        Close();
        {
            std::lock_guard lock(m_mutex);
            m_release = true;
        }
        m_endedCv.notify_all();
        if (m_window.joinable()) {
            m_window.join();
        }
    }

    fw::CDialogDriver Driver() { return fw::CDialogDriver(m_thread, m_hwnd); }
    // Drives mode page `index` of the tab sheet.
    fw::CDialogDriver PageDriver(int index) {
        return fw::CDialogDriver(m_thread, On([index](Dlg& d) {
                                     fw::CDialog* page = d.TabSheet().GetPage(index);
                                     return page != nullptr ? page->GetSafeHwnd() : 0;
                                 }));
    }
    fw::CWindowThread& Thread() { return m_thread; }
    fw::HWND Hwnd() const { return m_hwnd; }

    // Runs fn with the dialog on the window thread; a default result once the dialog is gone.
    template <class F>
    auto On(F fn) {
        return Driver().Call([fn = std::move(fn)](fw::CDialog* d) mutable {
            using R = decltype(fn(std::declval<Dlg&>()));
            if (d == nullptr) {
                ADD_FAILURE() << "the dialog is gone";
                return R{};
            }
            return fn(*static_cast<Dlg*>(d));
        });
    }

    // The dialog object itself, for calls that any thread may make (AddLog and the like).
    Dlg& Dialog() {
        std::lock_guard lock(m_mutex);
        return *m_dlg;
    }

    std::string Log() {
        return On([](Dlg& d) { return d.LogText(); });
    }

    // Asks the window to close and waits up to 10 s for the modal run to end.
    bool Close() {
        fw::MSG msg;
        msg.hwnd = m_hwnd;
        msg.message = fw::WM_CLOSE;
        m_thread.Post(std::move(msg));
        return WaitEnded();
    }

    bool WaitEnded() {
        std::unique_lock lock(m_mutex);
        return m_endedCv.wait_for(lock, std::chrono::seconds(10), [this] { return m_ended; });
    }

    bool Ended() {
        std::lock_guard lock(m_mutex);
        return m_ended;
    }

    EventRecorder events;

  private:
    platform::ScopedClockScale m_scale;
    fw::CWindowThread m_thread;
    std::thread m_window;
    std::mutex m_mutex;
    std::condition_variable m_endedCv;
    Dlg* m_dlg = nullptr;
    bool m_ended = false;
    bool m_release = false;
    fw::HWND m_hwnd = 0;
};

// Splits a log text into its lines (without CR LF); a final CR LF ends the last line.
inline std::vector<std::string> LogLines(const std::string& log) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        const size_t end = log.find("\r\n", start);
        if (end == std::string::npos) {
            if (start < log.size()) {
                lines.push_back(log.substr(start));
            }
            return lines;
        }
        lines.push_back(log.substr(start, end - start));
        start = end + 2;
    }
}

inline int CountLines(const std::string& log, const std::string& line) {
    int n = 0;
    for (const auto& l : LogLines(log)) {
        n += l == line ? 1 : 0;
    }
    return n;
}

// Opens COM `com` by hand as the operator would: the port list is refreshed, the port's entry
// chosen and the port button pressed. The panel is hidden in the template, so the choice and the
// press are made on the window thread rather than as user input. True when the port is open.
template <class Dlg>
bool OpenManualPort(DialogHarness<Dlg>& h, int com) {
    return h.On([com](Dlg& d) {
        d.Ports().HandleDeviceChange(platform::kDeviceRemoveComplete, platform::kDevTypePort, nullptr);
        auto* combo = d.template GetItem<fw::CComboBox>(IDC_COMBO_PORT);
        const std::string key = "(COM" + std::to_string(com) + ")";
        for (int i = 0; combo != nullptr && i < combo->GetCount(); ++i) {
            if (combo->GetLBText(i).find(key) != std::string::npos) {
                combo->SetCurSel(i);
                d.Ports().OnBtnOpenPort();
                return d.Session().AutoPort() == 0 && d.Session().ManualPortIsOpen();
            }
        }
        return false;
    });
}

// Presses the port button again to close the hand-opened port.
template <class Dlg>
void CloseManualPortByHand(DialogHarness<Dlg>& h) {
    h.On([](Dlg& d) {
        if (d.Session().AutoPort() == 0) {
            d.Ports().OnBtnOpenPort();
        }
        return 0;
    });
}

// Polls cond until it holds, within the generous bound of all tests.
inline bool Eventually(const std::function<bool()>& cond) {
    return testsupport::PollUntil(cond);
}

}  // namespace marlinq::test
