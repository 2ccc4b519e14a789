// The table's command columns, as the download reads them: each command's fields in order without
// gaps, a box for each command that is sent only when ticked, and the values read once from the
// controls in the form each command carries.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "flow_fakes.h"
#include "parameters/dtucfg_args.h"
#include "parameters/parameter_controls.h"
#include "parameters/parameter_ids.h"
#include "parameters/parameter_snapshot.h"
#include "parameters/parameter_table.h"

namespace parameters::test {
namespace {

using namespace marlinq;

constexpr AtCommand kCommands[] = {AtCommand::DtuMode,   AtCommand::MultiSockCfg, AtCommand::ModbusCfg,
                                   AtCommand::ModbusCmd, AtCommand::Host,         AtCommand::MqttCfg,
                                   AtCommand::SubTopic,  AtCommand::PubTopic,     AtCommand::Cnmp,
                                   AtCommand::Apn,       AtCommand::Auth};

TEST(ParameterCarriers, EachCommandCarriesItsFieldsInOrderWithoutGapsOrRepeats) {
    for (AtCommand command : kCommands) {
        const std::vector<int> instances = CommandInstances(command);
        ASSERT_FALSE(instances.empty()) << static_cast<int>(command);
        for (int instance : instances) {
            const auto fields = CommandFields(command, instance);
            ASSERT_FALSE(fields.empty());
            for (std::size_t i = 1; i < fields.size(); ++i) {
                EXPECT_EQ(fields[i]->carrier.field, fields[i - 1]->carrier.field + 1)
                    << fields[i]->name << " follows " << fields[i - 1]->name;
            }
            for (const ParameterRow* row : fields) {
                EXPECT_NE(row->kind, ParamKind::Fixed) << row->name;
                EXPECT_EQ(row->flags & (kReadOnly | kAction), 0u) << row->name;
            }
        }
    }
    // The commands the download builds field by field, as the module takes them.
    EXPECT_EQ(CommandInstances(AtCommand::MultiSockCfg), (std::vector<int>{2, 3, 4}));
    EXPECT_EQ(CommandInstances(AtCommand::ModbusCmd), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(CommandFields(AtCommand::MqttCfg).size(), 7u);
    EXPECT_EQ(CommandFields(AtCommand::SubTopic).size(), 4u);
    EXPECT_EQ(CommandFields(AtCommand::PubTopic).size(), 4u);
}

TEST(ParameterCarriers, ACommandSentOnlyWhenTickedHasOneBoxPerInstance) {
    const auto box = [](AtCommand command, int instance) {
        const ParameterRow* row = CommandSwitch(command, instance);
        return row != nullptr && row->kind == ParamKind::Check;
    };
    for (int server : CommandInstances(AtCommand::MultiSockCfg)) {
        EXPECT_TRUE(box(AtCommand::MultiSockCfg, server)) << server;
    }
    for (int command : CommandInstances(AtCommand::ModbusCmd)) {
        EXPECT_TRUE(box(AtCommand::ModbusCmd, command)) << command;
    }
    EXPECT_TRUE(box(AtCommand::ModbusCfg, 0));
    EXPECT_TRUE(box(AtCommand::Host, 0));
    EXPECT_EQ(CommandSwitch(AtCommand::MqttCfg), nullptr) << "MQTT is always sent";
    // The SIM type picks the CGAUTH form.
    ASSERT_NE(CommandSwitch(AtCommand::Auth), nullptr);
    EXPECT_EQ(CommandSwitch(AtCommand::Auth)->kind, ParamKind::Combo);

    // DTUCFG fields 15 and 16 count servers 1..4 and MODBUS commands 1..5, each by one box.
    std::set<int> servers;
    std::set<int> commands;
    for (const ParameterRow& row : ParameterTable()) {
        if (row.countedIn != 0) {
            EXPECT_EQ(row.kind, ParamKind::Check) << row.name;
            EXPECT_TRUE((row.countedIn == 15 ? servers : commands).insert(row.countIndex).second) << row.name;
        }
    }
    EXPECT_EQ(servers, (std::set<int>{1, 2, 3, 4}));
    EXPECT_EQ(commands, (std::set<int>{1, 2, 3, 4, 5}));
}

TEST(ParameterCarriers, StartValuesAreTheDefaultsOfTheRowsTheStartSets) {
    MapControls tcp;
    MapControls https;
    MapControls mqtt;
    SetStartValues(IDD_TCP_MODE, tcp);
    SetStartValues(IDD_HTTPS_MODE, https);
    SetStartValues(IDD_MQTT_MODE, mqtt);
    EXPECT_TRUE(tcp.Checked(IDC_TCP_CHK_HEX));
    EXPECT_TRUE(tcp.Checked(IDC_TCP_CHK_SERVER1));
    EXPECT_EQ(tcp.writes.size(), 2u);
    EXPECT_EQ(https.text, (std::map<int, std::string>{{IDC_HTTPS_PORT, "443"}}));
    EXPECT_TRUE(mqtt.writes.empty());
}

TEST(ParameterCarriers, ASnapshotHoldsEachValueInTheFormItsCommandCarries) {
    MapControls main, tcp, modbus, https, mqtt;
    InitParameterControls(main);
    main.sel[IDC_COMBO_TYPE] = 1;
    tcp.check[IDC_TCP_CLOUD_ENABLE] = true;    // DTUCFG: "1" when Enable is ticked
    mqtt.check[IDC_MQTT_LONG_DISABLE] = true;  // MQTTCFG: "1" when Disable is ticked
    tcp.check[IDC_TCP_CHK_SERVER1] = true;
    tcp.check[IDC_TCP_CHK_SERVER2] = true;
    tcp.check[IDC_TCP_CHK_SERVER4] = true;
    modbus.check[IDC_MODBUS_CHK_SET2] = true;  // counted only with MODBUS on
    const ParameterSnapshot values = ParameterSnapshot::Read({main, tcp, modbus, https, mqtt});

    const ParameterRow& connect = *FindParameter(IDD_MQTT_MODE, IDC_MQTT_LONG_DISABLE);
    const ParameterRow& cloud = *FindParameter(IDD_TCP_MODE, IDC_TCP_CLOUD_ENABLE);
    const ParameterRow& urc = *FindParameter(IDD_TCP_MODE, IDC_TCP_URC_ENABLE);
    EXPECT_EQ(values.Sent(connect), "1");
    EXPECT_EQ(values.Sent(cloud), "1");
    EXPECT_EQ(values.Sent(urc), "0") << "neither button ticked";
    mqtt.check[IDC_MQTT_LONG_DISABLE] = false;
    mqtt.check[IDC_MQTT_LONG_ENABLE] = true;
    EXPECT_EQ(ParameterSnapshot::Read({main, tcp, modbus, https, mqtt}).Sent(connect), "0");

    const ParameterRow& type = *FindParameter(IDD_MARLINQ_DIALOG, IDC_COMBO_TYPE);
    EXPECT_EQ(values.Selected(type), 1);
    EXPECT_EQ(values.Text(type), "UDP");
    // Fields 1, 4, 14, 15 (servers 1, 2 and 4), 16 (MODBUS off) and 17 (empty minutes).
    EXPECT_EQ(BuildDtuCfgArgs(DtuCfgValuesOf(values)), "115200,,,UDP,0,,,,0,,0,,,1,3,0,0");
}

}  // namespace
}  // namespace parameters::test
