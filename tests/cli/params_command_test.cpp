// marlinq-cli params and what it is built from: the window's order and labels, taken from the
// dialog templates, and the names suggested for a mistyped one. No module is needed.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/name_suggestions.h"
#include "cli/parameter_layout.h"
#include "cli/params_command.h"
#include "parameters/parameter_ids.h"
#include "parameters/parameter_names.h"
#include "ui/templates.h"

namespace marlinq::cli {
namespace {

using nlohmann::json;

std::vector<std::string> Names(const std::vector<const parameters::ParameterRow*>& rows) {
    std::vector<std::string> names;
    for (const auto* row : rows) {
        names.push_back(parameters::ParameterName(*row));
    }
    return names;
}

std::size_t Place(const std::vector<std::string>& names, const std::string& name) {
    return static_cast<std::size_t>(std::find(names.begin(), names.end(), name) - names.begin());
}

TEST(WindowOrder, PagesFollowTheTabsAndEachPageItsTemplate) {
    const auto names = Names(ParametersInWindowOrder());
    EXPECT_EQ(names.size(), parameters::NamedParameters().size());
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size()) << "each name once";
    // Page by page: every main-window name before every TCP/UDP name, and so on.
    std::vector<std::string> pages;
    for (const auto& name : names) {
        const std::string page = name.substr(0, name.find('.'));
        if (pages.empty() || pages.back() != page) {
            pages.push_back(page);
        }
    }
    EXPECT_EQ(pages, (std::vector<std::string>{"main", "tcp", "modbus", "https", "mqtt"}));
    // Top to bottom: the version box stands above the basic parameters, server 1 above server 2,
    // and a radio pair has one place.
    EXPECT_EQ(names.front(), "main.AppVersion");
    EXPECT_LT(Place(names, "main.HwVersionPart2"), Place(names, "main.BaudRate"));
    EXPECT_LT(Place(names, "tcp.Port"), Place(names, "tcp.ServerEnable2"));
    EXPECT_LT(Place(names, "tcp.CloudEnable"), Place(names, "tcp.UrcEnable"));
    // The MQTT page's first column (basic settings, connection state) before its second (topics).
    EXPECT_LT(Place(names, "mqtt.ConnectState"), Place(names, "mqtt.SUBTOPIC1"));
}

TEST(WindowOrder, MovingControlsInTheTemplateMovesTheirParameters) {
    fw::DialogTemplate tcp = TcpModeTemplate();
    const auto before = Names(ParametersInTemplateOrder(tcp));
    ASSERT_EQ(before.front(), "tcp.ServerEnable1");
    // The URC box put first in the template: its group now stands at the top of the page.
    std::stable_partition(tcp.controls.begin(), tcp.controls.end(), [](const fw::ControlTemplate& c) {
        return c.id == IDC_TCP_URC_DISABLE || c.id == IDC_TCP_URC_ENABLE;
    });
    const auto moved = Names(ParametersInTemplateOrder(tcp));
    EXPECT_EQ(moved.front(), "tcp.UrcEnable");
    EXPECT_EQ(moved.size(), before.size());

    // A topic first in the MQTT template still stands in the second column, after the first.
    fw::DialogTemplate mqtt = MqttModeTemplate();
    std::stable_partition(mqtt.controls.begin(), mqtt.controls.end(),
                          [](const fw::ControlTemplate& c) { return c.id == IDC_MQTT_SUBTOPIC1; });
    const auto columns = Names(ParametersInTemplateOrder(mqtt));
    EXPECT_EQ(columns.front(), "mqtt.IP");
    EXPECT_LT(Place(columns, "mqtt.ConnectState"), Place(columns, "mqtt.SUBTOPIC1"));
    EXPECT_EQ(Place(columns, "mqtt.SUBTOPIC1") + 1, Place(columns, "mqtt.SUBTOPIC2"));
}

TEST(ParameterLabels, AreWhatTheWindowShowsBesideEachControl) {
    const struct {
        const char* name;
        const char* label;
    } cases[] = {
        {"tcp.Port", "Port"},                             // the edit's own label, colon dropped
        {"main.BaudRate", "Baudrate"},                    // a combo box's
        {"tcp.RegisterText", "RegPacket"},                // no label: the check box to its left
        {"main.HwVersionPart2", "HW"},                    // a separator label: the label to its left
        {"tcp.BeatHex", "HEX"},                           // a check box's caption
        {"tcp.CloudEnable", "Cloud parameter settings"},  // a radio pair: its group box
        {"mqtt.ConnectState", "Long connection state"},
        {"main.CurrentPageOnly", "Download only the current mode page"},
        {"main.FirmwareVersion", "固件版本"},  // hidden, with the label it would show
    };
    for (const auto& c : cases) {
        const auto* row = parameters::FindParameterNamed(c.name);
        ASSERT_NE(row, nullptr) << c.name;
        EXPECT_EQ(ParameterLabel(*row), c.label) << c.name;
    }
    // A control with no text at all on its row has no label.
    fw::DialogTemplate https = HttpsModeTemplate();
    for (auto& control : https.controls) {
        control.label.clear();
        control.caption.clear();
    }
    const auto* port = parameters::FindParameterNamed("https.HttpsServerPort");
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(ParameterLabel(*port, https), "");
}

TEST(ParamsCommand, JsonHoldsEveryNamedParameterWithItsLabelValuesAndCommand) {
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(RunParams({"--json"}, out, err), 0) << err.str();
    const json list = json::parse(out.str());
    ASSERT_TRUE(list.is_array());
    EXPECT_EQ(list.size(), parameters::NamedParameters().size());
    std::map<std::string, json> byName;
    for (const auto& p : list) {
        byName[p["name"]] = p;
        EXPECT_FALSE(p["label"].get<std::string>().empty()) << p.dump();
        EXPECT_EQ(p["page"], p["name"].get<std::string>().substr(0, p["page"].get<std::string>().size()));
    }
    for (const auto* row : parameters::NamedParameters()) {
        EXPECT_EQ(byName.count(parameters::ParameterName(*row)), 1u) << parameters::ParameterName(*row);
    }
    const json& port = byName["tcp.Port"];
    EXPECT_EQ(port["kind"], "text");
    EXPECT_EQ(port["min"], 1);
    EXPECT_EQ(port["max"], 65535);
    EXPECT_EQ(port["digitsOnly"], true);
    EXPECT_EQ(port["readOnly"], false);
    EXPECT_EQ(port["command"], "AT+DTUCFG field 3");
    const json& baud = byName["main.BaudRate"];
    EXPECT_EQ(baud["kind"], "choice");
    EXPECT_EQ(baud["default"], "115200");
    EXPECT_NE(std::find(baud["values"].begin(), baud["values"].end(), "115200"), baud["values"].end());
    EXPECT_EQ(byName["tcp.CloudEnable"]["kind"], "on/off pair");
    EXPECT_EQ(byName["tcp.CloudEnable"]["values"], json::parse(R"(["0","1"])"));
    EXPECT_EQ(byName["tcp.BeatHex"]["kind"], "check");
    EXPECT_EQ(byName["tcp.BeatHex"]["default"], "1");
    EXPECT_EQ(byName["mqtt.ClientId"]["command"], "AT+MQTTCFG field 3");
    EXPECT_EQ(byName["mqtt.ClientId"]["maxBytes"], 128);
    EXPECT_EQ(byName["main.SockType"]["command"], "AT+DTUCFG field 4; AT+DTUMODE");
    EXPECT_EQ(byName["tcp.ServerPort2"]["command"], "AT+MULTISOCKCFG #2 field 3");
    EXPECT_EQ(byName["modbus.ModbusEnable"]["command"], "decides AT+MODBUSCFG");
    EXPECT_TRUE(byName["main.LogLevel"]["command"].is_null()) << "kept in Config.xml only";
    // Read from the module only, and a box the window keeps disabled.
    EXPECT_EQ(byName["main.FirmwareVersion"]["readOnly"], true);
    EXPECT_EQ(byName["main.FirmwareVersion"]["hidden"], true);
    EXPECT_EQ(byName["tcp.ServerEnable1"]["readOnly"], true);
}

TEST(ParamsCommand, TheTableHasAHeaderAndOneAlignedLinePerParameter) {
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(RunParams({}, out, err), 0);
    std::vector<std::string> lines;
    std::istringstream in(out.str());
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), parameters::NamedParameters().size() + 1);
    EXPECT_EQ(lines.front().rfind("NAME ", 0), 0u);
    const std::size_t labelColumn = lines.front().find("LABEL");
    const auto names = Names(ParametersInWindowOrder());
    for (std::size_t i = 1; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].rfind(names[i - 1] + " ", 0), 0u) << lines[i];
        EXPECT_NE(lines[i][labelColumn], ' ') << lines[i];
        EXPECT_EQ(lines[i][labelColumn - 1], ' ') << lines[i];
    }
    EXPECT_EQ(RunParams({"--xml"}, out, err), 2);
    EXPECT_NE(err.str().find("unknown option --xml"), std::string::npos);
}

TEST(NameSuggestions, CloseNamesOnlyClosestFirstAtMostThree) {
    EXPECT_EQ(EditDistance("tcp.prot", "tcp.Port"), 1u) << "a swap is one edit, case is none";
    EXPECT_EQ(EditDistance("", "abc"), 3u);
    EXPECT_EQ(EditDistance("kitten", "sitting"), 3u);
    const std::vector<std::string> names = {"tcp.Port",        "mqtt.PORT",       "tcp.ServerPort2",
                                            "tcp.ServerPort3", "tcp.ServerPort4", "main.BaudRate"};
    EXPECT_EQ(ClosestNames("tcp.prot", names), (std::vector<std::string>{"tcp.Port"}));
    EXPECT_EQ(ClosestNames("prot", names), (std::vector<std::string>{"tcp.Port", "mqtt.PORT"}))
        << "without a page, the part after the dot counts";
    EXPECT_EQ(ClosestNames("tcp.serverport", names),
              (std::vector<std::string>{"tcp.ServerPort2", "tcp.ServerPort3", "tcp.ServerPort4"}));
    EXPECT_EQ(ClosestNames("tcp.serverport4", names).front(), "tcp.ServerPort4");
    EXPECT_TRUE(ClosestNames("xyz", names).empty());
    EXPECT_TRUE(ClosestNames(std::string(1000, 'a'), names).empty());
    EXPECT_EQ(DidYouMean({"a", "b", "c"}), "; did you mean a, b or c?");
    EXPECT_EQ(DidYouMean({}), "");
}

}  // namespace
}  // namespace marlinq::cli
