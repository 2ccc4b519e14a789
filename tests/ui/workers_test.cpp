// The Reset DTU worker, the ADB time-out and shutting down with workers running.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

#include "dialog_harness.h"
#include "ui/resource.h"

namespace marlinq::test {
namespace {

// Records the steps of the reset worker in order; the reset succeeds or fails as told.
struct ResetDlg : NoScanDlg {
    using NoScanDlg::NoScanDlg;
    fw::BOOL AtResetModule() override {
        Step("reset");
        return resetSucceeds.load() ? fw::TRUE : fw::FALSE;
    }
    void CloseManualPort() override { Step("close"); }
    void WakeScanner() override { Step("wake"); }
    void Step(const std::string& s) {
        std::lock_guard lock(mutex);
        steps.push_back(s);
    }
    std::vector<std::string> Steps() {
        std::lock_guard lock(mutex);
        return steps;
    }
    std::atomic<bool> resetSucceeds{true};
    std::mutex mutex;
    std::vector<std::string> steps;
};

TEST(ResetDtu, WorkerResetsWaitsReturnsToTheAutoPortAndRestartsTheScan) {
    for (bool succeeds : {true, false}) {
        DialogHarness<ResetDlg> h(0.0005);  // the 20 s wait takes 10 ms
        auto& dlg = h.Dialog();
        dlg.resetSucceeds = succeeds;
        h.Dialog().OnDeviceEvent(CMarlinqDlg::DeviceEvent::Ready);
        h.Driver().Click(IDC_BTN_RESET_DTU);
        ASSERT_TRUE(Eventually([&] { return dlg.Steps().size() == 3; })) << succeeds;
        EXPECT_EQ(dlg.Steps(), (std::vector<std::string>{"reset", "close", "wake"}));
        ASSERT_TRUE(Eventually([&] { return !h.Driver().Enabled(IDC_BTN_GET); }));
        const auto lines = LogLines(h.Log());
        const auto resetting = std::find(lines.begin(), lines.end(), "Resetting...");
        ASSERT_NE(resetting, lines.end());
        EXPECT_NE(std::find(resetting, lines.end(), "Scanning equipments..."), lines.end());
        EXPECT_TRUE(h.Driver().Enabled(IDC_BTN_SCAN_PORT) == false);
    }
}

TEST(ResetDtu, TwoQuickPressesStartTwoWorkers) {
    DialogHarness<ResetDlg> h(0.0005);
    auto& dlg = h.Dialog();
    h.Dialog().OnDeviceEvent(CMarlinqDlg::DeviceEvent::Ready);
    h.Driver().Click(IDC_BTN_RESET_DTU);
    h.Driver().Click(IDC_BTN_RESET_DTU);
    ASSERT_TRUE(Eventually([&] { return dlg.Steps().size() == 6; }));
    const auto steps = dlg.Steps();
    EXPECT_EQ(std::count(steps.begin(), steps.end(), "reset"), 2);
    EXPECT_EQ(std::count(steps.begin(), steps.end(), "close"), 2);
    EXPECT_EQ(std::count(steps.begin(), steps.end(), "wake"), 2);
    EXPECT_EQ(CountLines(h.Log(), "Resetting..."), 2);
}

TEST(ResetDtu, ClosingDuringTheWaitEndsTheWorkerAtOnce) {
    DialogHarness<ResetDlg> h(0.01);
    auto& dlg = h.Dialog();
    h.Dialog().OnDeviceEvent(CMarlinqDlg::DeviceEvent::Ready);
    platform::ScopedClockScale endless(1000.0);  // the 20 s wait now lasts for hours
    h.Driver().Click(IDC_BTN_RESET_DTU);
    ASSERT_TRUE(Eventually([&] { return dlg.Steps().size() == 1; }));
    ASSERT_TRUE(h.Close()) << "the close ends the wait instead of waiting it out";
    EXPECT_EQ(dlg.Steps(), std::vector<std::string>{"reset"}) << "and the worker does nothing more";
}

// Counts the ticks of a test timer that runs beside the window's own timers.
struct TimerDlg : NoScanDlg {
    using NoScanDlg::NoScanDlg;
    static constexpr fw::UINT kProbe = 99;
    void OnTimer(fw::UINT id) override {
        if (id == kProbe) {
            ++probeTicks;
        }
        NoScanDlg::OnTimer(id);
    }
    std::atomic<int> probeTicks{0};
};

TEST(AdbTimeout, WithoutAPushWorkerLogsAndRestartsTheScanOnce) {
    DialogHarness<TimerDlg> h(0.0001);  // the 30 s time-out takes 3 ms
    h.Dialog().OnDeviceEvent(CMarlinqDlg::DeviceEvent::Ready);
    h.On([](CMarlinqDlg& d) {
        d.SetTimer(TIMER_ADB_TIMEOUT, TIMER_ADB_TIMEOUT_MS);
        return 0;
    });
    const std::string line = "ADB cmd timeout, please check ADB device and retry later!";
    ASSERT_TRUE(Eventually([&] { return CountLines(h.Log(), line) == 1; }));
    // A probe timer five times slower ticks twice: a time-out timer still running would have
    // fired about ten times meanwhile.
    h.On([](TimerDlg& d) {
        d.SetTimer(TimerDlg::kProbe, TIMER_ADB_TIMEOUT_MS * 5);
        return 0;
    });
    ASSERT_TRUE(Eventually([&] { return h.Dialog().probeTicks.load() >= 2; }));
    EXPECT_EQ(CountLines(h.Log(), line), 1) << "the time-out kills its timer";
    EXPECT_FALSE(h.Driver().Enabled(IDC_BTN_GET));
    const auto lines = LogLines(h.Log());
    EXPECT_EQ(lines.back(), "[test] WakeScanner");
    EXPECT_EQ(lines[lines.size() - 2], "Scanning equipments...");
    EXPECT_EQ(lines[lines.size() - 3], line);
}

TEST(AdbTimeout, EndsAHangingPushWorkerThatThenSaysNothingMore) {
    DialogHarness<> h(0.0001);
    std::atomic<bool> childKilled{false};
    std::atomic<bool> workerWaiting{false};
    std::atomic<bool> stateChanged{false};
    std::atomic<bool> workerEnded{false};
    h.On([&](CMarlinqDlg& d) {
        auto handle = std::make_shared<HTHREAD>();
        *handle = d.StartPushWorker([&, handle](fw::CWorkerThread& self) {
            self.SetAbortHook([&childKilled] { childKilled = true; });
            workerWaiting = true;
            self.Wait(4000000000u);  // an adb command that never ends
            d.AddLogFromWorker(self, "push worker went on");
            d.PostFromWorker(*handle, [&stateChanged] { stateChanged = true; });
            workerEnded = true;
        });
        return 0;
    });
    ASSERT_TRUE(Eventually([&] { return workerWaiting.load(); }));
    h.On([](CMarlinqDlg& d) {
        d.SetTimer(TIMER_ADB_TIMEOUT, TIMER_ADB_TIMEOUT_MS);
        return 0;
    });
    const std::string line = "ADB cmd timeout, please check ADB device and retry later!";
    ASSERT_TRUE(Eventually([&] { return CountLines(h.Log(), line) == 1; }));
    EXPECT_TRUE(childKilled);
    EXPECT_EQ(h.Dialog().PushWorkerStarted(), 0);
    EXPECT_FALSE(h.On([](CMarlinqDlg& d) { return static_cast<bool>(d.PushThread()); }));
    ASSERT_TRUE(Eventually([&] { return workerEnded.load(); }));
    h.Driver().Sync();
    EXPECT_EQ(CountLines(h.Log(), "push worker went on"), 0);
    EXPECT_FALSE(stateChanged) << "an aborted worker changes no state";
}

TEST(Shutdown, ClosingWithBusyWorkersJoinsThemBeforeTheWindowGoes) {
    DialogHarness<ResetDlg> h(0.01);
    auto& dlg = h.Dialog();
    platform::ScopedClockScale endless(1000.0);  // the reset worker's wait lasts for hours
    std::atomic<int> running{0};
    h.On([&](ResetDlg& d) {
        for (int i = 0; i < 3; ++i) {
            d.StartWorker([&d, &running](fw::CWorkerThread& self) {
                ++running;
                // A worker that keeps logging and switching buttons until it is told to stop.
                for (int n = 0; !self.StopRequested(); ++n) {
                    d.AddLog("busy " + std::to_string(n));
                    d.OnDeviceEvent(n % 2 ? CMarlinqDlg::DeviceEvent::Ready
                                          : CMarlinqDlg::DeviceEvent::NotReady);
                    d.PostTextMessage(WM_ADDLOG, "posted");
                    std::this_thread::sleep_for(std::chrono::microseconds(200));
                }
                --running;
            });
        }
        d.OnBtnResetDtu();  // and one in the 20 s wait
        return 0;
    });
    ASSERT_TRUE(Eventually([&] { return running.load() == 3 && dlg.Steps().size() == 1; }));
    // Close while their lines and button changes are arriving.
    ASSERT_TRUE(Eventually([&] { return CountLines(h.Log(), "busy 20") == 3; }));
    ASSERT_TRUE(h.Close());
    EXPECT_EQ(running.load(), 0) << "every worker ended before the window went away";
    EXPECT_EQ(dlg.Steps(), std::vector<std::string>{"reset"}) << "the reset worker stopped in its wait";
}

}  // namespace
}  // namespace marlinq::test
