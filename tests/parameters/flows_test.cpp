// The read and download flows against the simulator on a real pseudo-terminal, with the controls
// held in maps: exact requests, exact log lines, and what lands in the controls.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "atlink/at_client.h"
#include "flow_fakes.h"
#include "parameters/download_flow.h"
#include "parameters/module_check.h"
#include "parameters/parameter_controls.h"
#include "parameters/parameter_ids.h"
#include "parameters/read_flow.h"
#include "tests/support/sim_fixture.h"

namespace parameters::test {
namespace {

using namespace marlinq;

class FlowTest : public testsupport::SimulatorTest {
  protected:
    void SetUp() override {
        SimulatorTest::SetUp();
        com = Com();
        at = std::make_unique<atlink::AtClient>(atlink::AtClientDeps{
            manualPort, autoPort, [this] { return com; }, [this](const std::string& s) { Log(s); }});
        // Paced by the answer: what these cases check (requests, log lines, controls, outcomes) is
        // the same on both pacings, and each waits for its answers instead of sleeping the fixed
        // pauses. The cases of the full download and of the Get keep the window's fixed pacing.
        at->SetPacing(atlink::Pacing::Answer);
        InitParameterControls(main);
        tcp.check[IDC_TCP_CHK_HEX] = true;
        tcp.check[IDC_TCP_CHK_SERVER1] = true;
        https.text[IDC_HTTPS_PORT] = "443";
    }

    void Log(const std::string& s) { events.push_back(s); }

    FlowOutcome Download() {
        m_sim.ClearRequests();
        DownloadFlow flow(
            {main, tcp, modbus, https, mqtt}, *at, [this](const std::string& s) { Log(s); },
            [this](const std::string& s) { events.push_back("[box] " + s); }, [this] { return page; });
        return flow.OnBtnDownload();
    }

    FlowOutcome Get() {
        ReadFlow flow(main, tcp, *at, [this](const std::string& s) { Log(s); });
        return flow.OnBtnGet();
    }

    std::vector<std::string> Requests() const {
        std::vector<std::string> out;
        for (const auto& r : m_sim.Requests()) {
            out.push_back(r.bytes);
        }
        return out;
    }

    // A filled-in parameter set touching every command of the full form.
    void FillEverything() {
        main.sel[IDC_COMBO_TYPE] = 1;  // UDP
        main.sel[IDC_COMBO_NETMODE] = 1;
        main.text[IDC_EDIT_APN] = "internet";
        main.text[IDC_EDIT_APN_USER] = "u";
        main.text[IDC_EDIT_APN_PWD] = "p";
        tcp.text[IDC_TCP_ADDR1] = "a.example";
        tcp.text[IDC_TCP_PORT1] = "5000";
        tcp.check[IDC_TCP_CHK_REGPACKET] = true;
        tcp.text[IDC_TCP_REGPACKET] = "REG";
        tcp.text[IDC_TCP_BEAT_PERIOD] = "60";
        tcp.text[IDC_TCP_BEAT] = "0A1B";
        tcp.text[IDC_TCP_TRIGGER_TIME] = "50";
        tcp.text[IDC_TCP_TRIGGER_LENGTH] = "1024";
        tcp.text[IDC_TCP_NET_RECEIVE] = "100";
        tcp.text[IDC_TCP_RESET_TIME] = "5";
        tcp.check[IDC_TCP_CLOUD_ENABLE] = true;
        tcp.check[IDC_TCP_URC_DISABLE] = true;
        tcp.check[IDC_TCP_CHK_SERVER2] = true;
        tcp.text[IDC_TCP_ADDR2] = "b.example";
        tcp.text[IDC_TCP_PORT2] = "6000";
        tcp.check[IDC_TCP_CHK_SERVER4] = true;
        tcp.text[IDC_TCP_ADDR4] = "d.example";
        tcp.text[IDC_TCP_PORT4] = "8000";
        modbus.check[IDC_MODBUS_CHK_ENABLE] = true;
        modbus.text[IDC_MODBUS_CYCLE] = "10";
        modbus.text[IDC_MODBUS_INTERVAL] = "200";
        modbus.check[IDC_MODBUS_CHK_SET1] = true;
        modbus.text[IDC_MODBUS_CMD1] = "010300000001";
        modbus.check[IDC_MODBUS_CHK_SET3] = true;
        modbus.text[IDC_MODBUS_CMD3] = "020300000002";
        modbus.text[IDC_MODBUS_CMD2] = "not sent";
        https.text[IDC_HTTPS_ADDR] = "h.example";
        mqtt.text[IDC_MQTT_ADDR] = "m.example";
        mqtt.text[IDC_MQTT_PORT] = "1883";
        mqtt.text[IDC_MQTT_CLIENT_ID] = "c1";
        mqtt.text[IDC_MQTT_USER] = "mu";
        mqtt.text[IDC_MQTT_PWD] = "mp";
        mqtt.check[IDC_MQTT_LONG_DISABLE] = true;
        mqtt.text[IDC_MQTT_BEAT_PERIOD] = "60";
        mqtt.text[IDC_MQTT_SUBTOPIC1] = "s1";
        mqtt.text[IDC_MQTT_SUBTOPIC3] = "s3";
    }

    static constexpr const char* kDtuCfg =
        "AT+DTUCFG=115200,a.example,5000,UDP,1,REG,60,0X0A1B,0,100,0,50,1024,1,3,2,60\r\n";
    static constexpr const char* kServer2 = "AT+MULTISOCKCFG=1,b.example,6000,UDP\r\n";
    static constexpr const char* kServer4 = "AT+MULTISOCKCFG=3,d.example,8000,UDP\r\n";

    MapControls main, tcp, modbus, https, mqtt;
    atlink::CSerialPort manualPort;
    std::atomic<atlink::BOOL> autoPort{1};
    int com = 0;
    std::unique_ptr<atlink::AtClient> at;
    std::vector<std::string> events;
    int page = 0;
};

TEST_F(FlowTest, FullDownloadSendsEveryCommandInTableOrder) {
    at->SetPacing(atlink::Pacing::Fixed);
    FillEverything();
    const FlowOutcome out = Download();
    EXPECT_TRUE(out.Ok());
    EXPECT_EQ(Requests(), (std::vector<std::string>{
                              "AT+DTUMODE=0\r\n",
                              kDtuCfg,
                              kServer2,
                              kServer4,
                              "AT+MODBUSCFG=10,200\r\n",
                              "AT+MODBUSCMD=1,010300000001\r\n",
                              "AT+MODBUSCMD=3,020300000002\r\n",
                              "AT+MQTTCFG=m.example,1883,c1,mu,mp,1,60\r\n",
                              "AT+SUBTOPIC=s1,s3\r\n",
                              "AT+PUBTOPIC=\r\n",
                              "AT+CNMP=38\r\n",
                              "AT+CGDCONT=1,\"IP\",\"internet\"\r\n",
                              "AT+CGAUTH=1\r\n",
                              "AT+CGAUTH=1,1,\"p\",\"u\"\r\n",
                          }));
    EXPECT_EQ(events, (std::vector<std::string>{
                          "\r\nStart downloading parameters...",
                          "DTUMODE set successfully!",
                          "DTUCFG parameters download successfully!",
                          "MultiSockCfg-2 parameters download successfully!",
                          "MultiSockCfg-4 parameters download successfully!",
                          "MODBUSCFG parameters download successfully!",
                          "MODBUSCMD1 parameters download successfully!",
                          "MODBUSCMD3 parameters download successfully!",
                          "MQTTCFG parameters download successfully!",
                          "SUBTOPIC parameters download successfully!",
                          "PUBTOPIC parameters download successfully!",
                          "\r\nDownloading extended params...",
                          "Download CNMP successfully!",
                          "Download APN successfully!",
                          "Clear original user name and password successfully",
                          "Set user name and password successfully",
                          "Download extended params finished!",
                      }));
}

TEST_F(FlowTest, CurrentPageFormSendsOnlyTheVisiblePage) {
    FillEverything();
    main.check[IDC_CHK_CURRENT_PAGE_ONLY] = true;
    page = 0;
    Download();
    EXPECT_EQ(Requests(), (std::vector<std::string>{"AT+DTUMODE=0\r\n", kDtuCfg, kServer2, kServer4}));
    page = 1;
    Download();
    EXPECT_EQ(Requests(), (std::vector<std::string>{"AT+DTUMODE=0\r\n", kDtuCfg, "AT+MODBUSCFG=10,200\r\n",
                                                    "AT+MODBUSCMD=1,010300000001\r\n",
                                                    "AT+MODBUSCMD=3,020300000002\r\n"}));
    page = 2;
    https.check[IDC_HTTPS_CHK_ENABLE] = true;
    Download();
    EXPECT_EQ(Requests(),
              (std::vector<std::string>{"AT+DTUMODE=0\r\n", "AT+HOST=h.example\r\n",
                                        std::string("AT+HOST=") + kDefaultHttpsHost + ":443\r\n"}));
    page = 3;
    tcp.text[IDC_TCP_RESET_TIME] = "0";  // the input rules belong to the first two pages only
    events.clear();
    EXPECT_TRUE(Download().Ok());
    EXPECT_EQ(Requests(),
              (std::vector<std::string>{"AT+DTUMODE=0\r\n", "AT+MQTTCFG=m.example,1883,c1,mu,mp,1,60\r\n",
                                        "AT+SUBTOPIC=s1,s3\r\n", "AT+PUBTOPIC=\r\n"}));
    EXPECT_EQ(events.back(), "PUBTOPIC parameters download successfully!");
}

TEST_F(FlowTest, HttpsPageWithHttpsOffSaysSoAndSendsOnlyTheMode) {
    main.check[IDC_CHK_CURRENT_PAGE_ONLY] = true;
    page = 2;
    const FlowOutcome out = Download();
    EXPECT_FALSE(out.Ok());
    EXPECT_EQ(Requests(), (std::vector<std::string>{"AT+DTUMODE=0\r\n"}));
    EXPECT_EQ(events, (std::vector<std::string>{"\r\nStart downloading parameters...",
                                                "DTUMODE set successfully!", "HTTPS is not enabled!"}));
}

TEST_F(FlowTest, InputRuleStopsAfterTheModeAndTheExtendedParametersFollow) {
    FillEverything();
    tcp.text[IDC_TCP_BEAT] = "0XABC";  // odd length fails R2
    const FlowOutcome out = Download();
    EXPECT_EQ(out.refusal, "The hex Beat are invalid!");
    EXPECT_EQ(tcp.focused, IDC_TCP_BEAT);
    EXPECT_EQ(Requests(), (std::vector<std::string>{"AT+DTUMODE=0\r\n", "AT+CNMP=38\r\n",
                                                    "AT+CGDCONT=1,\"IP\",\"internet\"\r\n", "AT+CGAUTH=1\r\n",
                                                    "AT+CGAUTH=1,1,\"p\",\"u\"\r\n"}));
    ASSERT_GE(events.size(), 5u);
    EXPECT_EQ(events[2], "[box] The hex Beat are invalid!");  // the box first, then the log line
    EXPECT_EQ(events[3], "The hex Beat are invalid!");
    EXPECT_EQ(events[4], "\r\nDownloading extended params...");

    // R1 comes before R2, and R3 has its own wording in the current-page form.
    tcp.text[IDC_TCP_RESET_TIME] = "0";
    EXPECT_EQ(Download().refusal, "ResetTime cannot be set to 0!");
    EXPECT_EQ(tcp.focused, IDC_TCP_RESET_TIME);
    tcp.text[IDC_TCP_RESET_TIME] = "";
    tcp.text[IDC_TCP_BEAT] = "0X0A";
    tcp.text[IDC_TCP_NET_RECEIVE] = "00005";
    main.check[IDC_CHK_CURRENT_PAGE_ONLY] = true;
    page = 1;
    EXPECT_EQ(Download().refusal, "网络侧接收缓存内容无效!");
    EXPECT_EQ(Requests(), (std::vector<std::string>{"AT+DTUMODE=0\r\n"}));
}

TEST_F(FlowTest, AValueThatCannotBeSentRefusesThePressBeforeAnyByteNamingTheParameter) {
    struct Case {
        MapControls* page;
        int id;
        std::string value;
        const char* message;
    };
    const Case cases[] = {
        {&tcp, IDC_TCP_REGPACKET, "A,B", "RegisterText cannot contain a comma!"},
        {&tcp, IDC_TCP_PORT1, "-1", "Port must be a whole number from 1 to 65535!"},
        {&tcp, IDC_TCP_PORT4, "65536", "ServerPort4 must be a whole number from 1 to 65535!"},
        {&tcp, IDC_TCP_RESET_TIME, "-5", "ResetTime must be a whole number from 1 to 83333333!"},
        {&tcp, IDC_TCP_BEAT_PERIOD, "601", "BeatInterval must be a whole number from 1 to 600!"},
        {&mqtt, IDC_MQTT_PORT, "70000", "PORT must be a whole number from 1 to 65535!"},
        {&mqtt, IDC_MQTT_SUBTOPIC2, "a\nAT+CRESET", "SUBTOPIC2 cannot contain a line break!"},
        {&mqtt, IDC_MQTT_CLIENT_ID, "c\x1b", "ClientId cannot contain a control character!"},
        {&modbus, IDC_MODBUS_CMD3, "01\x1a", "ModbusCmd3 cannot contain a control character!"},
        {&https, IDC_HTTPS_ADDR, "h\"x", "HttpsServerAddr cannot contain a double quote!"},
        {&main, IDC_EDIT_APN_USER, "u\",\"x", "Username cannot contain a double quote!"},
        {&main, IDC_EDIT_APN_PWD, "p\x01", "Password cannot contain a control character!"},
        {&main, IDC_EDIT_APN, std::string(101, 'a'), "APN cannot be longer than 100 bytes!"},
        {&main, IDC_EDIT_APN, "inter\rnet", "APN cannot contain a line break!"},
    };
    for (const Case& c : cases) {
        FillEverything();
        https.check[IDC_HTTPS_CHK_ENABLE] = c.page == &https;  // HTTPS on skips the extended parameters
        const std::string kept = c.page->text[c.id];
        c.page->text[c.id] = c.value;
        c.page->focused = 0;
        events.clear();
        const FlowOutcome out = Download();
        EXPECT_EQ(out.refusal, c.message);
        EXPECT_TRUE(Requests().empty()) << c.message;
        EXPECT_EQ(c.page->focused, c.id) << c.message;
        EXPECT_EQ(events, (std::vector<std::string>{"\r\nStart downloading parameters...",
                                                    std::string("[box] ") + c.message, c.message}));
        c.page->text[c.id] = kept;
    }
    FillEverything();
    https.check[IDC_HTTPS_CHK_ENABLE] = false;
    EXPECT_TRUE(Download().Ok()) << "every case put its value back";
}

TEST_F(FlowTest, AClearedTypeOrNetworkModeIsRefusedRatherThanSentEmpty) {
    FillEverything();
    main.sel[IDC_COMBO_TYPE] = -1;  // as a type outside the list leaves it, from the module or a file
    EXPECT_EQ(Download().refusal, "SockType must be one of TCP, UDP, MQTT, HTTP(S)!");
    EXPECT_TRUE(Requests().empty());
    EXPECT_EQ(main.focused, IDC_COMBO_TYPE);
    main.sel[IDC_COMBO_TYPE] = 0;
    main.sel[IDC_COMBO_NETMODE] = -1;
    EXPECT_EQ(Download().refusal, "NetMode must be one of 2G, 4G, AUTO!");
    EXPECT_TRUE(Requests().empty());
    main.sel[IDC_COMBO_BAUDRATE] = -1;
    main.sel[IDC_COMBO_NETMODE] = 1;
    EXPECT_EQ(Download().refusal,
              "BaudRate must be one of 300, 600, 1200, 2400, 4800, 9600, 19200, 38400, "
              "57600, 115200, 230400, 460800, 921600!");
    EXPECT_TRUE(Requests().empty());
}

TEST_F(FlowTest, OnlyTheValuesThePressSendsAreJudged) {
    FillEverything();
    // Not sent by the MQTT page alone: a bad TCP port, a bad APN, a comma in a MODBUS command.
    tcp.text[IDC_TCP_PORT1] = "-1";
    main.text[IDC_EDIT_APN] = "a\"b";
    modbus.text[IDC_MODBUS_CMD1] = "01,03";
    main.check[IDC_CHK_CURRENT_PAGE_ONLY] = true;
    page = 3;
    EXPECT_TRUE(Download().Ok());
    EXPECT_EQ(Requests().size(), 4u);
    // A comma inside a MODBUS command is its last field and goes through; a server that is not
    // enabled is not sent.
    page = 1;
    tcp.text[IDC_TCP_PORT1] = "5000";
    tcp.check[IDC_TCP_CHK_SERVER2] = false;
    tcp.text[IDC_TCP_PORT2] = "0";
    EXPECT_TRUE(Download().Ok());
    EXPECT_EQ(Requests()[2], "AT+MODBUSCFG=10,200\r\n");
    EXPECT_EQ(Requests()[3], "AT+MODBUSCMD=1,01,03\r\n");
    // A user name without a password is not sent (the credentials are cleared), so it is not judged.
    main.check[IDC_CHK_CURRENT_PAGE_ONLY] = false;
    main.text[IDC_EDIT_APN] = "internet";
    main.text[IDC_EDIT_APN_USER] = "u\"x";
    main.text[IDC_EDIT_APN_PWD] = "";
    EXPECT_TRUE(Download().Ok());
    EXPECT_EQ(Requests().back(), "AT+CGAUTH=1\r\n");
}

TEST_F(FlowTest, TheExtendedDownloadAloneRefusesBeforeCnmp) {
    FillEverything();
    main.text[IDC_EDIT_APN_PWD] = "pass\",\"x";
    m_sim.ClearRequests();
    ExtendedParams extended(
        main, *at, [this](const std::string& s) { Log(s); },
        [this](const std::string& s) { events.push_back("[box] " + s); });
    const FlowOutcome out = extended.DownloadExtendedParams(false);
    EXPECT_EQ(out.refusal, "Password cannot contain a double quote!");
    EXPECT_EQ(main.focused, IDC_EDIT_APN_PWD);
    EXPECT_TRUE(Requests().empty());
}

TEST_F(FlowTest, AFailedCommandDoesNotStopTheNext) {
    FillEverything();
    m_sim.SetReply(std::string(kServer2).substr(0, std::string(kServer2).size() - 2), "\r\nERROR\r\n");
    const FlowOutcome out = Download();
    EXPECT_EQ(out.failedSteps, 1);
    EXPECT_EQ(events[3], "MultiSockCfg-2 parameters download failed!");
    EXPECT_EQ(events[4], "MultiSockCfg-4 parameters download successfully!");
    EXPECT_EQ(Requests().size(), 14u);
}

TEST_F(FlowTest, WithoutAnAtPortEachCommandSaysSoBeforeItsFailure) {
    FillEverything();
    com = 0;
    main.check[IDC_CHK_CURRENT_PAGE_ONLY] = true;
    page = 0;
    const FlowOutcome out = Download();
    EXPECT_EQ(out.failedSteps, 4);
    EXPECT_TRUE(Requests().empty());
    EXPECT_EQ(events, (std::vector<std::string>{
                          "\r\nStart downloading parameters...", "No scan AT port! ", "DTUMODE set failed!",
                          "No scan AT port! ", "DTUCFG parameters download failed!", "No scan AT port! ",
                          "MultiSockCfg-2 parameters download failed!", "No scan AT port! ",
                          "MultiSockCfg-4 parameters download failed!"}));
}

TEST_F(FlowTest, HttpsEnabledSkipsTheExtendedParameters) {
    FillEverything();
    https.check[IDC_HTTPS_CHK_ENABLE] = true;
    https.text[IDC_HTTPS_ADDR] = "";
    https.text[IDC_HTTPS_PORT] = "";  // both empty: no HOST command, no HTTPS line
    Download();
    EXPECT_EQ(Requests().back(), "AT+PUBTOPIC=\r\n");
    EXPECT_EQ(events.back(), "PUBTOPIC parameters download successfully!");
    EXPECT_EQ(Requests().size(), 10u);
}

TEST_F(FlowTest, CredentialFormsBySimType) {
    FillEverything();
    main.sel[IDC_COMBO_SIMTYPE] = 0;  // telecom card: a second command, user first
    Download();
    auto r = Requests();
    ASSERT_EQ(r.size(), 15u);
    EXPECT_EQ(r[13], "AT+CGAUTH=1,1,\"p\",\"u\"\r\n");
    EXPECT_EQ(r[14], "AT+CGAUTH=,,\"u\",\"p\"\r\n");

    // The second is sent only after the first succeeded.
    m_sim.SetReply("AT+CGAUTH=1,1,\"p\",\"u\"", "\r\nERROR\r\n");
    events.clear();
    Download();
    EXPECT_EQ(Requests().size(), 14u);
    EXPECT_EQ(events.back(), "Set user name and password failed!");
    m_sim.ClearReplies();

    // An empty password clears the credentials and sets none.
    main.text[IDC_EDIT_APN_PWD] = "";
    events.clear();
    Download();
    EXPECT_EQ(Requests().back(), "AT+CGAUTH=1\r\n");
    const std::vector<std::string> tail(events.end() - 3, events.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"User name or password is empty",
                                              "Clear original user name and password successfully",
                                              "Download extended params finished!"}));
}

TEST_F(FlowTest, GetFillsWhatTheModuleReportsAndLeavesTheRest) {
    at->SetPacing(atlink::Pacing::Fixed);
    m_sim.SetValue("DTUCFG", "9600,g.example,7000,UDP,1,HELLO,30,0X0A0B,1,100,0,500,1,1,0,0,780");
    m_sim.SetValue("DTUMODE", "1");
    m_sim.SetValue("CNMP", "13");
    m_sim.SetValue("APN", "apn.example");
    m_sim.SetValue("CGAUTH", "1,1,\"gu\",\"gp\"");
    m_sim.SetValue("CIMI", "460110123456789");
    m_sim.SetValue("CSUB1", "one");
    m_sim.SetValue("CSUB2", "two_three");
    tcp.text[IDC_TCP_ADDR2] = "kept";
    mqtt.text[IDC_MQTT_ADDR] = "kept too";
    main.sel[IDC_COMBO_LOGLEVEL] = 1;
    const FlowOutcome out = Get();
    EXPECT_TRUE(out.Ok());
    EXPECT_EQ(events, (std::vector<std::string>{"\r\nStart reading parameters...", "Getting version... ",
                                                "CSUB get successfully! ", "VER get successfully! ",
                                                "CIMI get successfully! ", "\r\nGetting extended params...",
                                                "Get extended params finished!"}));
    EXPECT_EQ(main.text[IDC_EDIT_FIRMWARE], m_sim.Value("GMR"));
    EXPECT_EQ(main.text[IDC_EDIT_HW1], "one");
    EXPECT_EQ(main.text[IDC_EDIT_HW2], "two_three");
    EXPECT_EQ(main.text[IDC_EDIT_APP_VERSION], m_sim.Value("VER"));
    EXPECT_EQ(main.sel[IDC_COMBO_SIMTYPE], 0);
    EXPECT_EQ(main.GetWindowText(IDC_COMBO_BAUDRATE), "9600");
    EXPECT_EQ(main.GetWindowText(IDC_COMBO_TYPE), "UDP");  // DTUCFG overrides the mode's HTTP(S)
    EXPECT_EQ(main.GetWindowText(IDC_COMBO_SERIAL_TYPE), "485");
    EXPECT_EQ(main.GetWindowText(IDC_COMBO_NETMODE), "2G");
    EXPECT_EQ(main.text[IDC_EDIT_APN], "apn.example");
    EXPECT_EQ(main.text[IDC_EDIT_APN_USER], "gu");
    EXPECT_EQ(main.text[IDC_EDIT_APN_PWD], "gp");
    EXPECT_EQ(tcp.text[IDC_TCP_ADDR1], "g.example");
    EXPECT_EQ(tcp.text[IDC_TCP_PORT1], "7000");
    EXPECT_TRUE(tcp.Checked(IDC_TCP_CHK_REGPACKET));
    EXPECT_EQ(tcp.text[IDC_TCP_REGPACKET], "HELLO");
    EXPECT_EQ(tcp.text[IDC_TCP_BEAT], "0A0B");
    EXPECT_TRUE(tcp.Checked(IDC_TCP_CHK_HEX));
    EXPECT_EQ(tcp.text[IDC_TCP_TRIGGER_TIME], "500");
    EXPECT_EQ(tcp.text[IDC_TCP_TRIGGER_LENGTH], "1");
    EXPECT_EQ(tcp.text[IDC_TCP_NET_RECEIVE], "100");
    EXPECT_EQ(tcp.text[IDC_TCP_RESET_TIME], "65");
    EXPECT_TRUE(tcp.Checked(IDC_TCP_CLOUD_ENABLE));
    EXPECT_FALSE(tcp.Checked(IDC_TCP_CLOUD_DISABLE));
    EXPECT_TRUE(tcp.Checked(IDC_TCP_URC_ENABLE));
    EXPECT_EQ(tcp.text[IDC_TCP_ADDR2], "kept");
    EXPECT_EQ(mqtt.text[IDC_MQTT_ADDR], "kept too");
    EXPECT_EQ(main.sel[IDC_COMBO_LOGLEVEL], 1);
}

TEST_F(FlowTest, GetOrderOfDtuCfgControlWrites) {
    m_sim.SetValue("DTUCFG", "115201,x,1,TCP,0,,60,ABC,0,,0,,,0,0,0,");
    Get();
    // The hex flag, the baud rate and the serial type come before the record.
    ASSERT_GE(main.writes.size(), 3u);
    EXPECT_FALSE(tcp.Checked(IDC_TCP_CHK_HEX));
    EXPECT_EQ(main.sel[IDC_COMBO_BAUDRATE], -1);  // no such item clears the selection
    EXPECT_EQ(main.sel[IDC_COMBO_SERIAL_TYPE], -1);
    EXPECT_EQ(tcp.text[IDC_TCP_BEAT], "ABC");
    EXPECT_EQ(tcp.text[IDC_TCP_RESET_TIME], "0");  // ends right after the 16th comma
    EXPECT_EQ(tcp.text[IDC_TCP_ADDR1], "x");
    EXPECT_EQ(tcp.writes.front(), IDC_TCP_CHK_HEX);
    EXPECT_EQ(tcp.writes.back(), IDC_TCP_RESET_TIME);
}

TEST_F(FlowTest, GetWithAShortAnswerOrNoPortChangesNothing) {
    m_sim.SetValue("DTUCFG", "a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p");  // 15 commas
    m_sim.SetValue("CGAUTH", "1,0");
    tcp.text[IDC_TCP_ADDR1] = "before";
    Get();
    EXPECT_EQ(tcp.text[IDC_TCP_ADDR1], "before");
    EXPECT_EQ(events[5], "DTUCFG parameters are incomplete!");
    EXPECT_EQ(events.back(), "Getting user name and password failed!");

    com = 0;
    events.clear();
    const FlowOutcome out = Get();
    EXPECT_EQ(events, (std::vector<std::string>{
                          "\r\nStart reading parameters...", "Getting version... ", "No scan AT port! ",
                          "No scan AT port! ", "DTUCFG parameters get failed!",
                          "\r\nGetting extended params...", "No scan AT port! ", "No scan AT port! ",
                          "No scan AT port! ", "Getting user name and password failed!"}));
    // No version, DTUCFG, CNMP, CGDCONT or CGAUTH read.
    EXPECT_EQ(out.failedSteps, 5);
    EXPECT_EQ(tcp.text[IDC_TCP_ADDR1], "before");
    EXPECT_EQ(main.sel[IDC_COMBO_NETMODE], 2) << "a mode read that got nothing leaves the mode";
}

// The window logs nothing for the firmware version, the working mode, the network mode and the
// APN. A read of one of them that gets an error or no answer is still a failed step of the Get,
// named by its request; the log stays that of a sound Get, and the control keeps its value.
TEST_F(FlowTest, ReadsThatLogNothingStillCountWhenTheyFailAndLeaveTheirControl) {
    const std::vector<std::string> soundLog = [this] {
        EXPECT_TRUE(Get().Ok());
        return events;
    }();
    const struct {
        std::string request;
        std::string failure;
    } reads[] = {
        {"AT+GMR", "AT+GMR got no firmware version"},
        {"AT+DTUMODE?", "AT+DTUMODE? got no working mode"},
        {"AT+CNMP?", "AT+CNMP? got no network mode"},
        {"AT+CGDCONT?", "AT+CGDCONT? got no APN"},
    };
    for (const auto& read : reads) {
        for (const bool silent : {false, true}) {
            SCOPED_TRACE(read.request + (silent ? " silent" : " ERROR"));
            m_sim.ClearReplies();
            sim::Behaviour behaviour;
            if (silent) {
                behaviour.silent = true;
                behaviour.onlyFor = read.request;
            } else {
                m_sim.SetReply(read.request, "\r\nERROR\r\n");
            }
            m_sim.SetBehaviour(behaviour);
            main.text[IDC_EDIT_FIRMWARE] = "fw.before";
            main.sel[IDC_COMBO_NETMODE] = 0;  // 2G; the module reports AUTO
            main.text[IDC_EDIT_APN] = "apn.before";
            events.clear();
            const FlowOutcome out = Get();
            EXPECT_EQ(out.failedSteps, 1);
            EXPECT_EQ(out.firstFailure, read.failure);
            EXPECT_EQ(events, soundLog);
            EXPECT_EQ(main.text[IDC_EDIT_FIRMWARE] == "fw.before", read.request == "AT+GMR");
            EXPECT_EQ(main.sel[IDC_COMBO_NETMODE] == 0, read.request == "AT+CNMP?");
            EXPECT_EQ(main.text[IDC_EDIT_APN] == "apn.before", read.request == "AT+CGDCONT?");
            // The Get's DTUCFG read sets the Type combo after the mode read: the version read
            // alone shows that a failed mode read leaves it (the module's mode 0 would be TCP).
            main.sel[IDC_COMBO_TYPE] = 2;
            ReadFlow flow(main, tcp, *at, [this](const std::string& s) { Log(s); });
            EXPECT_EQ(flow.ReadVersions().Ok(), read.request != "AT+DTUMODE?" && read.request != "AT+GMR");
            EXPECT_EQ(main.sel[IDC_COMBO_TYPE] == 2, read.request == "AT+DTUMODE?");
        }
    }
    // An empty APN and the mode 0 are what the module reports, not failures.
    m_sim.ClearReplies();
    m_sim.SetBehaviour(sim::Behaviour{});
    m_sim.SetValue("APN", "");
    main.text[IDC_EDIT_APN] = "apn.before";
    EXPECT_TRUE(Get().Ok());
    EXPECT_EQ(main.text[IDC_EDIT_APN], "");
}

TEST_F(FlowTest, GetAfterDownloadReadsBackWhatWasWritten) {
    FillEverything();
    ASSERT_TRUE(Download().Ok());
    MapControls sentMain = main;
    MapControls sentTcp = tcp;
    main = MapControls();
    tcp = MapControls();
    InitParameterControls(main);
    ASSERT_TRUE(Get().Ok());
    for (int id : {IDC_TCP_ADDR1, IDC_TCP_PORT1, IDC_TCP_REGPACKET, IDC_TCP_BEAT_PERIOD, IDC_TCP_BEAT,
                   IDC_TCP_TRIGGER_TIME, IDC_TCP_TRIGGER_LENGTH, IDC_TCP_NET_RECEIVE, IDC_TCP_RESET_TIME}) {
        EXPECT_EQ(tcp.text[id], sentTcp.text[id]) << id;
    }
    EXPECT_TRUE(tcp.Checked(IDC_TCP_CHK_HEX));
    EXPECT_TRUE(tcp.Checked(IDC_TCP_CLOUD_ENABLE));
    EXPECT_FALSE(tcp.Checked(IDC_TCP_URC_ENABLE));
    for (int id : {IDC_COMBO_TYPE, IDC_COMBO_NETMODE, IDC_COMBO_BAUDRATE}) {
        EXPECT_EQ(main.sel[id], sentMain.sel[id]) << id;
    }
    for (int id : {IDC_EDIT_APN, IDC_EDIT_APN_USER, IDC_EDIT_APN_PWD}) {
        EXPECT_EQ(main.text[id], sentMain.text[id]) << id;
    }
}

TEST_F(FlowTest, ModuleCheckFindsAFieldTheModuleStoredWrongly) {
    FillEverything();
    ReadFlow reader(main, tcp, *at, [this](const std::string& s) { Log(s); });
    DownloadFlow writer(
        {main, tcp, modbus, https, mqtt}, *at, [this](const std::string& s) { Log(s); }, {},
        [] { return 0; });
    ASSERT_TRUE(writer.OnBtnDownload().Ok());
    ASSERT_TRUE(reader.OnBtnGet().Ok());
    EXPECT_TRUE(CompareWithModule(writer.Sent(), reader.Read()).empty());

    m_sim.SetValue(sim::DtuModel::kDtuCfgStoreFault, "3=5001");
    ASSERT_TRUE(writer.OnBtnDownload().Ok());
    ASSERT_TRUE(reader.OnBtnGet().Ok());
    EXPECT_EQ(CompareWithModule(writer.Sent(), reader.Read()),
              (std::vector<std::string>{"Port: sent 5000, module reports 5001"}));
}

}  // namespace
}  // namespace parameters::test
