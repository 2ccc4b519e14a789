// get and download speak parameter names: name=value lines in the window's order, --set by name,
// and one JSON object with --json; in-process against the simulator on the scaled clock.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli/parameter_commands.h"
#include "cli/parameter_layout.h"
#include "parameters/parameter_names.h"
#include "parameters/value_tables.h"
#include "platform/app_directory.h"
#include "simulator/dtu_model.h"
#include "tests/cli/parameter_run_fixture.h"
#include "tests/support/sim_fixture.h"

namespace marlinq::cli {
namespace {

using nlohmann::json;

class ParameterNames : public ParameterRunTest {
  protected:
    bool Printed(const std::string& line) const { return Has(Lines(), line); }
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        std::istringstream in(out.str());
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }
    static bool Has(const std::vector<std::string>& lines, const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    // The lines of standard output that give a parameter's value.
    std::vector<std::string> ValueLines() const {
        std::vector<std::string> values;
        for (const auto& line : Lines()) {
            for (const auto* row : parameters::NamedParameters()) {
                if (line.rfind(parameters::ParameterName(*row) + "=", 0) == 0) {
                    values.push_back(line);
                }
            }
        }
        return values;
    }
    // Whether the module heard a command that sets something.
    bool HeardASet() const {
        for (const auto& r : m_sim.Requests()) {
            if (r.bytes.find('=') != std::string::npos) {
                return true;
            }
        }
        return false;
    }
    json Json() const { return json::parse(out.str()); }
};

TEST_F(ParameterNames, GetPrintsEveryParameterByNameInTheWindowsOrder) {
    ASSERT_EQ(Get({}), 0) << err.str();
    EXPECT_TRUE(Printed("tcp.IPAddr=203.0.113.10"));
    EXPECT_TRUE(Printed("tcp.Port=5000"));
    EXPECT_TRUE(Printed("main.BaudRate=115200"));
    EXPECT_TRUE(Printed("main.AppVersion=" + m_sim.Value("VER")));
    EXPECT_TRUE(Printed("tcp.BeatText=31323334"));
    // A radio pair is one line: the module keeps the cloud and URC switches off.
    EXPECT_TRUE(Printed("tcp.CloudEnable=0"));
    EXPECT_TRUE(Printed("tcp.UrcEnable=0"));
    EXPECT_TRUE(Printed("mqtt.ConnectState=")) << "neither button is ticked at start";

    std::vector<std::string> names;
    for (const auto& line : ValueLines()) {
        names.push_back(line.substr(0, line.find('=')));
    }
    std::vector<std::string> order;
    for (const auto* row : ParametersInWindowOrder()) {
        order.push_back(parameters::ParameterName(*row));
    }
    EXPECT_EQ(names, order);
    EXPECT_EQ(names.size(), parameters::NamedParameters().size());
}

TEST_F(ParameterNames, SetByNameInAnyCaseAndByNumberBothReachTheModule) {
    ASSERT_EQ(DownloadByAnswer({"--set", "tcp.Port=6001"}), 0) << err.str();
    ASSERT_EQ(GetByAnswer({}), 0) << err.str();
    EXPECT_TRUE(Printed("tcp.Port=6001"));

    ASSERT_EQ(DownloadByAnswer({"--set", "TCP.PORT=6002", "Main.ApN=names.apn"}), 0) << err.str();
    ASSERT_EQ(GetByAnswer({}), 0) << err.str();
    EXPECT_TRUE(Printed("tcp.Port=6002"));
    EXPECT_TRUE(Printed("main.APN=names.apn"));

    ASSERT_EQ(DownloadByAnswer({"--set", "132:1015=6003"}), 0) << err.str();
    ASSERT_EQ(GetByAnswer({}), 0) << err.str();
    EXPECT_TRUE(Printed("tcp.Port=6003"));

    // A radio pair by name: 1 ticks Enable, 0 ticks Disable.
    ASSERT_EQ(DownloadByAnswer({"--set", "tcp.CloudEnable=1"}), 0) << err.str();
    ASSERT_EQ(GetByAnswer({}), 0) << err.str();
    EXPECT_TRUE(Printed("tcp.CloudEnable=1"));
    ASSERT_EQ(DownloadByAnswer({"--set", "tcp.CloudEnable=1", "tcp.CloudEnable=0"}), 0) << err.str();
    ASSERT_EQ(GetByAnswer({}), 0) << err.str();
    EXPECT_TRUE(Printed("tcp.CloudEnable=0"));
}

TEST_F(ParameterNames, AnUnknownNameIsAUsageErrorThatSuggestsTheClosestAndSendsNothing) {
    EXPECT_EQ(Download({"--set", "tcp.prot=6001"}), 2);
    EXPECT_NE(err.str().find("unknown parameter tcp.prot; did you mean tcp.Port?"), std::string::npos)
        << err.str();
    EXPECT_FALSE(HeardASet());

    EXPECT_EQ(Download({"--set", "baudrat=9600"}), 2);
    EXPECT_NE(err.str().find("unknown parameter baudrat; did you mean main.BaudRate?"), std::string::npos)
        << err.str();

    // Nothing close: no guess, but where the names are.
    EXPECT_EQ(Get({"--set", "nothing.near=1"}), 2);
    EXPECT_NE(err.str().find("unknown parameter nothing.near; marlinq-cli params lists them"),
              std::string::npos)
        << err.str();
    EXPECT_EQ(err.str().find("did you mean"), std::string::npos);
    EXPECT_FALSE(HeardASet());
}

TEST_F(ParameterNames, AValueTheComboBoxDoesNotOfferIsRefusedWithTheValuesItDoes) {
    EXPECT_EQ(Download({"--set", "main.BaudRate=12345"}), 2);
    const std::string said = err.str();
    EXPECT_NE(said.find("--set main.BaudRate=12345: BaudRate takes one of: "), std::string::npos) << said;
    for (const char* item : parameters::kBaudTable.items) {
        EXPECT_NE(said.find(item), std::string::npos) << item;
    }
    EXPECT_NE(said.find("115200"), std::string::npos);
    EXPECT_FALSE(HeardASet());
    EXPECT_EQ(Download({"--set", "main.SockType=tcp"}), 2) << "the items are matched exactly";
    EXPECT_NE(err.str().find("TCP, UDP, MQTT, HTTP(S)"), std::string::npos) << err.str();
}

TEST_F(ParameterNames, GetJsonIsOneObjectWithEveryNamedParameterAndTheLogOnStandardError) {
    ASSERT_EQ(GetByAnswer({"--json"}), 0) << err.str();
    const json j = Json();  // the whole of standard output parses: no log line in it
    EXPECT_EQ(j["ok"], true);
    EXPECT_EQ(j["exit"], 0);
    EXPECT_TRUE(j["failure"].is_null());
    EXPECT_EQ(j["versions"]["application"], m_sim.Value("VER"));
    EXPECT_EQ(j["versions"]["firmware"], j["parameters"]["main.FirmwareVersion"]);
    EXPECT_FALSE(j["versions"]["hardware"].get<std::string>().empty());
    EXPECT_EQ(j["imsi"], m_sim.Value("CIMI")) << "what the Get read";
    EXPECT_FALSE(j.contains("differences"));
    const json& p = j["parameters"];
    EXPECT_EQ(p.size(), parameters::NamedParameters().size());
    for (const auto* row : parameters::NamedParameters()) {
        EXPECT_TRUE(p.contains(parameters::ParameterName(*row))) << parameters::ParameterName(*row);
    }
    EXPECT_EQ(p["tcp.IPAddr"], "203.0.113.10");
    EXPECT_EQ(p["tcp.Port"], "5000");
    EXPECT_EQ(p["tcp.CloudEnable"], "0");
    EXPECT_NE(err.str().find("Start reading parameters..."), std::string::npos) << "the log went to stderr";

    EXPECT_EQ(GetByAnswer({"--json", "--out", "x.xml"}), 2);
    EXPECT_TRUE(out.str().empty());
}

TEST_F(ParameterNames, AFailedGetPrintsNoValuesAndItsJsonOnlyThoseItRead) {
    m_sim.SetReply("AT+DTUCFG?", "\r\nERROR\r\n");
    EXPECT_EQ(GetByAnswer({}), 1);
    EXPECT_TRUE(ValueLines().empty()) << out.str();
    EXPECT_TRUE(Printed("DTUCFG parameters get failed!")) << "the log stays on standard output";

    EXPECT_EQ(GetByAnswer({"--json"}), 1);
    json j = Json();
    EXPECT_EQ(j["ok"], false);
    EXPECT_EQ(j["exit"], 1);
    EXPECT_EQ(j["failure"], "Get failed: DTUCFG parameters get failed!");
    json p = j["parameters"];
    // The versions were read again (to the text the scan had already shown), as was the network.
    EXPECT_EQ(p["main.AppVersion"], m_sim.Value("VER"));
    EXPECT_TRUE(p.contains("main.APN"));
    EXPECT_TRUE(p.contains("main.NetMode"));
    EXPECT_FALSE(p.contains("tcp.Port")) << p.dump();
    EXPECT_FALSE(p.contains("tcp.IPAddr"));
    EXPECT_FALSE(p.contains("mqtt.IP")) << "Get reads no MQTT value";

    m_sim.ClearReplies();
    m_sim.SetReply("AT+CGDCONT?", "\r\nERROR\r\n");
    EXPECT_EQ(GetByAnswer({"--json"}), 1);
    j = Json();
    p = j["parameters"];
    EXPECT_EQ(j["failure"], "Get failed: AT+CGDCONT? got no APN");
    EXPECT_EQ(p["tcp.Port"], "5000");
    EXPECT_FALSE(p.contains("main.APN"));
}

TEST_F(ParameterNames, NoModuleStillGivesTheJsonOutcome) {
    m_sim.Stop();
    EXPECT_EQ(Get({"--json", "--timeout", "2"}), 1);
    const json j = Json();
    EXPECT_EQ(j["ok"], false);
    EXPECT_EQ(j["failure"], "no module found within 2 s");
    EXPECT_TRUE(j["parameters"].empty());
    EXPECT_NE(err.str().find("\nno module found within 2 s\n"), std::string::npos) << err.str();
}

TEST_F(ParameterNames, DownloadVerifyJsonCarriesWhatTheModuleStoredOtherwise) {
    EXPECT_EQ(DownloadByAnswer({"--set", "tcp.Port=6000", "--verify", "--json"}), 0) << err.str();
    json j = Json();
    EXPECT_EQ(j["ok"], true);
    EXPECT_TRUE(j["differences"].is_array());
    EXPECT_TRUE(j["differences"].empty());
    EXPECT_EQ(j["parameters"]["tcp.Port"], "6000");

    m_sim.SetValue(sim::DtuModel::kDtuCfgStoreFault, "3=9999");
    EXPECT_EQ(DownloadByAnswer({"--set", "tcp.Port=6000", "--verify", "--json"}), 3);
    j = Json();
    EXPECT_EQ(j["ok"], false);
    EXPECT_EQ(j["exit"], 3);
    EXPECT_EQ(j["failure"], "the module reports 1 value that differs");
    EXPECT_EQ(j["differences"], json::parse(R"([{"name":"tcp.Port","sent":"6000","reported":"9999"}])"));
    EXPECT_EQ(j["parameters"]["tcp.Port"], "6000") << "what was downloaded, not what the module reports";
    EXPECT_EQ(err.str().find("tcp.Port: sent"), std::string::npos);

    // Without --json the same difference is a line by name.
    EXPECT_EQ(DownloadByAnswer({"--set", "tcp.Port=6000", "--verify"}), 3);
    EXPECT_TRUE(Printed("tcp.Port: sent 6000, module reports 9999")) << out.str();
}

}  // namespace
}  // namespace marlinq::cli
