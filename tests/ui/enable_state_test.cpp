// The operation buttons follow the device events as one group.
#include <gtest/gtest.h>

#include "dialog_harness.h"
#include "ui/resource.h"

namespace marlinq::test {
namespace {

using Event = CMarlinqDlg::DeviceEvent;

constexpr int kScan = IDC_BTN_SCAN_PORT;
const std::vector<int> kPortDependent = {IDC_BTN_GET, IDC_BTN_DOWNLOAD, IDC_BTN_READ_EXT, IDC_BTN_SET_EXT,
                                         IDC_BTN_RESET_DTU};
const std::vector<int> kAdbButtons = {IDC_BTN_FACTORY_RESET, IDC_BTN_XML_DOWNLOAD};

struct Expect {
    bool scan;
    bool port;
    bool adb;
    int ready;
};

void Check(DialogHarness<>& h, Expect e, const char* step) {
    auto d = h.Driver();
    EXPECT_EQ(d.Enabled(kScan), e.scan) << step;
    for (int id : kPortDependent) {
        EXPECT_EQ(d.Enabled(id), e.port) << step << " " << id;
    }
    for (int id : kAdbButtons) {
        EXPECT_EQ(d.Enabled(id), e.adb) << step << " " << id;
    }
    EXPECT_EQ(h.Dialog().m_bDeviceReady.load(), e.ready) << step;
}

TEST(OperationButtons, FollowTheScanEvents) {
    DialogHarness<> h;
    auto& dlg = h.Dialog();
    Check(h, {false, false, false, 0}, "created");
    dlg.SetOperationButtons(Event::NotReady);
    Check(h, {true, false, false, 0}, "not ready");
    dlg.SetOperationButtons(Event::Ready);
    Check(h, {true, true, true, 1}, "ready");
    dlg.OnBtnScanPort();
    Check(h, {false, false, false, 1}, "scan restarted keeps the ready flag");
    EXPECT_EQ(CountLines(h.Log(), "Scanning equipments..."), 2);
}

TEST(OperationButtons, ManualPortSwitchesOnlyThePortDependentButtons) {
    DialogHarness<> h;
    auto& dlg = h.Dialog();
    dlg.SetOperationButtons(Event::NotReady);
    dlg.SetOperationButtons(Event::ManualPortOpened);
    Check(h, {true, true, false, 0}, "manual port opened");
    dlg.SetOperationButtons(Event::ManualPortClosed);
    Check(h, {true, false, false, 0}, "closed while not ready");

    dlg.SetOperationButtons(Event::Ready);
    dlg.SetOperationButtons(Event::ManualPortOpened);
    dlg.SetOperationButtons(Event::ManualPortClosed);
    Check(h, {true, true, true, 1}, "closed while ready keeps them");
}

TEST(OperationButtons, ScanPortButtonRestartsTheScanWhenEnabled) {
    DialogHarness<> h;
    auto d = h.Driver();
    d.Click(IDC_BTN_SCAN_PORT);  // disabled: refused
    d.Sync();
    EXPECT_EQ(CountLines(h.Log(), "Scanning equipments..."), 1);
    h.Dialog().SetOperationButtons(Event::NotReady);
    d.Click(IDC_BTN_SCAN_PORT);
    d.Sync();
    EXPECT_EQ(CountLines(h.Log(), "Scanning equipments..."), 2);
    EXPECT_FALSE(d.Enabled(IDC_BTN_SCAN_PORT));
    EXPECT_EQ(h.Dialog().m_bNotReadyLogged.load(), 0);
}

}  // namespace
}  // namespace marlinq::test
