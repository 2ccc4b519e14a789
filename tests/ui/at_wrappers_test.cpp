// The AT command wrappers and the AT console of the main window, against the simulator.
#include <gtest/gtest.h>

#include "dialog_harness.h"
#include "simulator/dtu_simulator.h"
#include "tests/support/sim_fixture.h"
#include "ui/resource.h"

namespace marlinq::test {
namespace {

// On the tests' clock, with reads that wait for an answer's first byte as long as a loaded
// machine may need.
constexpr double kScale = testsupport::kTestClockScale;

std::unique_ptr<sim::DtuSimulator> StartSimulator(
    const std::string& friendlyFormat = "Simulated DTU AT Port (COM%d)") {
    auto s = std::make_unique<sim::DtuSimulator>();
    sim::SimulatorOptions options;
    options.friendlyFormat = friendlyFormat;
    std::string error;
    EXPECT_TRUE(s->Start(options, &error)) << error;
    return s;
}

using testsupport::RequestBytes;

}  // namespace

TEST(AtWrappers, WithoutAModuleEachKindLogsItsMessageAndFails) {
    const testsupport::PatientReads patientReads;
    DialogHarness<> h(kScale);
    const auto results = h.On([](CMarlinqDlg& d) {
        return std::vector<std::string>{
            std::to_string(d.At().SetDtuCfg("x")),
            d.At().QueryCnmp(),
            std::to_string(d.At().ClearAuth()),
            std::to_string(d.At().ResetModule()),
            d.At().QueryCimi(),
            std::to_string(d.At().QueryAdb()),
            std::to_string(d.At().EnableAdb()),
            std::to_string(d.At().HideAdb()),
        };
    });
    EXPECT_EQ(results, (std::vector<std::string>{"0", "", "0", "0", "", "0", "0", "0"}));
    const std::string log = h.Log();
    EXPECT_EQ(CountLines(log, "No scan AT port! "), 3);    // AtSetDtuCfg, AtQueryCnmp, AtQueryCimi
    EXPECT_EQ(CountLines(log, "AT port not found! "), 5);  // one per call: no try is made
}

TEST(AtWrappers, AutomaticPortCarriesEveryCommandToTheModule) {
    const testsupport::PatientReads patientReads;
    DialogHarness<> h(kScale);
    auto s = StartSimulator();
    EXPECT_TRUE(h.On([](CMarlinqDlg& d) { return d.At().SetApn("internet"); }));
    EXPECT_EQ(h.On([](CMarlinqDlg& d) { return d.At().QueryApn(); }), "internet");
    EXPECT_TRUE(h.On([](CMarlinqDlg& d) { return d.At().SetCnmp("38"); }));
    EXPECT_EQ(h.On([](CMarlinqDlg& d) { return d.At().QueryCnmp(); }), "38");
    EXPECT_TRUE(h.On([](CMarlinqDlg& d) { return d.At().SetAuth("1,1,\"pw\",\"user\""); }));
    EXPECT_EQ(h.On([](CMarlinqDlg& d) { return d.At().QueryAuth(); }), "1,1,\"user\",\"pw\"");  // user first
    EXPECT_TRUE(h.On([](CMarlinqDlg& d) { return d.At().ClearAuth(); }));
    EXPECT_EQ(h.On([](CMarlinqDlg& d) { return d.At().QueryCimi(); }), "001010123456789");
    EXPECT_EQ(h.On([](CMarlinqDlg& d) { return d.At().QueryAdb(); }), 1);
    EXPECT_TRUE(h.On([](CMarlinqDlg& d) { return d.At().EnableAdb(); }));
    EXPECT_EQ(h.On([](CMarlinqDlg& d) { return d.At().QueryAdb(); }), 2);
    EXPECT_TRUE(h.On([](CMarlinqDlg& d) { return d.At().HideAdb(); }));
    EXPECT_FALSE(h.On([](CMarlinqDlg& d) { return d.Session().ManualPortIsOpen(); }));
    EXPECT_EQ(CountLines(h.Log(), "No scan AT port! "), 0);
}

TEST(AtWrappers, HandOpenedPortIsUsedEvenWhenItIsNotTheModulesPort) {
    const testsupport::PatientReads patientReads;
    DialogHarness<> h(kScale);
    auto module = StartSimulator();
    auto other = StartSimulator("Plain Serial Port (COM%d)");
    ASSERT_TRUE(OpenManualPort(h, other->Com()));
    EXPECT_TRUE(h.On([](CMarlinqDlg& d) { return d.At().SetCnmp("13"); }));
    EXPECT_TRUE(h.On([](CMarlinqDlg& d) { return d.At().ResetModule(); }));
    EXPECT_EQ(RequestBytes(*other), (std::vector<std::string>{"AT+CNMP=13\r\n", "AT+CRESET\r\n"}));
    EXPECT_TRUE(module->Requests().empty());
    // A silent hand-opened port: the wrapper fails and says nothing.
    sim::Behaviour silent;
    silent.silent = true;
    other->SetBehaviour(silent);
    EXPECT_FALSE(h.On([](CMarlinqDlg& d) { return d.At().SetDtuMode("1"); }));
    EXPECT_EQ(h.On([](CMarlinqDlg& d) { return d.At().QueryDtuCfg(); }), "");
    EXPECT_TRUE(h.On([](CMarlinqDlg& d) { return d.Session().ManualPortIsOpen(); }));
    // IMSI and ADB queries always go to the module's AT port.
    EXPECT_EQ(h.On([](CMarlinqDlg& d) { return d.At().QueryCimi(); }), "001010123456789");
    EXPECT_EQ(RequestBytes(*module), (std::vector<std::string>{"AT+CIMI\r\n"}));
    const std::string log = h.Log();
    EXPECT_EQ(CountLines(log, "No scan AT port! "), 0);
    CloseManualPortByHand(h);
}

TEST(AtConsole, QuickQueriesEchoTheCommandAndLogTheRawAnswer) {
    const testsupport::PatientReads patientReads;
    DialogHarness<> h(kScale);
    auto s = StartSimulator();
    auto d = h.Driver();
    d.Click(IDC_BTN_CSQ);
    d.Click(IDC_BTN_NETWORK);
    d.Click(IDC_BTN_SIMCARD);
    d.Click(IDC_BTN_DTUCFG);
    d.Sync();
    EXPECT_EQ(RequestBytes(*s),
              (std::vector<std::string>{"AT+CSQ\r\n", "AT+CPSI?\r\n", "AT+CPIN?\r\n", "AT+DTUCFG?\r\n"}));
    const std::string log = h.Log();
    // The answer keeps the module's own CR LFs: an empty line before it and one before OK.
    EXPECT_NE(log.find("AT+CSQ\r\n\r\n+CSQ: 23,99\r\n\r\nOK\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("AT+CPIN?\r\n\r\n+CPIN: READY\r\n"), std::string::npos);
    EXPECT_EQ(CountLines(log, "AT+DTUCFG?"), 1);
}

TEST(AtConsole, SendUsesTheEditAndEmptyTouchesNothing) {
    const testsupport::PatientReads patientReads;
    DialogHarness<> h(kScale);
    auto s = StartSimulator();
    auto d = h.Driver();
    d.Click(IDC_BTN_SEND);  // empty edit
    d.Sync();
    EXPECT_TRUE(s->Requests().empty());
    const std::string before = h.Log();
    d.Type(IDC_EDIT_AT_COMMAND, "AT+NOSUCH");
    d.Focus(IDC_EDIT_AT_COMMAND);
    d.KeyDown(fw::VK_RETURN);
    d.Sync();
    EXPECT_EQ(RequestBytes(*s), (std::vector<std::string>{"AT+NOSUCH\r\n"}));
    EXPECT_NE(h.Log().find("AT+NOSUCH\r\n\r\nERROR\r\n"), std::string::npos);
    EXPECT_EQ(d.Text(IDC_EDIT_AT_COMMAND), "AT+NOSUCH");
}

TEST(AtConsole, SilentOrHeldPortShowsOnlyTheEcho) {
    const testsupport::PatientReads patientReads;
    DialogHarness<> h(kScale);
    auto s = StartSimulator();
    ASSERT_TRUE(OpenManualPort(h, s->Com()));
    h.Driver().Click(IDC_BTN_CSQ);  // the console's own open fails on the held port
    h.Driver().Sync();
    const auto lines = LogLines(h.Log());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "AT+CSQ");
    EXPECT_TRUE(s->Requests().empty());
    CloseManualPortByHand(h);
}

TEST(AtConsole, ImsiBoxFillsTheRegistrationPacketFromTheModule) {
    const testsupport::PatientReads patientReads;
    DialogHarness<> h(kScale);
    auto s = StartSimulator();
    auto tcp = h.PageDriver(0);
    tcp.Type(IDC_TCP_REGPACKET, "hello");
    tcp.Click(IDC_TCP_CHK_IMSI);
    EXPECT_EQ(tcp.Text(IDC_TCP_REGPACKET), "001010123456789");
    s->Stop();
    tcp.Click(IDC_TCP_CHK_IMSI);
    tcp.Click(IDC_TCP_CHK_IMSI);
    EXPECT_EQ(tcp.Text(IDC_TCP_REGPACKET), "") << "no AT port empties the edit";
    EXPECT_EQ(CountLines(h.Log(), "No scan AT port! "), 1);
}

TEST(ModePages, ImsiQueryRunsOnlyWhenTheBoxBecomesChecked) {
    sim::DtuSimulator module;
    std::string error;
    ASSERT_TRUE(module.Start(sim::SimulatorOptions{}, &error)) << error;
    module.SetValue("CIMI", "001010123456789");
    const testsupport::PatientReads patientReads;
    DialogHarness<> h(kScale);
    auto cimiRequests = [&module] {
        int n = 0;
        for (const auto& r : module.Requests()) {
            n += r.bytes.rfind("AT+CIMI", 0) == 0 ? 1 : 0;
        }
        return n;
    };
    auto tcp = h.PageDriver(0);
    tcp.Type(IDC_TCP_REGPACKET, "hello");
    tcp.Click(IDC_TCP_CHK_IMSI);
    EXPECT_TRUE(tcp.Checked(IDC_TCP_CHK_IMSI));
    EXPECT_EQ(cimiRequests(), 1);
    EXPECT_EQ(tcp.Text(IDC_TCP_REGPACKET), "001010123456789");
    tcp.Type(IDC_TCP_REGPACKET, "hello");
    tcp.Click(IDC_TCP_CHK_IMSI);
    EXPECT_FALSE(tcp.Checked(IDC_TCP_CHK_IMSI));
    EXPECT_EQ(cimiRequests(), 1) << "unticking sends nothing";
    EXPECT_EQ(tcp.Text(IDC_TCP_REGPACKET), "hello");
}

}  // namespace marlinq::test
