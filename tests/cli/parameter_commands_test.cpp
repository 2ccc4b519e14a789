// marlinq-cli get and download run in-process against the simulator on the scaled clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "atlink/at_serial_port.h"
#include "cli/parameter_commands.h"
#include "platform/app_directory.h"
#include "simulator/dtu_model.h"
#include "tests/cli/parameter_run_fixture.h"
#include "tests/support/file_nodes.h"
#include "tests/support/sim_fixture.h"

namespace marlinq::cli {
namespace {

class ParameterCommands : public ParameterRunTest {
  protected:
    // The requests of the download: from its DTUMODE on (the scan's version read comes before).
    std::vector<std::string> DownloadRequests() const {
        std::vector<std::string> all;
        for (const auto& r : m_sim.Requests()) {
            all.push_back(r.bytes);
        }
        const auto first = std::find(all.begin(), all.end(), "AT+DTUMODE=0\r\n");
        return std::vector<std::string>(first, all.end());
    }
    // Every request the module got apart from the scan's version read.
    std::vector<std::string> RequestsBeyondTheVersionRead() const {
        const std::vector<std::string> versionRead = {"AT+GMR\r\n", "AT+CSUB\r\n", "AT+VER\r\n",
                                                      "AT+CIMI\r\n", "AT+DTUMODE?\r\n"};
        std::vector<std::string> rest;
        for (const auto& r : m_sim.Requests()) {
            if (std::find(versionRead.begin(), versionRead.end(), r.bytes) == versionRead.end()) {
                rest.push_back(r.bytes);
            }
        }
        return rest;
    }
    bool Printed(const std::string& line) const { return out.str().find(line + "\n") != std::string::npos; }
};

TEST_F(ParameterCommands, GetPrintsTheShownParameters) {
    EXPECT_EQ(Get({}), 0) << err.str();
    EXPECT_TRUE(Printed("tcp.IPAddr=203.0.113.10"));
    EXPECT_TRUE(Printed("tcp.BeatText=31323334"));
    EXPECT_TRUE(Printed("tcp.BeatHex=1"));
    EXPECT_TRUE(Printed("main.AppVersion=" + m_sim.Value("VER")));
    EXPECT_TRUE(Printed("main.NetMode=AUTO"));
    EXPECT_TRUE(Printed("https.HttpsServerPort=443"));
    EXPECT_TRUE(Printed("mqtt.ConnectState="));  // neither button ticked

    // --out: the parameter file, as Save writes it, instead of the lines.
    const auto file = m_logDir / "shown.xml";
    EXPECT_EQ(GetByAnswer({"--out", file.string()}), 0);
    EXPECT_FALSE(Printed("tcp.IPAddr=203.0.113.10"));
    EXPECT_TRUE(Printed("生成XML文件成功!"));
    const std::string saved = testsupport::ReadFile(file);
    EXPECT_EQ(saved.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<system>\n", 0), 0u)
        << saved;
    EXPECT_NE(saved.find("    <IPAddr>203.0.113.10</IPAddr>\n"), std::string::npos) << saved;
    EXPECT_EQ(GetByAnswer({"--out", (m_logDir / "no/such/dir/x.xml").string()}), 1);
    EXPECT_NE(err.str().find("cannot write"), std::string::npos);
}

TEST_F(ParameterCommands, DownloadLoadsTheParameterFileFirst) {
    const auto file = m_logDir / "params.xml";
    std::ofstream(file) << "<system><SocketCfg><Port>7000</Port><SockType>TCP</SockType></SocketCfg>"
                           "<SerialCfg><ResetTime>2</ResetTime></SerialCfg>"
                           "<NetworkCfg><APN>file.apn</APN></NetworkCfg></system>";
    EXPECT_EQ(DownloadByAnswer({file.string(), "--set", "102:1016=set.apn"}), 0) << out.str() << err.str();
    const auto requests = DownloadRequests();
    ASSERT_GE(requests.size(), 2u);
    EXPECT_EQ(requests[1], "AT+DTUCFG=115200,,7000,TCP,0,,,0X,0,,0,,,0,0,0,24\r\n");
    EXPECT_NE(std::find(requests.begin(), requests.end(), "AT+CGDCONT=1,\"IP\",\"set.apn\"\r\n"),
              requests.end())
        << "--set comes after the file";

    // A file that cannot be loaded sends nothing.
    std::ofstream(file, std::ios::trunc) << "<config/>";
    EXPECT_EQ(DownloadByAnswer({file.string()}), 1);
    EXPECT_TRUE(Printed("无效的XML文件!"));
    EXPECT_NE(err.str().find("cannot load"), std::string::npos);
    EXPECT_TRUE(DownloadRequests().empty());
    EXPECT_EQ(DownloadByAnswer({file.string(), "second.xml"}), 2) << "one file at most";
}

// get --out writes a device through and keeps it a device; a directory is refused with its
// reason; a download's file that is not UTF-8 is named with the byte, and nothing is sent.
TEST_F(ParameterCommands, FileTargetsAndSourcesSayWhatIsWrongWithThem) {
    const std::string null = (m_logDir / "null").string();
    ASSERT_TRUE(testsupport::MakeCharDevice(null, testsupport::kNullMajor, testsupport::kNullMinor));
    EXPECT_EQ(GetByAnswer({"--out", null}), 0) << err.str();
    EXPECT_EQ(testsupport::TypeAt(null), S_IFCHR);
    EXPECT_EQ(GetByAnswer({"--out", m_logDir.string()}), 1);
    EXPECT_EQ(err.str(), "cannot write " + m_logDir.string() + ": it is a directory\n");

    // "-" prints the parameter file alone on standard output; the log goes to standard error.
    ::testing::internal::CaptureStdout();
    const int printed = GetByAnswer({"--out", "-"});
    const std::string document = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed, 0) << err.str();
    EXPECT_EQ(document.rfind("<?xml ", 0), 0u) << document;
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find("Start reading parameters..."), std::string::npos) << err.str();

    const auto file = m_logDir / "params.xml";
    const std::string bytes = "<system><NetworkCfg><APN>caf\xE9</APN></NetworkCfg></system>";
    std::ofstream(file, std::ios::binary) << bytes;
    EXPECT_EQ(DownloadByAnswer({file.string()}), 1);
    EXPECT_EQ(err.str(), "cannot load " + file.string() + ": not UTF-8 at byte " +
                             std::to_string(bytes.find('\xE9')) + "\n");
    EXPECT_TRUE(DownloadRequests().empty());
}

TEST_F(ParameterCommands, DownloadAppliesEverySetInOrderAndSendsTheFullForm) {
    EXPECT_EQ(Download({"--set", "132:1015=6000", "1019=UDP", "132:1015=6001", "--set", "133:1071=1"}), 0)
        << err.str();
    EXPECT_EQ(
        DownloadRequests(),
        (std::vector<std::string>{"AT+DTUMODE=0\r\n", "AT+DTUCFG=115200,,6001,UDP,0,,,0X,0,,0,,,0,0,0,0\r\n",
                                  "AT+MQTTCFG=,,,,,1,\r\n", "AT+SUBTOPIC=\r\n", "AT+PUBTOPIC=\r\n",
                                  "AT+CNMP=2\r\n", "AT+CGDCONT=1,\"IP\",\"\"\r\n", "AT+CGAUTH=1\r\n"}));
    EXPECT_EQ(m_sim.Value("DTUCFG"), "115200,,6001,UDP,0,,,0X,0,,0,,,0,0,0,0");
}

TEST_F(ParameterCommands, DownloadOfOnePage) {
    EXPECT_EQ(DownloadByAnswer({"--page", "mqtt", "--set", "133:1045=broker.example", "133:1048=t1"}), 0)
        << err.str();
    EXPECT_EQ(DownloadRequests(),
              (std::vector<std::string>{"AT+DTUMODE=0\r\n", "AT+MQTTCFG=broker.example,,,,,0,\r\n",
                                        "AT+SUBTOPIC=t1\r\n", "AT+PUBTOPIC=\r\n"}));
}

TEST_F(ParameterCommands, UsageErrorsSayWhyOnOneLineAndSendNothing) {
    const struct {
        bool get;
        Args args;
        std::string why;
    } cases[] = {
        {false, {"--set"}, "--set needs a value"},
        {false, {"--set", "--verify"}, "--set needs a value"},
        {true, {"--set"}, "--set needs a value"},
        {false, {"--page", "lora"}, "--page takes tcp, modbus, https or mqtt, not \"lora\""},
        {false, {"--page"}, "--page needs a value"},
        {true, {"--out"}, "--out needs a value"},
        {true, {"--out", "--set", "1015=1"}, "--out needs a value"},
        {true, {"--verify"}, "unknown option --verify"},
        {false, {"--out", "x.txt"}, "unknown option --out"},
        {false, {"--verify", "--force"}, "unknown option --force"},
        {false, {"--timeout", "0"}, "--timeout needs a whole number from 1 to 86400, not \"0\""},
        {true, {"--timeout"}, "--timeout needs a value"},
        {true, {"extra"}, "unexpected argument extra"},
        {false, {"--set", "132:9999=1"}, "--set 132:9999=1: control 9999 of dialog 132 is no parameter"},
        {false, {"--set", "1018=9601"}, ""},
        {false, {"--set", "132:1073=ten"}, ""},
        {false, {"--set", "136:1015=1"}, ""},
        {false, {"--set", "1059=v2"}, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.get ? Get(c.args) : Download(c.args), 2) << c.args.back();
        const std::string prefix = std::string("marlinq-cli ") + (c.get ? "get: " : "download: ");
        EXPECT_EQ(err.str().rfind(prefix + c.why, 0), 0u) << err.str();
        const std::string said = err.str();
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_NE(err.str().find("(usage: marlinq-cli " + std::string(c.get ? "get" : "download")),
                  std::string::npos);
    }
    EXPECT_TRUE(m_sim.Requests().empty());
    // A disabled control cannot be changed either; the window has started, nothing is sent.
    EXPECT_EQ(Download({"--set", "132:1061=0"}), 2);
    EXPECT_NE(err.str().find("ServerEnable1 cannot be changed"), std::string::npos);
    EXPECT_TRUE(DownloadRequests().empty());
}

TEST_F(ParameterCommands, RefusalsAndFailedStepsExitOneWithTheirLine) {
    EXPECT_EQ(DownloadByAnswer({"--set", "132:1038=0"}), 1);
    EXPECT_TRUE(Printed("[Marlinq] ResetTime cannot be set to 0!"));
    EXPECT_EQ(err.str(), "Download refused: ResetTime cannot be set to 0!\n");
    EXPECT_EQ(DownloadRequests().size(), 4u);  // DTUMODE and the extended parameters

    m_sim.SetReply("AT+DTUCFG=115200,,6001,UDP,0,,,0X,0,,0,,,0,0,0,0", "\r\nERROR\r\n");
    EXPECT_EQ(DownloadByAnswer({"--set", "132:1015=6001", "1019=UDP"}), 1);
    EXPECT_TRUE(Printed("DTUCFG parameters download failed!"));
    EXPECT_EQ(err.str(), "Download failed: DTUCFG parameters download failed!\n");

    m_sim.ClearReplies();
    m_sim.SetReply("AT+CNMP=2", "\r\nERROR\r\n");
    m_sim.SetReply("AT+MQTTCFG=,,,,,0,", "\r\nERROR\r\n");
    EXPECT_EQ(DownloadByAnswer({}), 1);
    EXPECT_TRUE(Printed("Download CNMP failed!"));
    EXPECT_EQ(err.str(), "Download failed: MQTTCFG parameters download failed! (2 steps failed)\n");

    m_sim.SetReply("AT+DTUCFG?", "\r\nERROR\r\n");
    EXPECT_EQ(GetByAnswer({}), 1);
    EXPECT_EQ(err.str(), "Get failed: DTUCFG parameters get failed!\n");
}

// The reads the window logs nothing for fail the Get as the logged ones do, named by their request.
TEST_F(ParameterCommands, GetExitsOneNamingTheFirstFailedReadAlsoWhenTheWindowLogsNothingForIt) {
    const struct {
        const char* request;
        const char* line;
    } reads[] = {
        {"AT+GMR", "Get failed: AT+GMR got no firmware version\n"},
        {"AT+DTUMODE?", "Get failed: AT+DTUMODE? got no working mode\n"},
        {"AT+CNMP?", "Get failed: AT+CNMP? got no network mode\n"},
        {"AT+CGDCONT?", "Get failed: AT+CGDCONT? got no APN\n"},
    };
    for (const auto& read : reads) {
        SCOPED_TRACE(read.request);
        m_sim.ClearReplies();
        m_sim.SetReply(read.request, "\r\nERROR\r\n");
        EXPECT_EQ(GetByAnswer({}), 1);
        EXPECT_EQ(err.str(), read.line);
    }
    m_sim.SetReply("AT+DTUCFG?", "\r\nERROR\r\n");
    EXPECT_EQ(GetByAnswer({}), 1);
    EXPECT_EQ(err.str(), "Get failed: DTUCFG parameters get failed! (2 steps failed)\n");
}

// A failed read never reaches a file: --out is left as it was, and the exit save keeps the APN
// that Config.xml held.
TEST_F(ParameterCommands, GetOutWritesTheFileOnlyAfterAGetInWhichEveryReadSucceeded) {
    const auto file = m_logDir / "mine.xml";
    const std::string mine =
        "<system><SocketCfg><IPAddr>198.51.100.7</IPAddr></SocketCfg>"
        "<NetworkCfg><APN>my.apn</APN></NetworkCfg></system>";
    for (const char* request : {"AT+DTUCFG?", "AT+CGDCONT?", "AT+GMR"}) {
        SCOPED_TRACE(request);
        m_sim.ClearReplies();
        m_sim.SetReply(request, "\r\nERROR\r\n");
        std::ofstream(file, std::ios::trunc) << mine;
        EXPECT_EQ(GetByAnswer({"--out", file.string()}), 1);
        EXPECT_TRUE(err.str().starts_with("Get failed: ")) << err.str();
        EXPECT_TRUE(err.str().ends_with("; " + file.string() + " was not written\n")) << err.str();
        EXPECT_EQ(testsupport::ReadFile(file), mine);
    }

    m_sim.ClearReplies();
    m_sim.SetReply("AT+CGDCONT?", "\r\nERROR\r\n");
    FreshStart();
    const std::string config = platform::GetAppDirectory() + "Config.xml";
    std::ofstream(config) << mine;
    EXPECT_EQ(RunGet({"--pace", "answer"}, out, err), 1);
    EXPECT_NE(testsupport::ReadFile(config).find("<APN>my.apn</APN>"), std::string::npos)
        << testsupport::ReadFile(config);

    m_sim.ClearReplies();
    EXPECT_EQ(GetByAnswer({"--out", file.string()}), 0) << err.str();
    EXPECT_NE(testsupport::ReadFile(file).find("<APN>cmnet</APN>"), std::string::npos);
}

TEST_F(ParameterCommands, SetValuesTheModuleCannotTakeAreUsageErrorsAndNothingIsSent) {
    const struct {
        std::string setting;
        std::string why;
    } cases[] = {
        {"132:1015=" + std::string(100000, '9'), ": Port must be a whole number from 1 to 65535 (usage:"},
        {"132:1015=-1", "132:1015=-1: Port must be a whole number from 1 to 65535 (usage:"},
        {"133:1015=70000", "133:1015=70000: PORT must be a whole number from 1 to 65535 (usage:"},
        {"132:1038=-5", "132:1038=-5: ResetTime must be a whole number from 1 to 83333333 (usage:"},
        {"102:1016=" + std::string(100 * 1024, 'a'), ": APN cannot be longer than 100 bytes (usage:"},
        {"102:1017=u\",\"x", "102:1017=u\",\"x: Username cannot contain a double quote (usage:"},
        {"102:1027=p\x1b[2J", "102:1027=p\\x1B[2J: Password cannot contain a control character (usage:"},
        {"133:1048=t\x1a", "133:1048=t\\x1A: SUBTOPIC1 cannot contain a control character (usage:"},
        {"132:1021=A,B", "132:1021=A,B: RegisterText cannot contain a comma (usage:"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Download({"--set", c.setting}), 2) << c.why;
        EXPECT_NE(err.str().find(c.why), std::string::npos) << err.str().substr(0, 200);
        EXPECT_LT(err.str().size(), 300u) << "the line shows the start of a long value only";
        const std::string said = err.str();
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1);
        EXPECT_TRUE(m_sim.Requests().empty()) << c.why;
    }
    // The limits themselves are taken.
    EXPECT_EQ(
        DownloadByAnswer({"--set", "132:1015=65535", "133:1015=1", "102:1016=" + std::string(100, 'a')}), 0)
        << err.str();
}

TEST_F(ParameterCommands, FileValuesTheModuleCannotTakeRefuseTheDownloadBeforeAnyByte) {
    const auto file = m_logDir / "hostile.xml";
    const struct {
        std::string leaf;
        std::string refusal;
    } cases[] = {
        {"<SocketCfg><SockType>FOO</SockType></SocketCfg>",
         "SockType must be one of TCP, UDP, MQTT, HTTP(S)!"},
        {"<SocketCfg><SockType>UDP</SockType><Port>-1</Port></SocketCfg>",
         "Port must be a whole number from 1 to 65535!"},
        {"<SerialCfg><ResetTime>-5</ResetTime></SerialCfg>",
         "ResetTime must be a whole number from 1 to 83333333!"},
        {"<MQTTCfg><PORT>70000</PORT></MQTTCfg>", "PORT must be a whole number from 1 to 65535!"},
        {"<MQTTCfg><HeartPeriod>999999999999</HeartPeriod></MQTTCfg>",
         "HeartPeriod must be a whole number from 0 to 65535!"},
        {"<NetworkCfg><Username>u\",\"x</Username><Password>pass</Password></NetworkCfg>",
         "Username cannot contain a double quote!"},
        {"<NetworkCfg><APN>a&#9;b</APN></NetworkCfg>", "APN cannot contain a control character!"},
        {"<FunctionCfg><RegisterText>R\tS</RegisterText></FunctionCfg>",
         "RegisterText cannot contain a control character!"},
    };
    for (const auto& c : cases) {
        const std::string socket =
            c.leaf.find("<SocketCfg>") == 0 ? "" : "<SocketCfg><SockType>TCP</SockType></SocketCfg>";
        std::ofstream(file, std::ios::trunc) << "<system>" << socket << c.leaf << "</system>";
        EXPECT_EQ(DownloadByAnswer({file.string()}), 1) << c.refusal;
        EXPECT_EQ(err.str(), "Download refused: " + c.refusal + "\n");
        EXPECT_TRUE(Printed("[Marlinq] " + c.refusal)) << out.str();
        EXPECT_TRUE(RequestsBeyondTheVersionRead().empty()) << c.refusal;
    }
}

TEST_F(ParameterCommands, NoModuleIsOneLine) {
    m_sim.Stop();
    EXPECT_EQ(Get({"--timeout", "2"}), 1);
    EXPECT_EQ(err.str(), "no module found within 2 s\n");
}

TEST_F(ParameterCommands, VerifyNamesWhatTheModuleStoredWrongly) {
    EXPECT_EQ(DownloadByAnswer({"--set", "132:1015=6000", "--verify"}), 0) << out.str();
    EXPECT_EQ(err.str(), "");
    m_sim.SetValue(sim::DtuModel::kDtuCfgStoreFault, "3=9999");
    EXPECT_EQ(DownloadByAnswer({"--set", "132:1015=6000", "--verify"}), 3);
    EXPECT_TRUE(Printed("tcp.Port: sent 6000, module reports 9999"));
    EXPECT_EQ(err.str(), "the module reports 1 value that differs\n");
}

// When the port itself fails, the cause is named with the port, not the first step it spoiled.
TEST_F(ParameterCommands, AFailedPortIsNamedWithItsCause) {
    const std::string com = "COM" + std::to_string(Com());
    {
        atlink::CSerialPort other;  // another program holds the port for the whole flow
        ASSERT_TRUE(other.OpenPort(Com()));
        EXPECT_EQ(GetByAnswer({}), 1);
        EXPECT_EQ(err.str(), com + " is busy: another program holds it\n");
        EXPECT_EQ(DownloadByAnswer({}), 1);
        EXPECT_EQ(err.str(), com + " is busy: another program holds it\n");
        EXPECT_TRUE(Printed("DTUMODE set failed!"));  // the window's own lines stay as they are
        other.ClosePort();
    }
    sim::Behaviour vanish;
    vanish.vanishMidAnswer = true;
    vanish.onlyFor = "AT+DTUCFG?";  // the scan's version read still works
    m_sim.SetBehaviour(vanish);
    EXPECT_EQ(GetByAnswer({}), 1);
    EXPECT_EQ(err.str(), com + " went away during Get\n");

    std::string error;
    m_sim.Stop();
    ASSERT_TRUE(m_sim.Start({}, &error)) << error;
    vanish.onlyFor = "AT+DTUCFG=";
    m_sim.SetBehaviour(vanish);
    const std::string again = "COM" + std::to_string(Com());
    EXPECT_EQ(DownloadByAnswer({}), 1);
    EXPECT_EQ(err.str(), again + " went away during Download\n");
}

// What a failed Get shows is not what the module stores: no values are compared.
TEST_F(ParameterCommands, VerifyWhoseGetFailsIsAFailureNotAMismatch) {
    for (const auto& [request, line] : std::vector<std::pair<std::string, std::string>>{
             {"AT+DTUCFG?", "Get failed: DTUCFG parameters get failed!\n"},
             {"AT+CGDCONT?", "Get failed: AT+CGDCONT? got no APN\n"},
         }) {
        SCOPED_TRACE(request);
        m_sim.ClearReplies();
        m_sim.SetReply(request, "\r\nERROR\r\n");
        EXPECT_EQ(DownloadByAnswer({"--set", "132:1015=6000", "--verify"}), 1);
        EXPECT_EQ(err.str(), line);
        EXPECT_EQ(out.str().find("module reports"), std::string::npos) << out.str();
    }
    // A failed download and a failed Get: both, on one line.
    m_sim.SetReply("AT+CNMP=2", "\r\nERROR\r\n");
    EXPECT_EQ(DownloadByAnswer({"--verify"}), 1);
    EXPECT_EQ(err.str(), "Download failed: Download CNMP failed!; Get failed: AT+CGDCONT? got no APN\n");
}

}  // namespace
}  // namespace marlinq::cli
