#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

#include "parameters/parameter_ids.h"
#include "parameters/parameter_names.h"
#include "parameters/parameter_table.h"

namespace parameters {
namespace {

std::string Lowered(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

TEST(ParameterNameTable, EveryControlHasOneUniqueNameOnItsPageAndFindsItsRowInAnyCase) {
    std::set<std::string> seen;
    std::size_t named = 0;
    for (const auto& row : ParameterTable()) {
        const std::string name = ParameterName(row);
        if (row.kind == ParamKind::Fixed) {
            EXPECT_EQ(name, "") << row.name;
            continue;
        }
        ++named;
        ASSERT_FALSE(name.empty()) << row.name << " of dialog " << row.dialog;
        const auto dot = name.find('.');
        ASSERT_NE(dot, std::string::npos) << name;
        EXPECT_STREQ(name.substr(0, dot).c_str(), PageName(row.dialog)) << name;
        EXPECT_EQ(name.find_first_of(" =,:\"\t"), std::string::npos) << name;
        EXPECT_TRUE(seen.insert(Lowered(name)).second) << name << " is not unique";
        EXPECT_EQ(FindParameterNamed(name), &row) << name;
        EXPECT_EQ(FindParameterNamed(Lowered(name)), &row) << name;
    }
    EXPECT_EQ(NamedParameters().size(), named);
}

TEST(ParameterNameTable, ConfigXmlLeavesAreNamedAfterTheirElement) {
    for (const ParameterRow* leaf : ConfigXmlLeaves()) {
        if (leaf->kind != ParamKind::Fixed) {
            EXPECT_EQ(ParameterName(*leaf), std::string(PageName(leaf->dialog)) + "." + leaf->xmlElement);
        }
    }
    ASSERT_NE(FindParameterNamed("tcp.Port"), nullptr);
    EXPECT_EQ(FindParameterNamed("tcp.Port")->id, marlinq::IDC_TCP_PORT1);
    EXPECT_EQ(FindParameterNamed("MAIN.baudrate")->id, marlinq::IDC_COMBO_BAUDRATE);
    EXPECT_EQ(FindParameterNamed("mqtt.ClientId")->id, marlinq::IDC_MQTT_CLIENT_ID);
    // The same element name on two pages is two parameters.
    EXPECT_NE(FindParameterNamed("main.Password"), FindParameterNamed("mqtt.Password"));
}

TEST(ParameterNameTable, NamesThatAreNoParameterFindNothing) {
    for (const char* name : {"", "tcp", "tcp.", ".Port", "tcp.Prot", "tcp.Port ", "serial.DataBits",
                             "main.DataBits", "modbus.Port", "tcp.Port.x"}) {
        EXPECT_EQ(FindParameterNamed(name), nullptr) << '"' << name << '"';
    }
    EXPECT_EQ(PageName(0), nullptr);
    EXPECT_EQ(PageNames().size(), 5u);
    EXPECT_STREQ(PageName(marlinq::IDD_MQTT_MODE), "mqtt");
}

}  // namespace
}  // namespace parameters
