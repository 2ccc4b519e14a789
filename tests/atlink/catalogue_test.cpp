// The query and set commands through the simulator: exact requests, forms and special cycles.
#include <gtest/gtest.h>

#include "atlink/at_serial_port.h"
#include "platform/serial_port.h"
#include "tests/support/sim_fixture.h"

namespace {

class Catalogue : public testsupport::SimulatorTest {
  protected:
    std::string OnlyRequest() {
        const auto requests = m_sim.Requests();
        EXPECT_EQ(requests.size(), 1u);
        m_sim.ClearRequests();
        return requests.empty() ? std::string() : requests.back().bytes;
    }
    atlink::CSerialPort m_port;
};

}  // namespace

TEST_F(Catalogue, QueriesSendTheirRequestsAndReturnTheValues) {
    EXPECT_EQ(m_port.QueryDtuMode(Com()), 0);  // the simulator starts in mode 0
    EXPECT_EQ(OnlyRequest(), "AT+DTUMODE?\r\n");
    EXPECT_EQ(m_port.QueryCimi(Com()), "001010123456789");
    EXPECT_EQ(OnlyRequest(), "AT+CIMI\r\n");
    EXPECT_EQ(m_port.QueryDtuCfg(Com()), m_sim.Value("DTUCFG"));
    EXPECT_EQ(OnlyRequest(), "AT+DTUCFG?\r\n");
    EXPECT_EQ(m_port.QueryCnmp(Com()), "2");
    EXPECT_EQ(OnlyRequest(), "AT+CNMP?\r\n");
    EXPECT_EQ(m_port.QueryAuth(Com()), "1,0");
    EXPECT_EQ(OnlyRequest(), "AT+CGAUTH?\r\n");
    EXPECT_EQ(m_port.QueryApn(Com()), "cmnet");
    EXPECT_EQ(OnlyRequest(), "AT+CGDCONT?\r\n");
    EXPECT_EQ(m_port.QueryGmr(Com()), "MQ4G_FW_1.2.3");
    EXPECT_EQ(OnlyRequest(), "AT+GMR\r\n");
    EXPECT_EQ(m_port.QueryCsub(Com()), "V01B02_2026-06-01");
    EXPECT_EQ(OnlyRequest(), "AT+CSUB\r\n");
    EXPECT_EQ(m_port.QueryVer(Com()), "DTU_APP_3.7.0");
    EXPECT_EQ(OnlyRequest(), "AT+VER\r\n");
    EXPECT_FALSE(m_port.IsOpen());
}

TEST_F(Catalogue, SetsSendPrefixArgumentAndLineEndVerbatim) {
    struct Row {
        atlink::BOOL (atlink::CSerialPort::*set)(int, const std::string&);
        std::string arg;
        std::string request;
    };
    const std::string cfg = "9600,h,1,TCP,0,,60,0X41,0,0,0,10,20,0,0,0,24";
    const std::vector<Row> rows = {
        {&atlink::CSerialPort::SetDtuCfg, cfg, "AT+DTUCFG=" + cfg + "\r\n"},
        {&atlink::CSerialPort::SetMultiSockCfg, "1,a.example,80,TCP",
         "AT+MULTISOCKCFG=1,a.example,80,TCP\r\n"},
        {&atlink::CSerialPort::SetModbusCfg, "1,5", "AT+MODBUSCFG=1,5\r\n"},
        {&atlink::CSerialPort::SetModbusCmd, "2,010300", "AT+MODBUSCMD=2,010300\r\n"},
        {&atlink::CSerialPort::SetDtuMode, "2", "AT+DTUMODE=2\r\n"},
        {&atlink::CSerialPort::SetHost, "example.org:443", "AT+HOST=example.org:443\r\n"},
        {&atlink::CSerialPort::SetMqttCfg, "\"a b\",\"c,d\"", "AT+MQTTCFG=\"a b\",\"c,d\"\r\n"},
        {&atlink::CSerialPort::SetSubTopic, "t/1", "AT+SUBTOPIC=t/1\r\n"},
        {&atlink::CSerialPort::SetPubTopic, "t/2", "AT+PUBTOPIC=t/2\r\n"},
        {&atlink::CSerialPort::SetCnmp, "13", "AT+CNMP=13\r\n"},
        {&atlink::CSerialPort::SetAuth, "1,1,\"pw\",\"user\"", "AT+CGAUTH=1,1,\"pw\",\"user\"\r\n"},
    };
    for (const auto& row : rows) {
        EXPECT_TRUE((m_port.*row.set)(Com(), row.arg)) << row.request;
        EXPECT_EQ(OnlyRequest(), row.request);
    }
    EXPECT_EQ(m_sim.Value("DTUCFG"), cfg);
    EXPECT_EQ(m_sim.Value("CNMP"), "13");
    EXPECT_FALSE(m_port.SetCnmp(Com(), ""));  // refused by the module: no "OK"
    EXPECT_EQ(OnlyRequest(), "AT+CNMP=\r\n");
}

TEST_F(Catalogue, SetApnWrapsTheApnAsContextOne) {
    EXPECT_TRUE(m_port.SetApn(Com(), "internet"));
    const std::string request = OnlyRequest();
    EXPECT_EQ(request, "AT+CGDCONT=1,\"IP\",\"internet\"\r\n");
    EXPECT_EQ(request.size(), 19u + 8u + 1u + 2u);
    EXPECT_EQ(m_port.QueryApn(Com()), "internet");
}

TEST_F(Catalogue, ArgumentWithALineEndIsNeverSent) {
    EXPECT_FALSE(m_port.SetHost(Com(), "x\r\nAT+CRESET"));
    EXPECT_FALSE(m_port.SetDtuMode(Com(), "1\n"));
    EXPECT_FALSE(m_port.SetApn(Com(), "apn\r"));
    EXPECT_TRUE(m_sim.Requests().empty());
    EXPECT_FALSE(LogExists());
    EXPECT_TRUE(m_sim.Present());  // nothing reset the module
}

TEST_F(Catalogue, ArgumentlessSetsAndReset) {
    EXPECT_TRUE(m_port.SetAuth(Com(), "1,1,\"pw\",\"user\""));
    m_sim.ClearRequests();
    EXPECT_TRUE(m_port.ClearAuth(Com()));
    EXPECT_EQ(OnlyRequest(), "AT+CGAUTH=1\r\n");
    EXPECT_EQ(m_sim.Value("CGAUTH"), "1,0");
    EXPECT_TRUE(m_port.ResetModule(Com()));
    EXPECT_EQ(OnlyRequest(), "AT+CRESET\r\n");
}

TEST_F(Catalogue, OpenPortFormsUseTheOpenPort) {
    EXPECT_EQ(m_port.QueryCnmp(), "");  // closed: fails without touching anything
    EXPECT_FALSE(m_port.SetCnmp("38"));
    EXPECT_FALSE(LogExists());
    ASSERT_TRUE(m_port.OpenPort(Com()));
    EXPECT_TRUE(m_port.SetCnmp("38"));
    EXPECT_EQ(m_port.QueryCnmp(), "38");
    EXPECT_TRUE(m_port.SetApn("web"));
    EXPECT_EQ(m_port.QueryApn(), "web");
    EXPECT_TRUE(m_port.SetAuth("1,1,\"p\",\"u\""));
    EXPECT_EQ(m_port.QueryAuth(), "1,1,\"u\",\"p\"");  // the module reports the user first
    EXPECT_TRUE(m_port.ClearAuth());
    EXPECT_NE(m_port.QueryDtuCfg(), "");
    EXPECT_TRUE(m_port.IsOpen());
    m_port.ClosePort();
}

TEST_F(Catalogue, AdbCommandsDrainFirstAndSwitchTheInterface) {
    m_sim.SendUnsolicited("\r\n+PENDING: 1\r\n");
    platform::Clock::Pause(20);
    EXPECT_FALSE(m_port.QueryAdb(Com()));
    EXPECT_TRUE(m_port.EnableAdb(Com()));
    EXPECT_TRUE(m_sim.AdbEnabled());
    EXPECT_TRUE(m_port.QueryAdb(Com()));
    EXPECT_TRUE(m_port.HideAdb(Com()));
    EXPECT_FALSE(m_sim.AdbEnabled());
    const auto requests = m_sim.Requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[0].bytes, "AT+CUSBADB?\r\n");
    EXPECT_EQ(requests[1].bytes, "AT+CUSBADB=1\r\n");
    EXPECT_EQ(requests[3].bytes, "AT+CUSBADB=0\r\n");
    // The drained text is logged, before the first request.
    const std::string log = LogText();
    EXPECT_LT(log.find("+PENDING: 1"), log.find("Send: AT+CUSBADB?"));
}

TEST_F(Catalogue, EnableAdbReadsOnWhileReadsBringData) {
    // "OK" comes in a later piece; every piece before it brings data.
    sim::Behaviour b;
    b.splitChunk = 3;
    b.splitGapMs = 10;
    m_sim.SetReply("AT+CUSBADB=1", "\r\n+CUSBADB: switching\r\n\r\nOK\r\n");
    m_sim.SetBehaviour(b);
    EXPECT_TRUE(m_port.EnableAdb(Com()));
}

TEST_F(Catalogue, EnableAdbEndsWithZeroOnAReadThatBringsNothing) {
    sim::Behaviour b;
    b.splitChunk = 12;
    b.splitGapMs = 20000;  // 200 ms at the test scale: far longer than one read's wait
    m_sim.SetReply("AT+CUSBADB=1", "\r\n+CUSBADB: wait\r\n\r\nOK\r\n");
    m_sim.SetBehaviour(b);
    EXPECT_FALSE(m_port.EnableAdb(Com()));
    EXPECT_FALSE(m_port.IsOpen());
}

TEST_F(Catalogue, HideAdbRefusedAfterOneRead) {
    m_sim.SetReply("AT+CUSBADB=0", "\r\n+CME ERROR: 3\r\n");
    EXPECT_FALSE(m_port.HideAdb(Com()));
    EXPECT_EQ(OnlyRequest(), "AT+CUSBADB=0\r\n");
}

TEST_F(Catalogue, SilentModuleFailsEveryKindOfCommand) {
    sim::Behaviour b;
    b.silent = true;
    m_sim.SetBehaviour(b);
    // Nothing ever comes: a read's wait for a first byte need not be the floor meant for answers.
    const platform::ScopedSerialReadFloor shortReads(1);
    EXPECT_EQ(m_port.QueryDtuMode(Com()), 0);
    EXPECT_EQ(m_port.QueryCsub(Com()), "");
    EXPECT_FALSE(m_port.QueryAdb(Com()));
    EXPECT_FALSE(m_port.EnableAdb(Com()));
    EXPECT_FALSE(m_port.HideAdb(Com()));
    EXPECT_FALSE(m_port.SetDtuMode(Com(), "1"));
    EXPECT_FALSE(m_port.IsOpen());
}
