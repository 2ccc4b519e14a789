// The operation buttons follow the events of the real scanner and the real port panel, through
// the window's one map from events to buttons.
#include <gtest/gtest.h>

#include "dialog_harness.h"
#include "simulator/dtu_simulator.h"
#include "tests/support/sim_fixture.h"
#include "ui/resource.h"

namespace marlinq::test {
namespace {

using Event = CMarlinqDlg::DeviceEvent;

constexpr int kScan = IDC_BTN_SCAN_PORT;
const std::vector<int> kPortDependent = {IDC_BTN_GET, IDC_BTN_DOWNLOAD, IDC_BTN_READ_EXT, IDC_BTN_SET_EXT,
                                         IDC_BTN_RESET_DTU};
const std::vector<int> kAdbButtons = {IDC_BTN_FACTORY_RESET, IDC_BTN_XML_DOWNLOAD};
const std::string kNotReady = "Equipment is not ready!";

struct Expect {
    bool scan;
    bool port;
    bool adb;
    int ready;
};

template <class Dlg>
void Check(DialogHarness<Dlg>& h, Expect e, const char* step) {
    auto d = h.Driver();
    EXPECT_EQ(d.Enabled(kScan), e.scan) << step;
    for (int id : kPortDependent) {
        EXPECT_EQ(d.Enabled(id), e.port) << step << " " << id;
    }
    for (int id : kAdbButtons) {
        EXPECT_EQ(d.Enabled(id), e.adb) << step << " " << id;
    }
    EXPECT_EQ(h.Dialog().Session().DeviceReady(), e.ready) << step;
}

// Every enable state the main window gave control id, in order.
template <class Dlg>
std::vector<bool> EnableHistory(DialogHarness<Dlg>& h, int id) {
    h.Driver().Sync();
    std::lock_guard lock(h.events.mutex);
    std::vector<bool> out;
    for (const auto& c : h.events.changes) {
        if (c.hwnd == h.Hwnd() && c.id == id && c.what == fw::ControlChange::What::Enabled) {
            out.push_back(c.value != 0);
        }
    }
    return out;
}

std::unique_ptr<sim::DtuSimulator> Start(const sim::SimulatorOptions& options = {}) {
    auto s = std::make_unique<sim::DtuSimulator>();
    std::string error;
    EXPECT_TRUE(s->Start(options, &error)) << error;
    return s;
}

// A serial port that is not the module: its interface is not one the scan looks for.
sim::SimulatorOptions PlainPort() {
    sim::SimulatorOptions plain;
    plain.friendlyFormat = "Plain Serial Port (COM%d)";
    plain.hwids = {"USB\\VID_1234&PID_0001"};
    plain.adbHwids.clear();
    return plain;
}

TEST(OperationButtons, FollowTheScanThroughNotReadyReadyAndRestart) {
    const testsupport::PatientReads patientReads;
    DialogHarness<CMarlinqDlg> h;
    ASSERT_TRUE(Eventually([&] { return h.Driver().Enabled(kScan); }));
    Check(h, {true, false, false, 0}, "not ready");

    auto module = Start();
    ASSERT_TRUE(Eventually([&] { return h.Driver().Enabled(IDC_BTN_GET); }));
    Check(h, {true, true, true, 1}, "ready");

    module->Stop();  // unplugged while the scanner waits: nothing changes until Scan Port
    h.Driver().Click(IDC_BTN_SCAN_PORT);
    ASSERT_TRUE(Eventually([&] { return CountLines(h.Log(), kNotReady) == 2; }));
    ASSERT_TRUE(Eventually([&] { return h.Driver().Enabled(kScan); }));
    Check(h, {true, false, false, 0}, "not ready again");
    // Created disabled; the restart disabled every button before the not-ready pass enabled Scan
    // Port alone.
    EXPECT_EQ(EnableHistory(h, kScan), (std::vector<bool>{true, false, true}));
    EXPECT_EQ(EnableHistory(h, IDC_BTN_GET), (std::vector<bool>{true, false}));
    EXPECT_EQ(EnableHistory(h, IDC_BTN_XML_DOWNLOAD), (std::vector<bool>{true, false}));
}

TEST(OperationButtons, APendingPushContinuesThePushAndLeavesTheButtonsDisabled) {
    auto module = Start();
    const testsupport::PatientReads patientReads;
    DialogHarness<CMarlinqDlg> h;
    const std::string ready = "Equipment ready [AT:COM" + std::to_string(module->Com()) + "] for operation!";
    ASSERT_TRUE(Eventually([&] { return h.Driver().Enabled(IDC_BTN_GET); }));
    h.Dialog().Session().SetPendingPush(1);  // as an ADB flow does before it restarts the scan
    h.Driver().Click(IDC_BTN_SCAN_PORT);
    ASSERT_TRUE(Eventually([&] { return CountLines(h.Log(), "Push XML file to cache ...") == 1; }))
        << h.Log();
    Check(h, {false, false, false, 1}, "push continued");
    EXPECT_EQ(h.Dialog().Session().PendingPush(), 0);
    EXPECT_EQ(CountLines(h.Log(), ready), 1) << "no second ready line";
}

TEST(OperationButtons, ManualPortSwitchesOnlyThePortDependentButtons) {
    const testsupport::PatientReads patientReads;
    DialogHarness<CMarlinqDlg> h;
    ASSERT_TRUE(Eventually([&] { return CountLines(h.Log(), kNotReady) == 1; }));
    ASSERT_TRUE(Eventually([&] { return h.Driver().Enabled(kScan); }));  // the not-ready state is in force
    auto plain = Start(PlainPort());
    ASSERT_TRUE(OpenManualPort(h, plain->Com()));
    Check(h, {true, true, false, 0}, "manual port opened");
    CloseManualPortByHand(h);
    Check(h, {true, false, false, 0}, "closed while not ready");

    auto module = Start();
    ASSERT_TRUE(Eventually([&] { return h.Driver().Enabled(IDC_BTN_XML_DOWNLOAD); }));
    ASSERT_TRUE(OpenManualPort(h, plain->Com()));
    CloseManualPortByHand(h);
    Check(h, {true, true, true, 1}, "closed while ready keeps them");
    const std::string n = std::to_string(plain->Com());
    EXPECT_EQ(CountLines(h.Log(), "Port " + n + " opened!"), 2);
    EXPECT_EQ(CountLines(h.Log(), "Port " + n + " closed!"), 2);
}

TEST(OperationButtons, ScanPortButtonRestartsTheScanWhenEnabled) {
    DialogHarness<> h;
    auto d = h.Driver();
    d.Click(IDC_BTN_SCAN_PORT);  // disabled: refused
    d.Sync();
    EXPECT_EQ(CountLines(h.Log(), "Scanning equipments..."), 1);
    h.Dialog().OnDeviceEvent(Event::NotReady);
    d.Click(IDC_BTN_SCAN_PORT);
    d.Sync();
    EXPECT_EQ(CountLines(h.Log(), "Scanning equipments..."), 2);
    EXPECT_FALSE(d.Enabled(IDC_BTN_SCAN_PORT));
    EXPECT_EQ(h.Dialog().Session().NotReadyLogged(), 0);
}

}  // namespace
}  // namespace marlinq::test
