// The scanner against the simulator registered as a virtual device, with the device-change
// monitor wired to it as the main window wires it.
#include "discovery/device_scanner.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "discovery/device_presence.h"
#include "platform/clock.h"
#include "platform/device_change.h"
#include "platform/virtual_devices.h"
#include "simulator/dtu_simulator.h"
#include "tests/discovery/fake_window.h"

namespace {

using discovery::DeviceEvent;
using discovery::DeviceScanner;

const std::string kNotReady = "Equipment is not ready!";
const std::string kScanning = "Scanning equipments...";

class ScannerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_monitor.Start([this](const platform::DeviceChange&) {
            if (DeviceScanner* scanner = m_notified.load()) {
                scanner->NotifyDeviceChange();
            }
        }));
    }
    void TearDown() override {
        m_monitor.Stop();   // no notice reaches the scanner from here on
        m_scanner.reset();  // stops and joins before the window goes
        m_sim.Stop();
    }

    void MakeScanner(discovery::ScannerCallbacks extra = {}) {
        discovery::ScannerCallbacks cb = std::move(extra);
        cb.addLog = [this](const std::string& line) { m_window.AddLog(line); };
        cb.onEvent = [this](DeviceEvent event) { m_window.Event(event); };
        if (!cb.readVersions) {
            cb.readVersions = [this] {
                m_versionThread = std::this_thread::get_id();
                ++m_versionReads;
            };
        }
        cb.isModulePresent = [this] {
            ++m_passes;
            return discovery::IsModulePresent();
        };
        m_scanner = std::make_unique<DeviceScanner>(
            std::move(cb), discovery::ScannerFlags{m_pendingPush, m_stop, m_notReadyLogged});
        m_notified.store(m_scanner.get());
    }

    void Plug() {
        std::string error;
        ASSERT_TRUE(m_sim.Start(sim::SimulatorOptions{}, &error)) << error;
    }
    std::string ReadyLine() const {
        return "Equipment ready [AT:COM" + std::to_string(m_sim.Com()) + "] for operation!";
    }
    // The scanner's part of the Scan Port button, once the scanner waits (the only time a wake
    // counts); the window logs "Scanning equipments..." before it wakes the scanner.
    void PressScanPortWhenWaiting() {
        ASSERT_TRUE(m_window.WaitFor([&] { return m_scanner->IsWaitingForWake(); }));
        m_window.AddLog(kScanning);
        m_scanner->Wake();
    }
    // Waits until the scanner has made five more passes (it passes again and again while the
    // module is absent).
    void LetPassesRun() {
        const int before = m_passes.load();
        ASSERT_TRUE(m_window.WaitFor([&] { return m_passes.load() >= before + 5; }));
    }

    platform::ScopedClockScale m_scale{0.1};
    testsupport::FakeWindow m_window;
    sim::DtuSimulator m_sim;
    platform::DeviceChangeMonitor m_monitor;
    std::atomic<atlink::BOOL> m_pendingPush{atlink::FALSE}, m_stop{atlink::FALSE},
        m_notReadyLogged{atlink::FALSE};
    std::unique_ptr<DeviceScanner> m_scanner;
    std::atomic<DeviceScanner*> m_notified{nullptr};  // the scanner the monitor notifies
    std::thread::id m_versionThread;
    std::atomic<int> m_versionReads{0};
    std::atomic<int> m_passes{0};
};

TEST_F(ScannerTest, UnpluggedThenPluggedAnnouncesTheAtPortAndEnablesEverything) {
    MakeScanner();
    m_window.AddLog(kScanning);  // as the window's initialisation does
    m_scanner->StartScanThreads();
    ASSERT_TRUE(m_window.WaitForLine(kNotReady));
    LetPassesRun();
    EXPECT_EQ(m_window.CountLines(kNotReady), 1u);
    EXPECT_EQ(m_window.Events(), std::vector{DeviceEvent::NotReady});

    Plug();
    ASSERT_TRUE(m_window.WaitFor([&] { return m_window.Events().size() == 2; }));
    EXPECT_EQ(m_window.Events(), (std::vector{DeviceEvent::NotReady, DeviceEvent::Ready}));
    EXPECT_EQ(m_versionReads.load(), 1);
    EXPECT_NE(m_versionThread, std::this_thread::get_id());
    EXPECT_NE(m_versionThread, m_window.ThreadId());
    EXPECT_EQ(m_window.Log(), (std::vector<std::string>{kScanning, kNotReady, ReadyLine()}));
    // Ready is reported after the ready line and the version read.
    EXPECT_EQ(m_window.LogSizeAtEvent(1), 3u);
}

TEST_F(ScannerTest, UnplugWhileWaitingChangesNothingUntilScanPort) {
    Plug();
    MakeScanner();
    m_scanner->StartScanThreads();
    ASSERT_TRUE(m_window.WaitForLine(ReadyLine()));
    const std::string ready = ReadyLine();
    ASSERT_TRUE(m_window.WaitFor([&] { return m_scanner->IsWaitingForWake(); }));
    const int passes = m_passes.load();
    m_sim.Stop();
    // A waiting scanner makes no pass of its own: only a wake ends the wait.
    m_window.Drain();
    EXPECT_TRUE(m_scanner->IsWaitingForWake());
    EXPECT_EQ(m_passes.load(), passes);
    EXPECT_EQ(m_window.Log(), std::vector<std::string>{ready});
    EXPECT_EQ(m_window.Events(), std::vector{DeviceEvent::Ready});

    PressScanPortWhenWaiting();
    ASSERT_TRUE(m_window.WaitForLine(kNotReady));
    ASSERT_TRUE(m_window.WaitFor([&] { return m_window.Events().size() == 2; }));
    EXPECT_EQ(m_window.Log(), (std::vector<std::string>{ready, kScanning, kNotReady}));
    EXPECT_EQ(m_window.Events(), (std::vector{DeviceEvent::Ready, DeviceEvent::NotReady}));
}

TEST_F(ScannerTest, ScanPortWhilePluggedDisablesThenAnnouncesAgain) {
    Plug();
    MakeScanner();
    m_scanner->StartScanThreads();
    ASSERT_TRUE(m_window.WaitForLine(ReadyLine()));

    PressScanPortWhenWaiting();
    ASSERT_TRUE(m_window.WaitForLine(ReadyLine(), 2));
    ASSERT_TRUE(m_window.WaitFor([&] { return m_window.Events().size() == 2; }));
    EXPECT_EQ(m_window.Log(), (std::vector<std::string>{ReadyLine(), kScanning, ReadyLine()}));
    EXPECT_EQ(m_window.Events(), (std::vector{DeviceEvent::Ready, DeviceEvent::Ready}));
    EXPECT_EQ(m_versionReads.load(), 2);
}

TEST_F(ScannerTest, PendingPushPostsTheCommandAndLogsNoReadyLine) {
    Plug();
    MakeScanner();
    m_scanner->StartScanThreads();
    ASSERT_TRUE(m_window.WaitForLine(ReadyLine()));

    m_pendingPush.store(atlink::TRUE);  // as a push flow does before it restarts the scan
    PressScanPortWhenWaiting();
    ASSERT_TRUE(m_window.WaitFor([&] { return m_window.Events().size() == 2; }));
    ASSERT_TRUE(m_window.WaitFor([&] { return m_scanner->IsWaitingForWake(); }));
    EXPECT_EQ(m_window.Events(), (std::vector{DeviceEvent::Ready, DeviceEvent::PushPending}));
    EXPECT_EQ(m_pendingPush.load(), atlink::FALSE);
    EXPECT_EQ(m_window.Log(), (std::vector<std::string>{ReadyLine(), kScanning}));
    EXPECT_EQ(m_versionReads.load(), 1);
}

TEST_F(ScannerTest, ModuleWithOnlyAnAdbInterfaceIsNotReady) {
    platform::VirtualDevice adb;
    adb.adb = true;
    adb.friendly = "DTU ADB Interface";
    adb.hwids = {"USB\\VID_1E0E&PID_9001&MI_06"};
    const std::string file = platform::WriteVirtualDevice("adb-only", adb, false);
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(Zendrel_IsAndoidPhoneDeviceExist("USB\\VID_1E0E&PID_9001&MI_06"), 1);

    MakeScanner();
    m_scanner->StartScanThreads();
    ASSERT_TRUE(m_window.WaitForLine(kNotReady));
    LetPassesRun();
    m_window.Drain();
    EXPECT_EQ(m_window.Log(), std::vector<std::string>{kNotReady});
    EXPECT_EQ(m_window.Events(), std::vector{DeviceEvent::NotReady});
    EXPECT_EQ(m_versionReads.load(), 0);
    platform::RemoveVirtualDevice(file);
}

// The wake rule, the pause between absent passes and the shutdown, with a scripted presence.
class ScannerTimingTest : public ::testing::Test {
  protected:
    std::unique_ptr<DeviceScanner> Make(std::function<bool()> present,
                                        std::function<bool()> closePopup = {}) {
        discovery::ScannerCallbacks cb;
        cb.closePopup = std::move(closePopup);
        cb.addLog = [this](const std::string& line) { m_window.AddLog(line); };
        cb.isModulePresent = [this, present] {
            ++m_passes;
            return present();
        };
        cb.findAtPort = [] { return 7; };
        return std::make_unique<DeviceScanner>(
            std::move(cb), discovery::ScannerFlags{m_pendingPush, m_stop, m_notReadyLogged});
    }

    testsupport::FakeWindow m_window;
    std::atomic<atlink::BOOL> m_pendingPush{atlink::FALSE}, m_stop{atlink::FALSE},
        m_notReadyLogged{atlink::FALSE};
    std::atomic<int> m_passes{0};
};

TEST_F(ScannerTimingTest, AWakeDuringAPassIsLostAndALaterOneCounts) {
    std::atomic<bool> gate{false};
    auto scanner = Make([&] {
        while (!gate.load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    });
    scanner->StartScanThreads();
    ASSERT_TRUE(m_window.WaitFor([&] { return m_passes.load() == 1; }));
    scanner->Wake();  // the scanner is in a pass, not waiting
    gate.store(true);
    ASSERT_TRUE(m_window.WaitForLine("Equipment ready [AT:COM7] for operation!"));
    ASSERT_TRUE(m_window.WaitFor([&] { return scanner->IsWaitingForWake(); }));
    EXPECT_EQ(m_passes.load(), 1) << "the lost wake brought no second pass";

    scanner->Wake();
    ASSERT_TRUE(m_window.WaitForLine("Equipment ready [AT:COM7] for operation!", 2));
    ASSERT_TRUE(m_window.WaitFor([&] { return scanner->IsWaitingForWake(); }));
    EXPECT_EQ(m_passes.load(), 2);
    scanner->StartScanThreads();  // a second start does nothing: still one scanner
    scanner->Wake();
    ASSERT_TRUE(m_window.WaitForLine("Equipment ready [AT:COM7] for operation!", 3));
    ASSERT_TRUE(m_window.WaitFor([&] { return scanner->IsWaitingForWake(); }));
    EXPECT_EQ(m_passes.load(), 3);
}

TEST_F(ScannerTimingTest, AbsentPassesPauseUntilANoticeOrTheLimit) {
    // The limit ends each pause: at a thousandth the passes follow one another on their own.
    platform::ScopedClockScale fast(0.001);
    auto scanner = Make([] { return false; });
    scanner->StartScanThreads();
    ASSERT_TRUE(m_window.WaitFor([&] { return m_passes.load() >= 5; }));

    // With a limit of 100 s a notice brings the next pass, and the scanner then pauses again:
    // passes back to back would have run thousands of times by the time they are counted.
    platform::ScopedClockScale slow(1000.0);
    const int settled = m_passes.load();  // a pause that began at the fast scale ends soon
    scanner->NotifyDeviceChange();
    ASSERT_TRUE(m_window.WaitFor([&] { return m_passes.load() > settled; }));
    for (int round = 0; round < 3; ++round) {
        const int before = m_passes.load();
        scanner->NotifyDeviceChange();
        ASSERT_TRUE(m_window.WaitFor([&] { return m_passes.load() > before; }));
        EXPECT_LE(m_passes.load(), before + 2) << round;
    }
    EXPECT_EQ(m_window.CountLines("Equipment is not ready!"), 1u);
}

TEST_F(ScannerTimingTest, StopEndsTheThreadFromEveryState) {
    platform::ScopedClockScale slow(1000.0);
    auto absent = Make([] { return false; });
    absent->StartScanThreads();
    ASSERT_TRUE(m_window.WaitForLine("Equipment is not ready!"));
    absent->Stop();  // in the long pause
    EXPECT_EQ(m_stop.load(), atlink::TRUE);
    const int passes = m_passes.load();
    absent->Stop();
    EXPECT_EQ(m_passes.load(), passes);

    m_stop.store(atlink::FALSE);
    auto present = Make([] { return true; });
    present->StartScanThreads();
    ASSERT_TRUE(m_window.WaitForLine("Equipment ready [AT:COM7] for operation!"));
    present->Stop();  // waiting for a wake

    // Stopped from its own callback, as a flow on the scanner thread might: no self-join.
    m_stop.store(atlink::FALSE);
    DeviceScanner* self = nullptr;
    auto inner = Make([&self] {
        self->Stop();
        return true;
    });
    self = inner.get();
    inner->StartScanThreads();
    ASSERT_TRUE(m_window.WaitForLine("Equipment ready [AT:COM7] for operation!", 2));
    inner.reset();

    m_stop.store(atlink::FALSE);
    auto never = Make([] { return true; });
    never->Stop();  // never started
    EXPECT_FALSE(never->Started());
}

TEST_F(ScannerTimingTest, ThePopupCloserRunsBesideTheScannerWhereThereArePopupsAndStopsWithIt) {
    // This platform shows no such pop-ups: no closer thread at all.
    auto plain = Make([] { return false; });
    plain->StartScanThreads();
    EXPECT_FALSE(plain->Closer().Started());
    plain->Stop();

    // With a closer, rounds follow one another on a thread of their own, a pause apart.
    m_stop.store(atlink::FALSE);
    platform::ScopedClockScale fast(0.001);
    std::atomic<int> rounds{0};
    std::atomic<bool> onScannerThread{false};
    std::atomic<std::thread::id> scannerThread;
    auto scanner = Make(
        [&] {
            scannerThread.store(std::this_thread::get_id());
            return true;
        },
        [&] {
            onScannerThread.store(onScannerThread.load() ||
                                  std::this_thread::get_id() == scannerThread.load());
            return ++rounds % 2 == 0;  // every other round finds a pop-up
        });
    scanner->StartScanThreads();
    ASSERT_TRUE(m_window.WaitForLine("Equipment ready [AT:COM7] for operation!"));
    ASSERT_TRUE(m_window.WaitFor([&] { return rounds.load() >= 6; }));
    EXPECT_TRUE(scanner->Closer().Started());
    EXPECT_FALSE(onScannerThread.load());
    scanner->StartScanThreads();  // a second start starts no second closer

    // A round that began after this makes a pause of 100 s; the stop ends it, and Stop returns with
    // both threads joined.
    platform::ScopedClockScale slow(1000.0);
    const int settled = rounds.load();
    ASSERT_TRUE(m_window.WaitFor([&] { return rounds.load() > settled; }));
    scanner->Stop();
    EXPECT_EQ(scanner->Closer().Rounds(), rounds.load());
    EXPECT_EQ(scanner->Closer().Closed(), rounds.load() / 2);
}

}  // namespace
