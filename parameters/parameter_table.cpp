#include "parameters/parameter_table.h"

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

constexpr long kPortMax = 65535;
// Field 17 carries the minutes x 12 in a field of nine digits.
constexpr long kResetTimeMaxMinutes = 999'999'999L / 12;
constexpr unsigned kApnMaxBytes = 100;      // an APN's network identifier is at most 100 bytes long
constexpr unsigned kPdpAuthMaxBytes = 127;  // PDP user name and password
constexpr unsigned kHostMaxBytes = 253;     // a host name in text form
constexpr unsigned kMqttTextMaxBytes = 128;
constexpr unsigned kModbusCmdMaxBytes = 512;  // a MODBUS frame of at most 256 bytes, in hex
constexpr long kSixteenBits = 65535;

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
        Xml("SockType", kMain, IDC_COMBO_TYPE, K::Combo, "TCP", "SocketCfg", "SockType", 4, Rec(F::SockType),
            &kTypeTable),
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
        Bounded(Xml("APN", kMain, IDC_EDIT_APN, K::Edit, "", "NetworkCfg", "APN"), Text(kApnMaxBytes, false)),
        Bounded(Xml("Username", kMain, IDC_EDIT_APN_USER, K::Edit, "", "NetworkCfg", "Username"),
                Text(kPdpAuthMaxBytes, false)),
        Bounded(Xml("Password", kMain, IDC_EDIT_APN_PWD, K::Edit, "", "NetworkCfg", "Password"),
                Text(kPdpAuthMaxBytes, false)),
        Xml("LogLevel", kMain, IDC_COMBO_LOGLEVEL, K::Combo, "1", "DebugCfg", "LogLevel", 0, -1,
            &kLogLevelTable),
        Bounded(Xml("IP", kMqtt, IDC_MQTT_ADDR, K::Edit, "", "MQTTCfg", "IP"), Text(kHostMaxBytes, true)),
        Bounded(Xml("PORT", kMqtt, IDC_MQTT_PORT, K::Edit, "", "MQTTCfg", "PORT"), Number(1, kPortMax, true)),
        Bounded(Xml("ClientId", kMqtt, IDC_MQTT_CLIENT_ID, K::Edit, "", "MQTTCfg", "ClientId"),
                Text(kMqttTextMaxBytes, true)),
        Bounded(Xml("UserName", kMqtt, IDC_MQTT_USER, K::Edit, "", "MQTTCfg", "UserName"),
                Text(kMqttTextMaxBytes, true)),
        Bounded(Xml("Password", kMqtt, IDC_MQTT_PWD, K::Edit, "", "MQTTCfg", "Password"),
                Text(kMqttTextMaxBytes, true)),
        Radio("ConnectState", kMqtt, IDC_MQTT_LONG_ENABLE, IDC_MQTT_LONG_DISABLE, 0, -1, "MQTTCfg",
              "ConnectState"),
        Bounded(Xml("HeartPeriod", kMqtt, IDC_MQTT_BEAT_PERIOD, K::Edit, "", "MQTTCfg", "HeartPeriod"),
                Number(0, kSixteenBits, true)),  // the MQTT keep-alive: 16 bits of seconds
        Bounded(Xml("SUBTOPIC1", kMqtt, IDC_MQTT_SUBTOPIC1, K::Edit, "", "MQTTCfg", "SUBTOPIC1"),
                Text(kMqttTextMaxBytes, true)),
        Bounded(Xml("SUBTOPIC2", kMqtt, IDC_MQTT_SUBTOPIC2, K::Edit, "", "MQTTCfg", "SUBTOPIC2"),
                Text(kMqttTextMaxBytes, true)),
        Bounded(Xml("SUBTOPIC3", kMqtt, IDC_MQTT_SUBTOPIC3, K::Edit, "", "MQTTCfg", "SUBTOPIC3"),
                Text(kMqttTextMaxBytes, true)),
        Bounded(Xml("SUBTOPIC4", kMqtt, IDC_MQTT_SUBTOPIC4, K::Edit, "", "MQTTCfg", "SUBTOPIC4"),
                Text(kMqttTextMaxBytes, true)),
        Bounded(Xml("PUBTOPIC1", kMqtt, IDC_MQTT_PUBTOPIC1, K::Edit, "", "MQTTCfg", "PUBTOPIC1"),
                Text(kMqttTextMaxBytes, true)),
        Bounded(Xml("PUBTOPIC2", kMqtt, IDC_MQTT_PUBTOPIC2, K::Edit, "", "MQTTCfg", "PUBTOPIC2"),
                Text(kMqttTextMaxBytes, true)),
        Bounded(Xml("PUBTOPIC3", kMqtt, IDC_MQTT_PUBTOPIC3, K::Edit, "", "MQTTCfg", "PUBTOPIC3"),
                Text(kMqttTextMaxBytes, true)),
        Bounded(Xml("PUBTOPIC4", kMqtt, IDC_MQTT_PUBTOPIC4, K::Edit, "", "MQTTCfg", "PUBTOPIC4"),
                Text(kMqttTextMaxBytes, true)),

        // Main window parameters that Config.xml does not carry.
        Row("NetMode", kMain, IDC_COMBO_NETMODE, K::Combo, "AUTO", 0, -1, &kNetModeTable),
        Row("SimType", kMain, IDC_COMBO_SIMTYPE, K::Combo, "非电信卡", 0, -1, &kSimTable),
        Row("SerialType", kMain, IDC_COMBO_SERIAL_TYPE, K::Combo, "232", 0, -1, &kSerialTypeTable, kReadOnly),
        Row("FirmwareVersion", kMain, IDC_EDIT_FIRMWARE, K::Edit, "", 0, -1, nullptr, kReadOnly),
        Row("HwVersionPart1", kMain, IDC_EDIT_HW1, K::Edit, "", 0, -1, nullptr, kReadOnly),
        Row("HwVersionPart2", kMain, IDC_EDIT_HW2, K::Edit, "", 0, -1, nullptr, kReadOnly),
        Row("AppVersion", kMain, IDC_EDIT_APP_VERSION, K::Edit, "", 0, -1, nullptr, kReadOnly),
        Row("CurrentPageOnly", kMain, IDC_CHK_CURRENT_PAGE_ONLY, K::Check, "0"),

        // TCP/UDP page.
        Row("ServerEnable1", kTcp, IDC_TCP_CHK_SERVER1, K::Check, "1"),
        Row("ServerEnable2", kTcp, IDC_TCP_CHK_SERVER2, K::Check, "0"),
        Row("ServerEnable3", kTcp, IDC_TCP_CHK_SERVER3, K::Check, "0"),
        Row("ServerEnable4", kTcp, IDC_TCP_CHK_SERVER4, K::Check, "0"),
        Bounded(Row("ServerAddr2", kTcp, IDC_TCP_ADDR2, K::Edit, ""), RecordText(F::IPAddr)),
        Bounded(Row("ServerAddr3", kTcp, IDC_TCP_ADDR3, K::Edit, ""), RecordText(F::IPAddr)),
        Bounded(Row("ServerAddr4", kTcp, IDC_TCP_ADDR4, K::Edit, ""), RecordText(F::IPAddr)),
        Bounded(Row("ServerPort2", kTcp, IDC_TCP_PORT2, K::Edit, ""), Number(1, kPortMax, true)),
        Bounded(Row("ServerPort3", kTcp, IDC_TCP_PORT3, K::Edit, ""), Number(1, kPortMax, true)),
        Bounded(Row("ServerPort4", kTcp, IDC_TCP_PORT4, K::Edit, ""), Number(1, kPortMax, true)),
        Row("ImsiAsRegister", kTcp, IDC_TCP_CHK_IMSI, K::Check, "0", 0, -1, nullptr, kAction),
        Row("BeatHex", kTcp, IDC_TCP_CHK_HEX, K::Check, "1"),
        Bounded(Row("TriggerTime", kTcp, IDC_TCP_TRIGGER_TIME, K::Edit, "", 12, Rec(F::TriggerTime)),
                Number(1, 1000, true)),  // "(1-1000ms)"
        Bounded(Row("TriggerLength", kTcp, IDC_TCP_TRIGGER_LENGTH, K::Edit, "", 13, Rec(F::TriggerLength)),
                Number(0, 1460, true)),  // "(0-1460ms)"
        Radio("CloudEnable", kTcp, IDC_TCP_CLOUD_ENABLE, IDC_TCP_CLOUD_DISABLE, 14, Rec(F::CloudEnable)),
        Radio("UrcEnable", kTcp, IDC_TCP_URC_ENABLE, IDC_TCP_URC_DISABLE, 9, Rec(F::UrcEnable)),

        // MODBUS page.
        Row("ModbusEnable", kModbus, IDC_MODBUS_CHK_ENABLE, K::Check, "0"),
        Bounded(Row("ModbusCycle", kModbus, IDC_MODBUS_CYCLE, K::Edit, ""), Number(1, kSixteenBits, true)),
        Bounded(Row("ModbusInterval", kModbus, IDC_MODBUS_INTERVAL, K::Edit, ""),
                Number(0, kSixteenBits, true)),
        // A command is the last field of its argument, so it may hold commas.
        Bounded(Row("ModbusCmd1", kModbus, IDC_MODBUS_CMD1, K::Edit, ""), Text(kModbusCmdMaxBytes, false)),
        Bounded(Row("ModbusCmd2", kModbus, IDC_MODBUS_CMD2, K::Edit, ""), Text(kModbusCmdMaxBytes, false)),
        Bounded(Row("ModbusCmd3", kModbus, IDC_MODBUS_CMD3, K::Edit, ""), Text(kModbusCmdMaxBytes, false)),
        Bounded(Row("ModbusCmd4", kModbus, IDC_MODBUS_CMD4, K::Edit, ""), Text(kModbusCmdMaxBytes, false)),
        Bounded(Row("ModbusCmd5", kModbus, IDC_MODBUS_CMD5, K::Edit, ""), Text(kModbusCmdMaxBytes, false)),
        Row("ModbusCmdEnable1", kModbus, IDC_MODBUS_CHK_SET1, K::Check, "0"),
        Row("ModbusCmdEnable2", kModbus, IDC_MODBUS_CHK_SET2, K::Check, "0"),
        Row("ModbusCmdEnable3", kModbus, IDC_MODBUS_CHK_SET3, K::Check, "0"),
        Row("ModbusCmdEnable4", kModbus, IDC_MODBUS_CHK_SET4, K::Check, "0"),
        Row("ModbusCmdEnable5", kModbus, IDC_MODBUS_CHK_SET5, K::Check, "0"),

        // HTTPS page.
        Row("HttpsEnable", kHttps, IDC_HTTPS_CHK_ENABLE, K::Check, "0"),
        Bounded(Row("HttpsServerAddr", kHttps, IDC_HTTPS_ADDR, K::Edit, ""), Text(kHostMaxBytes, false)),
        Bounded(Row("HttpsServerPort", kHttps, IDC_HTTPS_PORT, K::Edit, "443", 0, -1, nullptr, kDigits),
                Number(1, kPortMax, false)),
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

}  // namespace parameters
