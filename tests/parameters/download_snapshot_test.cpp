// A download judges and sends the same values: controls whose value changes after it was read
// once (as a control-change observer, or the window running while the warning box shows, could
// change it) still send what was judged, so an unchecked value never reaches the module.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "atlink/at_client.h"
#include "flow_fakes.h"
#include "parameters/download_flow.h"
#include "parameters/parameter_controls.h"
#include "parameters/parameter_ids.h"
#include "tests/support/sim_fixture.h"

namespace parameters::test {
namespace {

using namespace marlinq;

// Controls whose value turns into another one after the first read of it.
class ShiftingControls : public MapControls {
  public:
    std::string GetWindowText(int id) const override {
        const bool shifted = laterText.count(id) != 0 && textReads[id]++ > 0;
        return shifted ? laterText.at(id) : MapControls::GetWindowText(id);
    }
    int GetCheck(int id) const override {
        const bool shifted = laterCheck.count(id) != 0 && checkReads[id]++ > 0;
        return shifted ? (laterCheck.at(id) ? fw::BST_CHECKED : fw::BST_UNCHECKED)
                       : MapControls::GetCheck(id);
    }

    std::map<int, std::string> laterText;
    std::map<int, bool> laterCheck;
    mutable std::map<int, int> textReads;
    mutable std::map<int, int> checkReads;
};

class DownloadSnapshotTest : public testsupport::SimulatorTest {
  protected:
    void SetUp() override {
        SimulatorTest::SetUp();
        com = Com();
        at = std::make_unique<atlink::AtClient>(
            atlink::AtClientDeps{manualPort, autoPort, [this] { return com; },
                                 [this](const std::string& s) { events.push_back(s); }});
        // What is sent, not when: each request waits for its answer, so that a slow machine does
        // not fail a step (the fixed pauses at the tests' clock left a loaded one behind).
        at->SetPacing(atlink::Pacing::Answer);
        InitParameterControls(main);
        tcp.check[IDC_TCP_CHK_HEX] = true;
        tcp.check[IDC_TCP_CHK_SERVER1] = true;
        tcp.text[IDC_TCP_ADDR1] = "a.example";
        tcp.text[IDC_TCP_PORT1] = "5000";
        tcp.text[IDC_TCP_RESET_TIME] = "5";
        modbus.check[IDC_MODBUS_CHK_ENABLE] = true;
        modbus.text[IDC_MODBUS_CYCLE] = "10";
        modbus.text[IDC_MODBUS_INTERVAL] = "200";
        modbus.check[IDC_MODBUS_CHK_SET1] = true;
        modbus.text[IDC_MODBUS_CMD1] = "0103";
        https.text[IDC_HTTPS_PORT] = "443";
        mqtt.text[IDC_MQTT_ADDR] = "m.example";
        mqtt.text[IDC_MQTT_SUBTOPIC2] = "s2";
        main.text[IDC_EDIT_APN] = "internet";
        main.text[IDC_EDIT_APN_USER] = "u";
        main.text[IDC_EDIT_APN_PWD] = "p";
    }

    FlowOutcome Download() {
        m_sim.ClearRequests();
        events.clear();
        DownloadFlow flow(
            {main, tcp, modbus, https, mqtt}, *at, [this](const std::string& s) { events.push_back(s); },
            [this](const std::string& s) { events.push_back("[box] " + s); }, [] { return 0; });
        return flow.OnBtnDownload();
    }

    std::vector<std::string> Requests() const {
        std::vector<std::string> out;
        for (const auto& r : m_sim.Requests()) {
            out.push_back(r.bytes);
        }
        return out;
    }

    bool AnyRequestHolds(const std::string& text) const {
        for (const std::string& r : Requests()) {
            if (r.find(text) != std::string::npos) {
                return true;
            }
        }
        return false;
    }

    ShiftingControls main, tcp, modbus, https, mqtt;
    atlink::CSerialPort manualPort;
    std::atomic<atlink::BOOL> autoPort{1};
    int com = 0;
    std::unique_ptr<atlink::AtClient> at;
    std::vector<std::string> events;
};

TEST_F(DownloadSnapshotTest, ATextThatChangesAfterItWasJudgedIsSentAsJudged) {
    // Each later value is one the download refuses to send, and one the serial line would carry.
    struct Case {
        ShiftingControls* page;
        int id;
        std::string later;
        std::string sentAs;  // what a request must hold: the judged value in its place
    };
    const Case cases[] = {
        {&tcp, IDC_TCP_PORT1, "5000,9", "a.example,5000,TCP"},
        {&tcp, IDC_TCP_ADDR1, "a.example,evil", "=115200,a.example,5000"},
        {&modbus, IDC_MODBUS_CMD1, "0103" + std::string(600, 'A'), "AT+MODBUSCMD=1,0103\r\n"},
        {&mqtt, IDC_MQTT_SUBTOPIC2, "s2,s9", "AT+SUBTOPIC=,s2\r\n"},
        {&main, IDC_EDIT_APN, "inter\"net", "AT+CGDCONT=1,\"IP\",\"internet\"\r\n"},
        {&main, IDC_EDIT_APN_USER, "u\",\"x", "AT+CGAUTH=1,1,\"p\",\"u\"\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sentAs);
        c.page->textReads.clear();
        c.page->laterText = {{c.id, c.later}};
        const FlowOutcome out = Download();
        EXPECT_TRUE(out.Ok()) << out.refusal << out.firstFailure;
        EXPECT_FALSE(AnyRequestHolds(c.later));
        EXPECT_TRUE(AnyRequestHolds(c.sentAs));
        EXPECT_EQ(c.page->textReads[c.id], 1) << "the control is read once";
        c.page->laterText.clear();
    }
}

TEST_F(DownloadSnapshotTest, ABoxTickedAfterTheCheckDoesNotSendItsUncheckedValues) {
    // Server 2 is off when its values would be judged and on afterwards; its address cannot be sent.
    tcp.text[IDC_TCP_ADDR2] = "b.example,9";
    tcp.text[IDC_TCP_PORT2] = "6000";
    tcp.laterCheck = {{IDC_TCP_CHK_SERVER2, true}};
    EXPECT_TRUE(Download().Ok());
    EXPECT_FALSE(AnyRequestHolds("MULTISOCKCFG"));
    // DTUCFG field 15 counts the servers the press saw: server 1 alone.
    EXPECT_TRUE(AnyRequestHolds(",0,0,1,60\r\n")) << Requests().at(1);
    EXPECT_EQ(tcp.checkReads[IDC_TCP_CHK_SERVER2], 1);

    // Turned round: on when judged, off afterwards. What was judged is sent.
    tcp.text[IDC_TCP_ADDR2] = "b.example";
    tcp.check[IDC_TCP_CHK_SERVER2] = true;
    tcp.laterCheck = {{IDC_TCP_CHK_SERVER2, false}};
    tcp.checkReads.clear();
    EXPECT_TRUE(Download().Ok());
    EXPECT_TRUE(AnyRequestHolds("AT+MULTISOCKCFG=1,b.example,6000,TCP\r\n"));
}

TEST_F(DownloadSnapshotTest, ARefusedValueIsTheOneThePressRead) {
    // Bad when read, good afterwards: the press is refused for the value it read, and the focus
    // goes to its control.
    mqtt.text[IDC_MQTT_PORT] = "70000";
    mqtt.laterText = {{IDC_MQTT_PORT, "1883"}};
    const FlowOutcome out = Download();
    EXPECT_EQ(out.refusal, "PORT must be a whole number from 1 to 65535!");
    EXPECT_TRUE(Requests().empty());
    EXPECT_EQ(mqtt.focused, IDC_MQTT_PORT);
    EXPECT_EQ(events, (std::vector<std::string>{"\r\nStart downloading parameters...",
                                                "[box] PORT must be a whole number from 1 to 65535!",
                                                "PORT must be a whole number from 1 to 65535!"}));
}

}  // namespace
}  // namespace parameters::test
