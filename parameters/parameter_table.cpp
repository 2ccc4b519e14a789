#include "parameters/parameter_table.h"

#include <algorithm>
#include <cstring>

#include "parameters/dtucfg_record.h"
#include "parameters/parameter_ids.h"
#include "parameters/value_tables.h"

namespace parameters {

namespace {

using namespace marlinq;
using K = ParamKind;
using F = RecordField;

constexpr unsigned kMain = IDD_MARLINQ_DIALOG;
constexpr unsigned kTcp = IDD_TCP_MODE;
constexpr unsigned kModbus = IDD_MODBUS_MODE;
constexpr unsigned kHttps = IDD_HTTPS_MODE;
constexpr unsigned kMqtt = IDD_MQTT_MODE;

constexpr int Rec(F field) {
    return static_cast<int>(field);
}

ParameterRow Xml(const char* name, unsigned dialog, int id, K kind, const char* def, const char* group,
                 const char* element, int dtuCfgField = 0, int recordField = -1,
                 const ValueTable* values = nullptr, unsigned flags = kNoFlags) {
    return {name, dialog, id, kind, def, 0, dtuCfgField, recordField, group, element, values, flags};
}

ParameterRow Row(const char* name, unsigned dialog, int id, K kind, const char* def, int dtuCfgField = 0,
                 int recordField = -1, const ValueTable* values = nullptr, unsigned flags = kNoFlags) {
    return {name, dialog, id, kind, def, 0, dtuCfgField, recordField, nullptr, nullptr, values, flags};
}

ParameterRow Radio(const char* name, unsigned dialog, int onId, int offId, int dtuCfgField, int recordField,
                   const char* group = nullptr, const char* element = nullptr) {
    return {name,        dialog,      onId,  K::RadioPair, "",      offId,
            dtuCfgField, recordField, group, element,      nullptr, kNoFlags};
}

// A text of at most n bytes; joined: one of the comma-separated fields of its command.
constexpr ValueBounds Text(unsigned n, bool joined) {
    return {n, false, 0, 0, joined};
}

// The bytes of the longest whole number in min..max, so that leading zeros cannot pad it out.
constexpr unsigned Digits(long max) {
    unsigned n = 1;
    for (; max >= 10; max /= 10) {
        ++n;
    }
    return n;
}

constexpr ValueBounds Number(long min, long max, bool joined) {
    return {Digits(max), true, min, max, joined};
}

// A text as long as its DtuCfgRecord field holds, since the module reports it back in that field.
constexpr ValueBounds RecordText(F field) {
    return Text(static_cast<unsigned>(kRecordWidths[static_cast<std::size_t>(field)] - 1), true);
}

ParameterRow Bounded(ParameterRow row, ValueBounds bounds) {
    row.bounds = bounds;
    return row;
}

// The row's value is field of command (instance); field 0: the row decides whether it is sent.
ParameterRow Carried(ParameterRow row, AtCommand command, int field, int instance = 0) {
    row.carrier = {command, field, instance};
    return row;
}

ParameterRow Flagged(ParameterRow row, unsigned flags) {
    row.flags |= flags;
    return row;
}

// A box that enables server or MODBUS command index, counted in DTUCFG field countedIn.
ParameterRow Counted(ParameterRow row, int countedIn, int index) {
    row.countedIn = countedIn;
    row.countIndex = index;
    return row;
}

constexpr long kPortMax = 65535;
// Field 17 carries the minutes x 12 in a field of nine digits.
constexpr long kResetTimeMaxMinutes = 999'999'999L / 12;
constexpr unsigned kApnMaxBytes = 100;      // an APN's network identifier is at most 100 bytes long
constexpr unsigned kPdpAuthMaxBytes = 127;  // PDP user name and password
constexpr unsigned kHostMaxBytes = 253;     // a host name in text form
constexpr unsigned kMqttTextMaxBytes = 128;
constexpr unsigned kModbusCmdMaxBytes = 512;  // a MODBUS frame of at most 256 bytes, in hex
constexpr long kSixteenBits = 65535;

constexpr ValueBounds kMqttText = Text(kMqttTextMaxBytes, true);

// MODBUS command index: its own MODBUSCMD, sent when its Set box is ticked.
ParameterRow ModbusCmd(const char* name, int id, int index) {
    return Carried(Bounded(Row(name, kModbus, id, K::Edit, ""), Text(kModbusCmdMaxBytes, false)),
                   AtCommand::ModbusCmd, 1, index);
}

ParameterRow ModbusCmdEnable(const char* name, int id, int index) {
    return Carried(Counted(Row(name, kModbus, id, K::Check, "0"), 16, index), AtCommand::ModbusCmd, 0, index);
}

// An edit of the MQTT page, empty at start, kept in Config.xml under MQTTCfg by its name.
ParameterRow MqttEdit(const char* name, int id, ValueBounds bounds, AtCommand command, int field) {
    return Carried(Bounded(Xml(name, kMqtt, id, K::Edit, "", "MQTTCfg", name), bounds), command, field);
}

const std::vector<ParameterRow>& Rows() {
    static const std::vector<ParameterRow> rows = {
        // Config.xml, in file order.
        Xml("BaudRate", kMain, IDC_COMBO_BAUDRATE, K::Combo, "115200", "SerialCfg", "BaudRate", 1, -1,
            &kBaudTable),
        Xml("DataBits", 0, 0, K::Fixed, "8", "SerialCfg", "DataBits"),
        Xml("Parity", 0, 0, K::Fixed, "N", "SerialCfg", "Parity"),
        Xml("StopBits", 0, 0, K::Fixed, "1", "SerialCfg", "StopBits"),
        Bounded(Xml("ResetTime", kTcp, IDC_TCP_RESET_TIME, K::Edit, "", "SerialCfg", "ResetTime", 17,
                    Rec(F::ResetTime)),
                Number(1, kResetTimeMaxMinutes, true)),
        Bounded(Xml("IPAddr", kTcp, IDC_TCP_ADDR1, K::Edit, "", "SocketCfg", "IPAddr", 2, Rec(F::IPAddr)),
                RecordText(F::IPAddr)),
        Bounded(Xml("Port", kTcp, IDC_TCP_PORT1, K::Edit, "", "SocketCfg", "Port", 3, Rec(F::Port)),
                Number(1, kPortMax, true)),
        // Also the fourth field of every MULTISOCKCFG.
        Carried(Xml("SockType", kMain, IDC_COMBO_TYPE, K::Combo, "TCP", "SocketCfg", "SockType", 4,
                    Rec(F::SockType), &kTypeTable),
                AtCommand::DtuMode, 1),
        Xml("RegisterEnable", kTcp, IDC_TCP_CHK_REGPACKET, K::Check, "0", "FunctionCfg", "RegisterEnable", 5,
            Rec(F::RegisterEnable)),
        Bounded(Xml("RegisterText", kTcp, IDC_TCP_REGPACKET, K::Edit, "", "FunctionCfg", "RegisterText", 6,
                    Rec(F::RegisterText)),
                RecordText(F::RegisterText)),
        Bounded(Xml("BeatInterval", kTcp, IDC_TCP_BEAT_PERIOD, K::Edit, "", "FunctionCfg", "BeatInterval", 7,
                    Rec(F::BeatInterval), nullptr, kDigits),
                Number(1, 600, true)),  // "(1-600 sec)"
        Bounded(
            Xml("BeatText", kTcp, IDC_TCP_BEAT, K::Edit, "", "FunctionCfg", "BeatText", 8, Rec(F::BeatText)),
            RecordText(F::BeatText)),
        Bounded(Xml("NetReceive", kTcp, IDC_TCP_NET_RECEIVE, K::Edit, "", "FunctionCfg", "NetReceive", 10,
                    Rec(F::NetReceive), nullptr, kDigits),
                Number(0, 1000, true)),  // and not 1..9: the input rule says so
        Carried(Bounded(Xml("APN", kMain, IDC_EDIT_APN, K::Edit, "", "NetworkCfg", "APN"),
                        Text(kApnMaxBytes, false)),
                AtCommand::Apn, 1),
        Flagged(
            Carried(Bounded(Xml("Username", kMain, IDC_EDIT_APN_USER, K::Edit, "", "NetworkCfg", "Username"),
                            Text(kPdpAuthMaxBytes, false)),
                    AtCommand::Auth, 1),
            kSetAtStart),
        Flagged(
            Carried(Bounded(Xml("Password", kMain, IDC_EDIT_APN_PWD, K::Edit, "", "NetworkCfg", "Password"),
                            Text(kPdpAuthMaxBytes, false)),
                    AtCommand::Auth, 2),
            kSetAtStart),
        Xml("LogLevel", kMain, IDC_COMBO_LOGLEVEL, K::Combo, "1", "DebugCfg", "LogLevel", 0, -1,
            &kLogLevelTable),
        MqttEdit("IP", IDC_MQTT_ADDR, Text(kHostMaxBytes, true), AtCommand::MqttCfg, 1),
        MqttEdit("PORT", IDC_MQTT_PORT, Number(1, kPortMax, true), AtCommand::MqttCfg, 2),
        MqttEdit("ClientId", IDC_MQTT_CLIENT_ID, kMqttText, AtCommand::MqttCfg, 3),
        MqttEdit("UserName", IDC_MQTT_USER, kMqttText, AtCommand::MqttCfg, 4),
        MqttEdit("Password", IDC_MQTT_PWD, kMqttText, AtCommand::MqttCfg, 5),
        Flagged(Carried(Radio("ConnectState", kMqtt, IDC_MQTT_LONG_ENABLE, IDC_MQTT_LONG_DISABLE, 0, -1,
                              "MQTTCfg", "ConnectState"),
                        AtCommand::MqttCfg, 6),
                kOneWhenOff),
        // The MQTT keep-alive: 16 bits of seconds.
        MqttEdit("HeartPeriod", IDC_MQTT_BEAT_PERIOD, Number(0, kSixteenBits, true), AtCommand::MqttCfg, 7),
        MqttEdit("SUBTOPIC1", IDC_MQTT_SUBTOPIC1, kMqttText, AtCommand::SubTopic, 1),
        MqttEdit("SUBTOPIC2", IDC_MQTT_SUBTOPIC2, kMqttText, AtCommand::SubTopic, 2),
        MqttEdit("SUBTOPIC3", IDC_MQTT_SUBTOPIC3, kMqttText, AtCommand::SubTopic, 3),
        MqttEdit("SUBTOPIC4", IDC_MQTT_SUBTOPIC4, kMqttText, AtCommand::SubTopic, 4),
        MqttEdit("PUBTOPIC1", IDC_MQTT_PUBTOPIC1, kMqttText, AtCommand::PubTopic, 1),
        MqttEdit("PUBTOPIC2", IDC_MQTT_PUBTOPIC2, kMqttText, AtCommand::PubTopic, 2),
        MqttEdit("PUBTOPIC3", IDC_MQTT_PUBTOPIC3, kMqttText, AtCommand::PubTopic, 3),
        MqttEdit("PUBTOPIC4", IDC_MQTT_PUBTOPIC4, kMqttText, AtCommand::PubTopic, 4),

        // Main window parameters that Config.xml does not carry.
        Carried(Row("NetMode", kMain, IDC_COMBO_NETMODE, K::Combo, "AUTO", 0, -1, &kNetModeTable),
                AtCommand::Cnmp, 1),
        Carried(Row("SimType", kMain, IDC_COMBO_SIMTYPE, K::Combo, "非电信卡", 0, -1, &kSimTable),
                AtCommand::Auth, 0),
        Row("SerialType", kMain, IDC_COMBO_SERIAL_TYPE, K::Combo, "232", 0, -1, &kSerialTypeTable, kReadOnly),
        Row("FirmwareVersion", kMain, IDC_EDIT_FIRMWARE, K::Edit, "", 0, -1, nullptr, kReadOnly),
        Row("HwVersionPart1", kMain, IDC_EDIT_HW1, K::Edit, "", 0, -1, nullptr, kReadOnly),
        Row("HwVersionPart2", kMain, IDC_EDIT_HW2, K::Edit, "", 0, -1, nullptr, kReadOnly),
        Row("AppVersion", kMain, IDC_EDIT_APP_VERSION, K::Edit, "", 0, -1, nullptr, kReadOnly),
        Row("CurrentPageOnly", kMain, IDC_CHK_CURRENT_PAGE_ONLY, K::Check, "0"),

        // TCP/UDP page.
        // Server 1 travels in DTUCFG; servers 2..4 each in a MULTISOCKCFG of their own.
        Flagged(Counted(Row("ServerEnable1", kTcp, IDC_TCP_CHK_SERVER1, K::Check, "1"), 15, 1), kSetAtStart),
        Carried(Counted(Row("ServerEnable2", kTcp, IDC_TCP_CHK_SERVER2, K::Check, "0"), 15, 2),
                AtCommand::MultiSockCfg, 0, 2),
        Carried(Counted(Row("ServerEnable3", kTcp, IDC_TCP_CHK_SERVER3, K::Check, "0"), 15, 3),
                AtCommand::MultiSockCfg, 0, 3),
        Carried(Counted(Row("ServerEnable4", kTcp, IDC_TCP_CHK_SERVER4, K::Check, "0"), 15, 4),
                AtCommand::MultiSockCfg, 0, 4),
        Carried(Bounded(Row("ServerAddr2", kTcp, IDC_TCP_ADDR2, K::Edit, ""), RecordText(F::IPAddr)),
                AtCommand::MultiSockCfg, 2, 2),
        Carried(Bounded(Row("ServerAddr3", kTcp, IDC_TCP_ADDR3, K::Edit, ""), RecordText(F::IPAddr)),
                AtCommand::MultiSockCfg, 2, 3),
        Carried(Bounded(Row("ServerAddr4", kTcp, IDC_TCP_ADDR4, K::Edit, ""), RecordText(F::IPAddr)),
                AtCommand::MultiSockCfg, 2, 4),
        Carried(Bounded(Row("ServerPort2", kTcp, IDC_TCP_PORT2, K::Edit, ""), Number(1, kPortMax, true)),
                AtCommand::MultiSockCfg, 3, 2),
        Carried(Bounded(Row("ServerPort3", kTcp, IDC_TCP_PORT3, K::Edit, ""), Number(1, kPortMax, true)),
                AtCommand::MultiSockCfg, 3, 3),
        Carried(Bounded(Row("ServerPort4", kTcp, IDC_TCP_PORT4, K::Edit, ""), Number(1, kPortMax, true)),
                AtCommand::MultiSockCfg, 3, 4),
        Row("ImsiAsRegister", kTcp, IDC_TCP_CHK_IMSI, K::Check, "0", 0, -1, nullptr, kAction),
        Row("BeatHex", kTcp, IDC_TCP_CHK_HEX, K::Check, "1", 0, -1, nullptr, kHexPrefix | kSetAtStart),
        Bounded(Row("TriggerTime", kTcp, IDC_TCP_TRIGGER_TIME, K::Edit, "", 12, Rec(F::TriggerTime)),
                Number(1, 1000, true)),  // "(1-1000ms)"
        Bounded(Row("TriggerLength", kTcp, IDC_TCP_TRIGGER_LENGTH, K::Edit, "", 13, Rec(F::TriggerLength)),
                Number(0, 1460, true)),  // "(0-1460ms)"
        Radio("CloudEnable", kTcp, IDC_TCP_CLOUD_ENABLE, IDC_TCP_CLOUD_DISABLE, 14, Rec(F::CloudEnable)),
        Radio("UrcEnable", kTcp, IDC_TCP_URC_ENABLE, IDC_TCP_URC_DISABLE, 9, Rec(F::UrcEnable)),

        // MODBUS page.
        Carried(Row("ModbusEnable", kModbus, IDC_MODBUS_CHK_ENABLE, K::Check, "0"), AtCommand::ModbusCfg, 0),
        Carried(Bounded(Row("ModbusCycle", kModbus, IDC_MODBUS_CYCLE, K::Edit, ""),
                        Number(1, kSixteenBits, true)),
                AtCommand::ModbusCfg, 1),
        Carried(Bounded(Row("ModbusInterval", kModbus, IDC_MODBUS_INTERVAL, K::Edit, ""),
                        Number(0, kSixteenBits, true)),
                AtCommand::ModbusCfg, 2),
        // A command is the last field of its argument, so it may hold commas.
        ModbusCmd("ModbusCmd1", IDC_MODBUS_CMD1, 1),
        ModbusCmd("ModbusCmd2", IDC_MODBUS_CMD2, 2),
        ModbusCmd("ModbusCmd3", IDC_MODBUS_CMD3, 3),
        ModbusCmd("ModbusCmd4", IDC_MODBUS_CMD4, 4),
        ModbusCmd("ModbusCmd5", IDC_MODBUS_CMD5, 5),
        ModbusCmdEnable("ModbusCmdEnable1", IDC_MODBUS_CHK_SET1, 1),
        ModbusCmdEnable("ModbusCmdEnable2", IDC_MODBUS_CHK_SET2, 2),
        ModbusCmdEnable("ModbusCmdEnable3", IDC_MODBUS_CHK_SET3, 3),
        ModbusCmdEnable("ModbusCmdEnable4", IDC_MODBUS_CHK_SET4, 4),
        ModbusCmdEnable("ModbusCmdEnable5", IDC_MODBUS_CHK_SET5, 5),

        // HTTPS page.
        Carried(Row("HttpsEnable", kHttps, IDC_HTTPS_CHK_ENABLE, K::Check, "0"), AtCommand::Host, 0),
        Carried(
            Bounded(Row("HttpsServerAddr", kHttps, IDC_HTTPS_ADDR, K::Edit, ""), Text(kHostMaxBytes, false)),
            AtCommand::Host, 1, 1),
        Carried(Bounded(Row("HttpsServerPort", kHttps, IDC_HTTPS_PORT, K::Edit, "443", 0, -1, nullptr,
                            kDigits | kSetAtStart),
                        Number(1, kPortMax, false)),
                AtCommand::Host, 1, 2),
    };
    return rows;
}

}  // namespace

std::span<const ParameterRow> ParameterTable() {
    return Rows();
}

std::vector<const ParameterRow*> ConfigXmlLeaves() {
    std::vector<const ParameterRow*> leaves;
    for (const auto& row : Rows()) {
        if (row.xmlElement != nullptr) {
            leaves.push_back(&row);
        }
    }
    return leaves;
}

std::vector<const char*> ConfigXmlGroups() {
    std::vector<const char*> groups;
    for (const ParameterRow* leaf : ConfigXmlLeaves()) {
        if (groups.empty() || std::strcmp(groups.back(), leaf->xmlGroup) != 0) {
            groups.push_back(leaf->xmlGroup);
        }
    }
    return groups;
}

const ParameterRow* FindParameter(unsigned dialog, int id) {
    if (id == 0) {
        return nullptr;
    }
    for (const auto& row : Rows()) {
        if (row.dialog == dialog && (row.id == id || (row.kind == K::RadioPair && row.offId == id))) {
            return &row;
        }
    }
    return nullptr;
}

const ParameterRow* FindParameterByName(unsigned dialog, std::string_view name) {
    for (const auto& row : Rows()) {
        if (row.dialog == dialog && name == row.name) {
            return &row;
        }
    }
    return nullptr;
}

std::vector<const ParameterRow*> CommandFields(AtCommand command, int instance) {
    std::vector<const ParameterRow*> fields;
    for (const auto& row : Rows()) {
        if (row.carrier.command == command && row.carrier.field > 0 && row.carrier.instance == instance) {
            fields.push_back(&row);
        }
    }
    std::stable_sort(fields.begin(), fields.end(), [](const ParameterRow* a, const ParameterRow* b) {
        return a->carrier.field < b->carrier.field;
    });
    return fields;
}

const ParameterRow* CommandSwitch(AtCommand command, int instance) {
    for (const auto& row : Rows()) {
        if (row.carrier.command == command && row.carrier.field == 0 && row.carrier.instance == instance) {
            return &row;
        }
    }
    return nullptr;
}

std::vector<int> CommandInstances(AtCommand command) {
    std::vector<int> instances;
    for (const auto& row : Rows()) {
        if (row.carrier.command == command && row.carrier.field > 0 &&
            std::find(instances.begin(), instances.end(), row.carrier.instance) == instances.end()) {
            instances.push_back(row.carrier.instance);
        }
    }
    std::sort(instances.begin(), instances.end());
    return instances;
}

const ParameterRow* DtuCfgFieldRow(int field) {
    if (field == 0) {
        return nullptr;
    }
    for (const auto& row : Rows()) {
        if (row.dtuCfgField == field) {
            return &row;
        }
    }
    return nullptr;
}

std::vector<const ParameterRow*> RowsFlagged(unsigned flags) {
    std::vector<const ParameterRow*> rows;
    for (const auto& row : Rows()) {
        if ((row.flags & flags) == flags) {
            rows.push_back(&row);
        }
    }
    return rows;
}

}  // namespace parameters
