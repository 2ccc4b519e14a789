// AdbPushXml and the transfer workers against fake adb programs, on the scaled clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <memory>
#include <vector>

#include "fake_host.h"
#include "tests/support/fake_adb.h"

namespace adb {
namespace {

using namespace testsupport;

// The worker's pauses at a hundredth of their length; the stand-in window's time-out is
// FakeAdbTimeoutMs.
constexpr double kScale = 0.01;

// A stand-in window for the fake adb in appDir, with the time-out above.
std::unique_ptr<FakeAdbHost> MakeHost(const std::string& appDir) {
    auto host = std::make_unique<FakeAdbHost>(appDir);
    host->timeoutMs = FakeAdbTimeoutMs();
    return host;
}

class AdbPush : public ::testing::Test {
  protected:
    AdbPush() : dir("push"), host(dir.AppDir()) {
        host.timeoutMs = FakeAdbTimeoutMs();
        host.transfer.SetXmlPath("/tmp/cfg dir/Default.xml");
    }

    // Runs the push worker as OnAdbPushXml does and waits until it has ended.
    void RunPushWorker() {
        host.transfer.OnAdbPushXml();
        ASSERT_TRUE(host.WorkersFinished());
    }
    bool Has(const std::string& line) const {
        const auto lines = host.Lines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    std::size_t Index(const std::vector<std::string>& events, const std::string& e) const {
        return static_cast<std::size_t>(std::find(events.begin(), events.end(), e) - events.begin());
    }

    platform::ScopedClockScale scale{kScale};
    FakeAdbDir dir;
    FakeAdbHost host;
};

TEST_F(AdbPush, ADeviceListedIsPushedRebootedAndTheScanRestarted) {
    dir.Write("devices.out", kListOneDevice);
    dir.Write("push.out", kPushMb);
    RunPushWorker();
    const std::vector<std::string> expected = {
        "log:Push XML file to cache ...",
        "log:Enumerating ADB equipments...",
        "arm",
        "disarm",
        std::string("log:") + kListOneDevice,
        "arm",
        "log:ADB PUSH XML...",
        "disarm",
        std::string("log:") + kPushMb,
        "log:ADB PUSH XML successfully!",
        "log:ADB reboot...",
        "scan",
    };
    EXPECT_EQ(host.Events(), expected);
    EXPECT_EQ(dir.Calls(), (std::vector<std::string>{
                               "1 [devices]", "3 [push] [/tmp/cfg dir/Default.xml] [/cache]", "1 [reboot]"}));
    EXPECT_EQ(host.transfer.LastPushOutcome(), PushOutcome::Pushed);
    EXPECT_EQ(host.Count("at:hide"), 0u) << "no AT command when the module was not reset for ADB";
}

TEST_F(AdbPush, AServerThatIsStartingFirstIsAskedAgainAndThePushGoesOn) {
    dir.Write("devices.1", kDaemonStarting);
    dir.Write("devices.2", std::string(kDaemonStarting) + kListOneDevice);
    dir.Write("push.out", kPushKb);
    RunPushWorker();
    const auto calls = dir.Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "1 [devices]"), 2);
    EXPECT_TRUE(Has("ADB PUSH XML successfully!"));
    EXPECT_FALSE(Has("Enumerate ADB equipments failed, please retry later!"));
    EXPECT_EQ(host.Count("scan"), 1u);
}

TEST_F(AdbPush, AFailedPushIsLoggedAndTheProcedureStillRebootsWithoutAClosingSuccess) {
    dir.Write("devices.out", kListOneDevice);
    dir.Write("push.out", kPushNoDevice);
    RunPushWorker();
    const auto lines = host.Lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "ADB PUSH XML failed!"), 1);
    EXPECT_FALSE(Has("ADB PUSH XML successfully!"));
    EXPECT_EQ(lines.back(), "ADB reboot...");
    EXPECT_EQ(host.transfer.LastPushOutcome(), PushOutcome::Failed);
    EXPECT_EQ(dir.Calls().size(), 3u) << "one run only";
}

TEST_F(AdbPush, ThreeRunsWithoutAUsableDeviceEndWithoutPushOrScan) {
    // An empty list and an unauthorised device, each with its own fake adb and window, side by
    // side: every fake adb is written before either worker starts one.
    const char* const lists[] = {kListEmpty, "List of devices attached\nR58M\tunauthorized\n\n"};
    FakeAdbDir empty("empty");
    FakeAdbDir unauthorised("unauth");
    FakeAdbDir* dirs[] = {&empty, &unauthorised};
    std::vector<std::unique_ptr<FakeAdbHost>> hosts;
    for (int i = 0; i < 2; ++i) {
        dirs[i]->Write("devices.out", lists[i]);
        hosts.push_back(MakeHost(dirs[i]->AppDir()));
        hosts.back()->transfer.SetXmlPath("/tmp/a.xml");
    }
    for (auto& h : hosts) {
        h->transfer.OnAdbPushXml();
    }
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(lists[i]);
        FakeAdbHost& h = *hosts[i];
        ASSERT_TRUE(h.WorkersFinished());
        const auto lines = h.Lines();
        EXPECT_EQ(
            std::count(lines.begin(), lines.end(), "Enumerate ADB equipments failed, please retry later!"),
            3);
        EXPECT_EQ(lines.back(), "ADB PUSH XML failed!") << "the closing line after three runs";
        EXPECT_EQ(dirs[i]->Calls(), std::vector<std::string>(6, "1 [devices]"));
        EXPECT_EQ(h.Count("scan"), 0u);
        EXPECT_EQ(h.Count("arm"), 6u);
        EXPECT_EQ(h.Count("disarm"), 6u);
    }
}

TEST_F(AdbPush, AHangingCommandEndsThroughTheTimeOutAndTheWorkerSaysNothingMore) {
    // A hanging device list and a hanging push side by side, each with its own fake adb and
    // window; every fake adb is written before either worker starts one.
    const std::string hangs[] = {"devices", "push"};
    FakeAdbDir devicesDir(hangs[0]);
    FakeAdbDir pushDir(hangs[1]);
    FakeAdbDir* dirs[] = {&devicesDir, &pushDir};
    std::vector<std::unique_ptr<FakeAdbHost>> hosts;
    for (int i = 0; i < 2; ++i) {
        if (hangs[i] == "push") {
            dirs[i]->Write("devices.out", kListOneDevice);
        }
        dirs[i]->Write(hangs[i] + ".hang", "");  // prints nothing and never ends
        hosts.push_back(MakeHost(dirs[i]->AppDir()));
        hosts.back()->transfer.SetXmlPath("/tmp/a.xml");
    }
    for (auto& h : hosts) {
        h->transfer.OnAdbPushXml();
    }
    for (int i = 0; i < 2; ++i) {
        const std::string& hanging = hangs[i];
        FakeAdbHost& h = *hosts[i];
        ASSERT_TRUE(h.WorkersFinished()) << "the worker ended: no thread is left blocked";
        // The time-out aborts the worker first, then logs and restarts the scan.
        ASSERT_TRUE(h.WaitFor([&h] { return h.Count("scan") > 0; })) << hanging;
        const auto lines = h.Lines();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), kTimeoutLine) << hanging;
        EXPECT_EQ(std::count(lines.begin(), lines.end(), std::string(kTimeoutLine)), 1);
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "fastboot cmd of no return!"), 0);
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "ADB PUSH XML failed!"), 0);
        EXPECT_EQ(h.Events().back(), "scan") << "the time-out restarted the scan, nothing followed";
        EXPECT_EQ(h.pushStarted.load(), 0);
        EXPECT_EQ(h.PushThread(), nullptr) << "the time-out released the worker";
        const long pid = std::stol("0" + dirs[i]->Read(hanging + ".childpid"));
        ASSERT_GT(pid, 0);
        EXPECT_TRUE(h.WaitFor([&] { return ProcessEnded(pid); })) << "the adb child was ended";
    }
}

TEST_F(AdbPush, StartAdbTransferWithoutARequestOrWithoutAnAtPortStartsNothing) {
    host.pendingPush = 0;
    host.transfer.StartAdbTransfer();  // ADB on, nothing requested
    host.adbState = AdbState::NoAtPort;
    host.pendingPush = 1;
    host.transfer.StartAdbTransfer();  // no AT port
    EXPECT_EQ(host.WorkerCount(), 0u);
    EXPECT_EQ(host.pendingPush.load(), 1) << "the request stays pending";
    EXPECT_EQ(host.Events(), (std::vector<std::string>{"at:query", "at:query"}));
}

TEST_F(AdbPush, EnablingResetsTheModuleAndThePushAfterTheScanHidesAdbAgain) {
    dir.Write("devices.out", kListOneDevice);
    dir.Write("push.out", kPushMb);
    host.adbState = AdbState::Off;
    host.pendingPush = 1;
    host.transfer.StartAdbTransfer();
    ASSERT_TRUE(host.WorkersFinished());
    EXPECT_TRUE(host.transfer.ModuleReset());
    EXPECT_EQ(host.Events(),
              (std::vector<std::string>{"at:query", "at:enable", "log:Enable ADB successfully!",
                                        "log:The module is resetting. Please wait...", "at:reset", "scan"}));
    EXPECT_EQ(host.pendingPush.load(), 1) << "the scanner serves the request";
    RunPushWorker();  // the scanner found the module and posted ID_ADB_PUSH_XML
    const auto events = host.Events();
    const auto success = Index(events, "log:ADB PUSH XML successfully!");
    const auto hide = Index(events, "log:Hide ADB...");
    ASSERT_LT(success, events.size());
    ASSERT_LT(hide, events.size());
    EXPECT_LT(success, hide);
    EXPECT_EQ(events[hide + 1], "at:hide");
    EXPECT_EQ(events[hide + 2], "log:Hide ADB successfully!");
    EXPECT_EQ(events[hide + 3], "log:ADB reboot...");
}

TEST_F(AdbPush, AHideThatFailsIsLoggedAndTheRebootFollows) {
    dir.Write("devices.out", kListOneDevice);
    dir.Write("push.out", kPushMb);
    host.adbState = AdbState::Off;
    host.resetOk = 1;
    host.hideOk = 0;
    host.transfer.StartAdbTransfer();
    ASSERT_TRUE(host.WorkersFinished());
    RunPushWorker();
    const auto lines = host.Lines();
    const auto failed = std::find(lines.begin(), lines.end(), "Hide ADB failed!");
    ASSERT_NE(failed, lines.end());
    EXPECT_EQ(*(failed + 1), "ADB reboot...");
}

TEST_F(AdbPush, ShutdownEndsAWorkerThatWaitsForAnAdbCommand) {
    dir.Write("devices.hang", "");
    host.timeoutMs = 3600000;  // an hour: only the shutdown can end the worker
    host.transfer.OnAdbPushXml();
    ASSERT_TRUE(host.WaitFor([&] { return !dir.Read("devices.childpid").empty(); }));
    host.transfer.CancelCommands();
    EXPECT_TRUE(host.WorkersFinished());
}

}  // namespace
}  // namespace adb
