// Get and Download pressed on the main window by control id, against the simulator: what the
// module receives byte for byte, what the controls show, and the input-rule message box.
#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "atlink/at_pacing.h"
#include "dialog_harness.h"
#include "parameters/download_flow.h"
#include "simulator/dtu_simulator.h"
#include "tests/support/sim_fixture.h"
#include "ui/resource.h"

namespace marlinq::test {
namespace {

// On the tests' clock, with reads that wait for an answer's first byte as long as a loaded
// machine may need.
constexpr double kScale = testsupport::kTestClockScale;

// Answers every message box with OK and remembers it, with the log as it stood then.
class BoxRecorder : public fw::IUiServices {
  public:
    struct Box {
        std::string text, caption;
        fw::UINT type;
        std::string logBefore;
    };
    explicit BoxRecorder(std::function<std::string()> log) : m_log(std::move(log)) {}
    int MessageBox(fw::HWND, const std::string& text, const std::string& caption, fw::UINT type) override {
        std::lock_guard lock(mutex);
        boxes.push_back({text, caption, type, m_log()});
        return fw::IDOK;
    }
    std::string FileDialog(fw::HWND, const fw::FileDialogRequest&) override { return {}; }

    std::mutex mutex;
    std::vector<Box> boxes;

  private:
    std::function<std::string()> m_log;
};

class ParameterFlows : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(module.Start({}, &error)) << error;
        h = std::make_unique<DialogHarness<>>(kScale);
        // The box is shown on the window thread, where the log may be read directly.
        boxes = std::make_unique<BoxRecorder>([this] { return h->Dialog().LogText(); });
        h->Thread().SetServices(boxes.get());
        // Paced by the answer, which changes no request and no log line; the full download keeps
        // the window's fixed pacing.
        h->Dialog().Session().SetPacing(atlink::Pacing::Answer);
        h->Dialog().OnDeviceEvent(CMarlinqDlg::DeviceEvent::Ready);  // the scanner is held back
        h->Driver().Sync();
    }
    void TearDown() override { h.reset(); }

    std::vector<std::string> Requests() {
        std::vector<std::string> out;
        for (const auto& r : module.Requests()) {
            out.push_back(r.bytes);
        }
        return out;
    }

    void ShowPage(int index) {
        h->Driver().Select(IDC_TAB_MODES, index);
        h->Driver().Sync();
    }

    void Press(int button) {
        module.ClearRequests();
        h->Driver().Click(button);
        ASSERT_TRUE(h->Driver().Sync());
    }

    // The operator fills in a TCP server, one extra server, the MQTT page and the APN.
    void TypeParameters() {
        auto main = h->Driver();
        main.Select(IDC_COMBO_TYPE, 1);  // UDP
        main.Type(IDC_EDIT_APN, "internet");
        ShowPage(MODE_PAGE_TCP);
        auto tcp = h->PageDriver(MODE_PAGE_TCP);
        tcp.Type(IDC_TCP_ADDR1, "a.example");
        tcp.Type(IDC_TCP_PORT1, "5000");
        tcp.Type(IDC_TCP_BEAT_PERIOD, "60");
        tcp.Type(IDC_TCP_BEAT, "31");
        tcp.Type(IDC_TCP_RESET_TIME, "5");
        tcp.Click(IDC_TCP_URC_ENABLE);
        tcp.Click(IDC_TCP_CHK_SERVER3);
        tcp.Type(IDC_TCP_ADDR3, "c.example");
        tcp.Type(IDC_TCP_PORT3, "7000");
        ShowPage(MODE_PAGE_MQTT);
        auto mqtt = h->PageDriver(MODE_PAGE_MQTT);
        mqtt.Type(IDC_MQTT_ADDR, "m.example");
        mqtt.Type(IDC_MQTT_PORT, "1883");
        mqtt.Type(IDC_MQTT_PUBTOPIC1, "up");
        mqtt.Type(IDC_MQTT_PUBTOPIC2, "up2");
        mqtt.Click(IDC_MQTT_LONG_ENABLE);
        ShowPage(MODE_PAGE_TCP);
    }

    static constexpr const char* kDtuCfg =
        "AT+DTUCFG=115200,a.example,5000,UDP,0,,60,0X31,1,,0,,,0,2,0,60\r\n";
    static constexpr const char* kMqtt = "AT+MQTTCFG=m.example,1883,,,,0,\r\n";

    const testsupport::PatientReads patientReads;
    sim::DtuSimulator module;
    std::unique_ptr<DialogHarness<>> h;
    std::unique_ptr<BoxRecorder> boxes;
};

TEST_F(ParameterFlows, DownloadFullFormSendsTheTypedParametersInOrder) {
    h->Dialog().Session().SetPacing(atlink::Pacing::Fixed);
    TypeParameters();
    Press(IDC_BTN_DOWNLOAD);
    EXPECT_EQ(Requests(), (std::vector<std::string>{
                              "AT+DTUMODE=0\r\n", kDtuCfg, "AT+MULTISOCKCFG=2,c.example,7000,UDP\r\n", kMqtt,
                              "AT+SUBTOPIC=\r\n", "AT+PUBTOPIC=up,up2\r\n", "AT+CNMP=2\r\n",
                              "AT+CGDCONT=1,\"IP\",\"internet\"\r\n", "AT+CGAUTH=1\r\n"}));
    EXPECT_TRUE(h->On([](CMarlinqDlg& d) { return d.LastFlowOutcome().Ok(); }));
    const std::string log = h->Log();
    EXPECT_NE(log.find("\r\n\r\nStart downloading parameters...\r\nDTUMODE set successfully!\r\n"
                       "DTUCFG parameters download successfully!\r\n"
                       "MultiSockCfg-3 parameters download successfully!\r\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("User name or password is empty\r\n"), std::string::npos);
    EXPECT_TRUE(boxes->boxes.empty());
}

TEST_F(ParameterFlows, DownloadCurrentPageFollowsTheVisibleTab) {
    TypeParameters();
    h->Driver().Click(IDC_CHK_CURRENT_PAGE_ONLY);
    ShowPage(MODE_PAGE_MODBUS);
    h->PageDriver(MODE_PAGE_MODBUS).Click(IDC_MODBUS_CHK_ENABLE);
    h->PageDriver(MODE_PAGE_MODBUS).Type(IDC_MODBUS_CYCLE, "5");
    Press(IDC_BTN_DOWNLOAD);
    EXPECT_EQ(Requests(),
              (std::vector<std::string>{"AT+DTUMODE=0\r\n",
                                        "AT+DTUCFG=115200,a.example,5000,UDP,0,,60,0X31,1,,0,,,0,2,0,60\r\n",
                                        "AT+MODBUSCFG=5,\r\n"}));
    ShowPage(MODE_PAGE_MQTT);
    Press(IDC_BTN_DOWNLOAD);
    EXPECT_EQ(Requests(), (std::vector<std::string>{"AT+DTUMODE=0\r\n", kMqtt, "AT+SUBTOPIC=\r\n",
                                                    "AT+PUBTOPIC=up,up2\r\n"}));
    ShowPage(MODE_PAGE_HTTPS);
    h->PageDriver(MODE_PAGE_HTTPS).Click(IDC_HTTPS_CHK_ENABLE);
    Press(IDC_BTN_DOWNLOAD);
    EXPECT_EQ(Requests(),
              (std::vector<std::string>{
                  "AT+DTUMODE=0\r\n", std::string("AT+HOST=") + parameters::kDefaultHttpsHost + ":443\r\n"}));
    ShowPage(MODE_PAGE_TCP);
    Press(IDC_BTN_DOWNLOAD);
    EXPECT_EQ(Requests(), (std::vector<std::string>{"AT+DTUMODE=0\r\n", kDtuCfg,
                                                    "AT+MULTISOCKCFG=2,c.example,7000,UDP\r\n"}));
}

TEST_F(ParameterFlows, InputRuleFocusesTheEditShowsTheBoxThenLogs) {
    TypeParameters();
    h->PageDriver(MODE_PAGE_TCP).Type(IDC_TCP_RESET_TIME, "0");
    Press(IDC_BTN_DOWNLOAD);
    ASSERT_EQ(boxes->boxes.size(), 1u);
    const auto& box = boxes->boxes[0];
    EXPECT_EQ(box.text, "ResetTime cannot be set to 0!");
    EXPECT_EQ(box.caption, "\x1bMarlinq");
    EXPECT_EQ(box.type, fw::MB_OK | fw::MB_ICONEXCLAMATION);
    EXPECT_EQ(box.logBefore.find("ResetTime cannot be set to 0!"), std::string::npos);
    EXPECT_EQ(CountLines(h->Log(), "ResetTime cannot be set to 0!"), 1);
    auto tcp = h->PageDriver(MODE_PAGE_TCP);
    EXPECT_EQ(tcp.FocusedControl(), IDC_TCP_RESET_TIME);
    EXPECT_EQ(tcp.State(IDC_TCP_RESET_TIME)->selStart, 1);  // the caret behind the "0"
    EXPECT_EQ(Requests(),
              (std::vector<std::string>{"AT+DTUMODE=0\r\n", "AT+CNMP=2\r\n",
                                        "AT+CGDCONT=1,\"IP\",\"internet\"\r\n", "AT+CGAUTH=1\r\n"}));
    EXPECT_EQ(h->On([](CMarlinqDlg& d) { return d.LastFlowOutcome().refusal; }),
              "ResetTime cannot be set to 0!");
}

TEST_F(ParameterFlows, AValueThatCannotBeSentFocusesItsControlShowsTheBoxAndSendsNothing) {
    TypeParameters();
    const struct {
        int page;  // -1 for the main window
        int id;
        std::string typed;
        std::string message;
    } cases[] = {
        {MODE_PAGE_TCP, IDC_TCP_PORT1, "-1", "Port must be a whole number from 1 to 65535!"},
        {MODE_PAGE_TCP, IDC_TCP_RESET_TIME, "-5", "ResetTime must be a whole number from 1 to 83333333!"},
        {MODE_PAGE_MQTT, IDC_MQTT_PORT, "70000", "PORT must be a whole number from 1 to 65535!"},
        {MODE_PAGE_MQTT, IDC_MQTT_PUBTOPIC1, "up\x1a", "PUBTOPIC1 cannot contain a control character!"},
        {-1, IDC_EDIT_APN, "inter\"net", "APN cannot contain a double quote!"},
        {-1, IDC_EDIT_APN, std::string(101, 'a'), "APN cannot be longer than 100 bytes!"},
        {-1, IDC_EDIT_APN_USER, "u\",\"x", "Username cannot contain a double quote!"},
    };
    h->Driver().Type(IDC_EDIT_APN_PWD, "pass");  // with both, user and password are sent
    for (const auto& c : cases) {
        if (c.page >= 0) {
            ShowPage(c.page);
        }
        auto driver = c.page < 0 ? h->Driver() : h->PageDriver(c.page);
        const std::string kept = driver.Text(c.id);
        driver.Type(c.id, c.typed);
        boxes->boxes.clear();
        Press(IDC_BTN_DOWNLOAD);
        ASSERT_EQ(boxes->boxes.size(), 1u) << c.message;
        EXPECT_EQ(boxes->boxes[0].text, c.message);
        EXPECT_EQ(boxes->boxes[0].caption, "\x1bMarlinq");
        EXPECT_EQ(boxes->boxes[0].type, fw::MB_OK | fw::MB_ICONEXCLAMATION);
        EXPECT_EQ(CountLines(h->Log(), c.message), 1);
        EXPECT_EQ(driver.FocusedControl(), c.id) << c.message;
        EXPECT_TRUE(Requests().empty()) << c.message;
        EXPECT_EQ(h->On([](CMarlinqDlg& d) { return d.LastFlowOutcome().refusal; }), c.message);
        driver.Type(c.id, kept);
    }
    Press(IDC_BTN_DOWNLOAD);
    EXPECT_EQ(Requests().back(), "AT+CGAUTH=1\r\n");  // the user name is empty again
    EXPECT_TRUE(h->On([](CMarlinqDlg& d) { return d.LastFlowOutcome().Ok(); })) << "every value was put back";
}

TEST_F(ParameterFlows, ATypeOrNetworkModeTheModuleReportsOutsideTheListsIsNotSentBack) {
    module.SetValue("DTUCFG", "115200,g.example,7000,FOO,0,,30,,0,,0,,,0,0,0,60");
    Press(IDC_BTN_GET);
    EXPECT_EQ(h->Driver().Text(IDC_COMBO_TYPE), "");
    Press(IDC_BTN_DOWNLOAD);
    ASSERT_EQ(boxes->boxes.size(), 1u);
    EXPECT_EQ(boxes->boxes[0].text, "SockType must be one of TCP, UDP, MQTT, HTTP(S)!");
    EXPECT_EQ(h->Driver().FocusedControl(), IDC_COMBO_TYPE);
    EXPECT_TRUE(Requests().empty());

    module.SetValue("DTUCFG", "115200,g.example,7000,TCP,0,,30,,0,,0,,,0,0,0,60");
    module.SetValue("CNMP", "51");
    Press(IDC_BTN_GET);
    Press(IDC_BTN_DOWNLOAD);
    ASSERT_EQ(boxes->boxes.size(), 2u);
    EXPECT_EQ(boxes->boxes[1].text, "NetMode must be one of 2G, 4G, AUTO!");
    EXPECT_TRUE(Requests().empty());
}

TEST_F(ParameterFlows, GetAfterADownloadShowsWhatTheModuleTook) {
    module.SetValue("DTUCFG", "9600,g.example,7000,TCP,1,HELLO,30,0X0A0B,0,100,0,500,0,1,0,0,780");
    module.SetValue("CNMP", "38");
    h->PageDriver(MODE_PAGE_TCP).Click(IDC_TCP_CHK_SERVER2);
    h->PageDriver(MODE_PAGE_TCP).Type(IDC_TCP_ADDR2, "not reported");
    Press(IDC_BTN_GET);
    auto main = h->Driver();
    auto tcp = h->PageDriver(MODE_PAGE_TCP);
    EXPECT_EQ(main.Text(IDC_COMBO_BAUDRATE), "9600");
    EXPECT_EQ(main.Text(IDC_COMBO_SERIAL_TYPE), "232");
    EXPECT_EQ(main.Text(IDC_COMBO_NETMODE), "4G");
    EXPECT_EQ(main.Text(IDC_EDIT_APP_VERSION), module.Value("VER"));
    EXPECT_EQ(main.Text(IDC_EDIT_FIRMWARE), module.Value("GMR"));
    EXPECT_EQ(main.Text(IDC_EDIT_APN), module.Value("APN"));
    EXPECT_EQ(tcp.Text(IDC_TCP_ADDR1), "g.example");
    EXPECT_EQ(tcp.Text(IDC_TCP_BEAT), "0A0B");
    EXPECT_TRUE(tcp.Checked(IDC_TCP_CHK_HEX));
    EXPECT_EQ(tcp.Text(IDC_TCP_RESET_TIME), "65");
    EXPECT_TRUE(tcp.Checked(IDC_TCP_CLOUD_ENABLE));
    EXPECT_EQ(tcp.Text(IDC_TCP_ADDR2), "not reported");
    EXPECT_EQ(h->PageDriver(MODE_PAGE_HTTPS).Text(IDC_HTTPS_PORT), "443");

    // The operator changes one parameter, downloads, and reads the module again.
    tcp.Type(IDC_TCP_PORT1, "7100");
    h->PageDriver(MODE_PAGE_TCP).Click(IDC_TCP_CHK_SERVER2);  // untick: servers 2-4 are not read back
    Press(IDC_BTN_DOWNLOAD);
    EXPECT_EQ(Requests()[1],
              "AT+DTUCFG=9600,g.example,7100,TCP,1,HELLO,30,0X0A0B,0,100,0,500,0,1,0,0,780\r\n");
    tcp.Type(IDC_TCP_PORT1, "");
    Press(IDC_BTN_GET);
    EXPECT_EQ(tcp.Text(IDC_TCP_PORT1), "7100");
    EXPECT_TRUE(h->On([](CMarlinqDlg& d) { return d.LastFlowOutcome().Ok(); }));
}

}  // namespace
}  // namespace marlinq::test
