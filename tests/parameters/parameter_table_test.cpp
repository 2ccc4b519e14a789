#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "parameters/dtucfg_record.h"
#include "parameters/parameter_ids.h"
#include "parameters/parameter_table.h"
#include "parameters/parameter_values.h"
#include "parameters/value_tables.h"
#include "row_check.h"

namespace parameters {
namespace {

TEST(ParameterTable, ConfigXmlLeavesInFileOrder) {
    const auto leaves = ConfigXmlLeaves();
    ASSERT_EQ(leaves.size(), 32u);
    const char* const expected[32] = {
        "BaudRate",  "DataBits",       "Parity",       "StopBits",     "ResetTime", "IPAddr",     "Port",
        "SockType",  "RegisterEnable", "RegisterText", "BeatInterval", "BeatText",  "NetReceive", "APN",
        "Username",  "Password",       "LogLevel",     "IP",           "PORT",      "ClientId",   "UserName",
        "Password",  "ConnectState",   "HeartPeriod",  "SUBTOPIC1",    "SUBTOPIC2", "SUBTOPIC3",  "SUBTOPIC4",
        "PUBTOPIC1", "PUBTOPIC2",      "PUBTOPIC3",    "PUBTOPIC4"};
    for (std::size_t i = 0; i < 32; ++i) {
        EXPECT_STREQ(leaves[i]->xmlElement, expected[i]) << i;
    }
    const auto groups = ConfigXmlGroups();
    ASSERT_EQ(groups.size(), 6u);
    EXPECT_STREQ(groups[0], "SerialCfg");
    EXPECT_STREQ(groups[1], "SocketCfg");
    EXPECT_STREQ(groups[2], "FunctionCfg");
    EXPECT_STREQ(groups[3], "NetworkCfg");
    EXPECT_STREQ(groups[4], "DebugCfg");
    EXPECT_STREQ(groups[5], "MQTTCfg");
}

TEST(ParameterTable, FixedSerialLeavesHaveNoControl) {
    const auto leaves = ConfigXmlLeaves();
    EXPECT_EQ(leaves[1]->kind, ParamKind::Fixed);
    EXPECT_STREQ(leaves[1]->defaultValue, "8");
    EXPECT_STREQ(leaves[2]->defaultValue, "N");
    EXPECT_STREQ(leaves[3]->defaultValue, "1");
    EXPECT_EQ(leaves[3]->id, 0);
    int fixed = 0;
    for (const auto& row : ParameterTable()) {
        fixed += row.kind == ParamKind::Fixed ? 1 : 0;
    }
    EXPECT_EQ(fixed, 3);
}

TEST(ParameterTable, EachControlAndPositionOnce) {
    std::set<std::pair<unsigned, int>> controls;
    std::set<int> dtuCfgFields;
    std::set<int> recordFields;
    for (const auto& row : ParameterTable()) {
        if (row.kind == ParamKind::Fixed) {
            continue;
        }
        EXPECT_TRUE(controls.insert({row.dialog, row.id}).second) << row.name;
        if (row.kind == ParamKind::RadioPair) {
            EXPECT_TRUE(controls.insert({row.dialog, row.offId}).second) << row.name;
        }
        if (row.dtuCfgField != 0) {
            EXPECT_TRUE(dtuCfgFields.insert(row.dtuCfgField).second) << row.name;
        }
        if (row.recordField >= 0) {
            EXPECT_TRUE(recordFields.insert(row.recordField).second) << row.name;
        }
        if (row.kind == ParamKind::Combo) {
            ASSERT_NE(row.values, nullptr) << row.name;
            EXPECT_EQ(row.values->TextAt(row.values->defaultIndex), row.defaultValue) << row.name;
            EXPECT_EQ(row.values->id, row.id) << row.name;
        }
    }
    // Fields 11, 15 and 16 are computed, not parameters; 1..17 otherwise each have one row.
    EXPECT_EQ(dtuCfgFields.size(), 14u);
    EXPECT_EQ(recordFields.size(), kRecordFieldCount);
}

TEST(ParameterTable, LookupResolvesIdsWithinTheirDialog) {
    const ParameterRow* tcpAddr = FindParameter(marlinq::IDD_TCP_MODE, 1045);
    const ParameterRow* mqttAddr = FindParameter(marlinq::IDD_MQTT_MODE, 1045);
    ASSERT_NE(tcpAddr, nullptr);
    ASSERT_NE(mqttAddr, nullptr);
    EXPECT_STREQ(tcpAddr->name, "IPAddr");
    EXPECT_STREQ(mqttAddr->name, "IP");
    EXPECT_EQ(FindParameter(marlinq::IDD_MARLINQ_DIALOG, 1045), nullptr);  // the Send button
    const ParameterRow* cloudOff = FindParameter(marlinq::IDD_TCP_MODE, marlinq::IDC_TCP_CLOUD_DISABLE);
    ASSERT_NE(cloudOff, nullptr);
    EXPECT_STREQ(cloudOff->name, "CloudEnable");
    EXPECT_EQ(cloudOff->dtuCfgField, 14);
    const ParameterRow* mqttPwd = FindParameterByName(marlinq::IDD_MQTT_MODE, "Password");
    ASSERT_NE(mqttPwd, nullptr);
    EXPECT_EQ(mqttPwd->id, marlinq::IDC_MQTT_PWD);
    EXPECT_EQ(FindParameterByName(marlinq::IDD_MARLINQ_DIALOG, "Password")->id, marlinq::IDC_EDIT_APN_PWD);
}

TEST(ParameterValues, WhatAnOperatorCouldEnter) {
    using namespace marlinq;
    const auto check = [](unsigned dialog, int id, const char* value) {
        return test::CheckRow(CheckParameterValue, dialog, id, value);
    };
    EXPECT_EQ(check(IDD_MARLINQ_DIALOG, IDC_COMBO_BAUDRATE, "9600"), "");
    EXPECT_EQ(
        check(IDD_MARLINQ_DIALOG, IDC_COMBO_BAUDRATE, "9601").rfind("BaudRate takes one of: 300, 600", 0),
        0u);
    EXPECT_EQ(check(IDD_MARLINQ_DIALOG, IDC_COMBO_TYPE, "udp"),
              "SockType takes one of: TCP, UDP, MQTT, HTTP(S)");
    EXPECT_EQ(check(IDD_TCP_MODE, IDC_TCP_CHK_REGPACKET, "1"), "");
    EXPECT_EQ(check(IDD_TCP_MODE, IDC_TCP_CHK_REGPACKET, "yes"), "RegisterEnable takes 1 or 0");
    EXPECT_EQ(check(IDD_TCP_MODE, IDC_TCP_CLOUD_DISABLE, "1"), "");
    EXPECT_EQ(check(IDD_TCP_MODE, IDC_TCP_NET_RECEIVE, "12a"), "NetReceive takes digits only");
    EXPECT_EQ(check(IDD_TCP_MODE, IDC_TCP_NET_RECEIVE, ""), "");
    // What a download would refuse to send is refused here too; what an input rule judges is left
    // to it.
    EXPECT_EQ(check(IDD_TCP_MODE, IDC_TCP_RESET_TIME, "-5"),
              "ResetTime must be a whole number from 1 to 83333333");
    EXPECT_EQ(check(IDD_TCP_MODE, IDC_TCP_RESET_TIME, "0"), "");
    EXPECT_EQ(check(IDD_TCP_MODE, IDC_TCP_NET_RECEIVE, "9"), "");
    EXPECT_EQ(check(IDD_TCP_MODE, IDC_TCP_REGPACKET, "a,b"), "RegisterText cannot contain a comma");
    EXPECT_EQ(check(IDD_MARLINQ_DIALOG, IDC_EDIT_APP_VERSION, "x"),
              "AppVersion is read from the module only");
    EXPECT_EQ(check(IDD_TCP_MODE, IDC_TCP_CHK_IMSI, "1"), "ImsiAsRegister runs an action and holds no value");
    EXPECT_TRUE(IsParameterDialog(133));
    EXPECT_FALSE(IsParameterDialog(100));
}

}  // namespace
}  // namespace parameters
