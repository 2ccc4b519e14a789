// The Reset DTU worker, the ADB time-out and shutting down with workers running.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

#include "dialog_harness.h"
#include "simulator/dtu_simulator.h"
#include "ui/reset_dtu.h"
#include "ui/resource.h"

namespace marlinq::test {
namespace {

// The Reset DTU worker with its steps recorded in order; the reset succeeds or fails as told.
class ResetSteps {
  public:
    explicit ResetSteps(bool resetSucceeds)
        : reset(ResetDtuDeps{workers, [this](const std::string& s) { Step("log " + s); },
                             [this, resetSucceeds] {
                                 Step("reset");
                                 return resetSucceeds;
                             },
                             [this] { Step("close"); }, [this] { Step("scan"); }}) {}
    ~ResetSteps() { workers.StopAll(); }

    void Step(const std::string& s) {
        std::lock_guard lock(mutex);
        steps.push_back(s);
    }
    std::vector<std::string> Steps() {
        std::lock_guard lock(mutex);
        return steps;
    }

    std::mutex mutex;
    std::vector<std::string> steps;
    fw::CWorkerRegistry workers{[](std::function<void()> fn) { fn(); }, [](const std::string&) {}};
    CResetDtu reset;
};

TEST(ResetDtu, WorkerResetsWaitsReturnsToTheAutoPortAndRestartsTheScan) {
    for (bool succeeds : {true, false}) {
        platform::ScopedClockScale scale(0.0005);  // the 20 s wait takes 10 ms
        ResetSteps r(succeeds);
        r.reset.OnBtnResetDtu();
        ASSERT_TRUE(Eventually([&] { return r.Steps().size() == 4; })) << succeeds;
        EXPECT_EQ(r.Steps(), (std::vector<std::string>{"log Resetting...", "reset", "close", "scan"}));
    }
}

TEST(ResetDtu, TwoQuickPressesStartTwoWorkers) {
    platform::ScopedClockScale scale(0.0005);
    ResetSteps r(true);
    r.reset.OnBtnResetDtu();
    r.reset.OnBtnResetDtu();
    ASSERT_TRUE(Eventually([&] { return r.Steps().size() == 8; }));
    const auto steps = r.Steps();
    EXPECT_EQ(std::count(steps.begin(), steps.end(), "log Resetting..."), 2);
    EXPECT_EQ(std::count(steps.begin(), steps.end(), "reset"), 2);
    EXPECT_EQ(std::count(steps.begin(), steps.end(), "close"), 2);
    EXPECT_EQ(std::count(steps.begin(), steps.end(), "scan"), 2);
}

TEST(ResetDtu, StoppingTheWorkersDuringTheWaitEndsTheWorkerAtOnce) {
    platform::ScopedClockScale endless(1000.0);  // the 20 s wait now lasts for hours
    ResetSteps r(true);
    r.reset.OnBtnResetDtu();
    ASSERT_TRUE(Eventually([&] { return r.Steps().size() == 2; }));
    r.workers.StopAll();  // what closing the window does; returns once the worker has ended
    EXPECT_EQ(r.Steps(), (std::vector<std::string>{"log Resetting...", "reset"}))
        << "and the worker does nothing more";
}

TEST(ResetDtu, TheButtonResetsTheModuleAndRestartsTheScan) {
    sim::DtuSimulator module;
    std::string error;
    ASSERT_TRUE(module.Start(sim::SimulatorOptions{}, &error)) << error;
    DialogHarness<> h(0.0005);
    h.Dialog().OnDeviceEvent(CMarlinqDlg::DeviceEvent::Ready);
    h.Driver().Click(IDC_BTN_RESET_DTU);
    ASSERT_TRUE(Eventually([&] { return CountLines(h.Log(), "[test] WakeScanner") == 1; }));
    const auto lines = LogLines(h.Log());
    const auto resetting = std::find(lines.begin(), lines.end(), "Resetting...");
    ASSERT_NE(resetting, lines.end());
    EXPECT_NE(std::find(resetting, lines.end(), "Scanning equipments..."), lines.end());
    ASSERT_FALSE(module.Requests().empty());
    EXPECT_EQ(module.Requests().front().bytes, "AT+CRESET\r\n");
    EXPECT_FALSE(h.Driver().Enabled(IDC_BTN_GET));
    EXPECT_FALSE(h.Driver().Enabled(IDC_BTN_SCAN_PORT));
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
        *handle = d.Adb().StartPushWorker([&, handle](fw::CWorkerThread& self) {
            self.SetAbortHook([&childKilled] { childKilled = true; });
            workerWaiting = true;
            self.Wait(4000000000u);  // an adb command that never ends
            d.Workers().AddLogFromWorker(self, "push worker went on");
            d.Workers().PostFromWorker(*handle, [&stateChanged] { stateChanged = true; });
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
    EXPECT_EQ(h.Dialog().Adb().PushWorkerStarted(), 0);
    EXPECT_FALSE(h.On([](CMarlinqDlg& d) { return static_cast<bool>(d.Adb().PushThread()); }));
    ASSERT_TRUE(Eventually([&] { return workerEnded.load(); }));
    h.Driver().Sync();
    EXPECT_EQ(CountLines(h.Log(), "push worker went on"), 0);
    EXPECT_FALSE(stateChanged) << "an aborted worker changes no state";
}

TEST(Shutdown, ClosingWithBusyWorkersJoinsThemBeforeTheWindowGoes) {
    DialogHarness<> h(0.01);
    std::atomic<int> running{0};
    std::atomic<bool> waiting{false};
    std::atomic<bool> waitEndedEarly{false};
    h.On([&](CMarlinqDlg& d) {
        for (int i = 0; i < 3; ++i) {
            d.Workers().StartWorker([&d, &running](fw::CWorkerThread& self) {
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
        // And one in a pause as long as the reset worker's, made endless.
        d.Workers().StartWorker([&](fw::CWorkerThread& self) {
            waiting = true;
            waitEndedEarly = !self.Wait(4000000000u);
        });
        return 0;
    });
    // Close while their lines and button changes are arriving.
    ASSERT_TRUE(
        Eventually([&] { return waiting && running.load() == 3 && CountLines(h.Log(), "busy 20") == 3; }));
    ASSERT_TRUE(h.Close());
    EXPECT_EQ(running.load(), 0) << "every worker ended before the window went away";
    EXPECT_TRUE(waitEndedEarly) << "the pausing worker was woken and joined";
}

}  // namespace
}  // namespace marlinq::test
