// The main window with its real scanner and device-change notices, against the simulator.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "dialog_harness.h"
#include "simulator/dtu_simulator.h"
#include "tests/support/sim_fixture.h"
#include "ui/resource.h"

namespace marlinq::test {
namespace {

constexpr int kOperationButtons[] = {IDC_BTN_SCAN_PORT,     IDC_BTN_GET,         IDC_BTN_DOWNLOAD,
                                     IDC_BTN_READ_EXT,      IDC_BTN_SET_EXT,     IDC_BTN_RESET_DTU,
                                     IDC_BTN_FACTORY_RESET, IDC_BTN_XML_DOWNLOAD};

std::string ReadyLine(int com) {
    return "Equipment ready [AT:COM" + std::to_string(com) + "] for operation!";
}

TEST(ScannerWiring, PluggingTheModuleInAnnouncesItAndEnablesTheOperations) {
    const testsupport::PatientReads patientReads;
    DialogHarness<CMarlinqDlg> h;
    ASSERT_TRUE(Eventually([&] { return CountLines(h.Log(), "Equipment is not ready!") == 1; }));
    // The buttons follow the line: the event that switches them comes right after it.
    ASSERT_TRUE(Eventually([&] { return h.Driver().Enabled(IDC_BTN_SCAN_PORT); }));
    EXPECT_FALSE(h.Driver().Enabled(IDC_BTN_GET));

    sim::DtuSimulator module;
    std::string error;
    ASSERT_TRUE(module.Start({}, &error)) << error;
    ASSERT_TRUE(Eventually([&] { return CountLines(h.Log(), ReadyLine(module.Com())) == 1; })) << h.Log();
    ASSERT_TRUE(Eventually([&] { return h.Driver().Enabled(IDC_BTN_GET); }));
    for (int id : kOperationButtons) {
        EXPECT_TRUE(h.Driver().Enabled(id)) << id;
    }
    const auto lines = LogLines(h.Log());
    const auto ready = std::find(lines.begin(), lines.end(), ReadyLine(module.Com()));
    const auto versions = std::find(ready, lines.end(), "Getting version... ");
    EXPECT_NE(versions, lines.end()) << "versions after readiness";
    EXPECT_NE(std::find(versions, lines.end(), "VER get successfully! "), lines.end());
    // The scanner thread's control writes reach the window thread before Get is enabled.
    EXPECT_EQ(h.Driver().Text(IDC_EDIT_APP_VERSION), module.Value("VER"));
    EXPECT_EQ(h.Driver().Text(IDC_EDIT_HW1), module.Value("CSUB1"));
    EXPECT_EQ(CountLines(h.Log(), "Equipment is not ready!"), 1) << "once per scan episode";
    EXPECT_EQ(h.On([](CMarlinqDlg& d) { return d.Session().DeviceReady(); }), 1);
}

TEST(ScannerWiring, ResetDtuLosesTheModuleAndFindsItAgain) {
    sim::DtuSimulator module;
    std::string error;
    ASSERT_TRUE(module.Start({}, &error)) << error;
    const testsupport::PatientReads patientReads;
    DialogHarness<CMarlinqDlg> h;
    ASSERT_TRUE(Eventually([&] { return CountLines(h.Log(), ReadyLine(module.Com())) == 1; }));
    ASSERT_TRUE(Eventually([&] { return h.Driver().Enabled(IDC_BTN_RESET_DTU); }));
    h.Driver().Click(IDC_BTN_RESET_DTU);
    ASSERT_TRUE(Eventually([&] { return CountLines(h.Log(), ReadyLine(module.Com())) == 2; })) << h.Log();
    // The last request before the module came back was the reset; the version read that follows
    // the readiness line may have begun already.
    std::vector<std::string> heard;
    for (const auto& r : module.Requests()) {
        heard.push_back(r.bytes);
    }
    const std::set<std::string> versionRead = {"AT+GMR\r\n", "AT+CSUB\r\n", "AT+VER\r\n", "AT+CIMI\r\n",
                                               "AT+DTUMODE?\r\n"};
    while (!heard.empty() && versionRead.count(heard.back()) != 0) {
        heard.pop_back();
    }
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(heard.back(), "AT+CRESET\r\n");
    EXPECT_GE(CountLines(h.Log(), "Scanning equipments..."), 2);
}

TEST(ScannerWiring, ClosingWhileTheScannerRunsEndsPromptly) {
    for (int i = 0; i < 3; ++i) {
        const testsupport::PatientReads patientReads;
        DialogHarness<CMarlinqDlg> h;
        ASSERT_TRUE(Eventually([&] { return CountLines(h.Log(), "Equipment is not ready!") == 1; }));
        EXPECT_TRUE(h.Close());
    }
}

}  // namespace
}  // namespace marlinq::test
