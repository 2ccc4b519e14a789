// Identifiers of the dialogs that hold parameters and of every parameter control. They are
// written here once; ui/resource.h includes this header for the rest of the tool.
#pragma once

namespace marlinq {

// Dialog templates that hold parameters.
constexpr unsigned IDD_MARLINQ_DIALOG = 102;
constexpr unsigned IDD_TCP_MODE = 132;
constexpr unsigned IDD_MQTT_MODE = 133;
constexpr unsigned IDD_MODBUS_MODE = 134;
constexpr unsigned IDD_HTTPS_MODE = 135;

// Main window parameters (template 102).
constexpr int IDC_EDIT_APN = 1016;
constexpr int IDC_EDIT_APN_USER = 1017;
constexpr int IDC_COMBO_BAUDRATE = 1018;
constexpr int IDC_COMBO_TYPE = 1019;
constexpr int IDC_COMBO_SERIAL_TYPE = 1024;
constexpr int IDC_EDIT_APN_PWD = 1027;
constexpr int IDC_COMBO_NETMODE = 1030;
constexpr int IDC_COMBO_LOGLEVEL = 1031;
constexpr int IDC_COMBO_SIMTYPE = 1032;
constexpr int IDC_RADIO_AT = 1039;
constexpr int IDC_RADIO_ADB = 1040;
constexpr int IDC_EDIT_FIRMWARE = 1056;
constexpr int IDC_EDIT_HW1 = 1057;
constexpr int IDC_EDIT_HW2 = 1058;
constexpr int IDC_EDIT_APP_VERSION = 1059;
constexpr int IDC_CHK_CURRENT_PAGE_ONLY = 1073;

// TCP/UDP page (template 132).
constexpr int IDC_TCP_PORT1 = 1015;
constexpr int IDC_TCP_PORT2 = 1016;
constexpr int IDC_TCP_PORT3 = 1017;
constexpr int IDC_TCP_PORT4 = 1018;
constexpr int IDC_TCP_CHK_REGPACKET = 1020;
constexpr int IDC_TCP_REGPACKET = 1021;
constexpr int IDC_TCP_BEAT = 1023;
constexpr int IDC_TCP_CHK_HEX = 1026;
constexpr int IDC_TCP_CHK_IMSI = 1028;
constexpr int IDC_TCP_BEAT_PERIOD = 1037;
constexpr int IDC_TCP_RESET_TIME = 1038;
constexpr int IDC_TCP_ADDR1 = 1045;
constexpr int IDC_TCP_TRIGGER_TIME = 1046;
constexpr int IDC_TCP_ADDR2 = 1047;
constexpr int IDC_TCP_ADDR3 = 1048;
constexpr int IDC_TCP_ADDR4 = 1049;
constexpr int IDC_TCP_TRIGGER_LENGTH = 1050;
constexpr int IDC_TCP_CHK_SERVER1 = 1061;
constexpr int IDC_TCP_CHK_SERVER2 = 1062;
constexpr int IDC_TCP_CHK_SERVER3 = 1063;
constexpr int IDC_TCP_CHK_SERVER4 = 1064;
constexpr int IDC_TCP_CLOUD_DISABLE = 1065;
constexpr int IDC_TCP_CLOUD_ENABLE = 1066;
constexpr int IDC_TCP_URC_DISABLE = 1068;
constexpr int IDC_TCP_URC_ENABLE = 1069;
constexpr int IDC_TCP_NET_RECEIVE = 1073;

// MODBUS page (template 134).
constexpr int IDC_MODBUS_CYCLE = 1029;
constexpr int IDC_MODBUS_INTERVAL = 1030;
constexpr int IDC_MODBUS_CMD1 = 1031;
constexpr int IDC_MODBUS_CMD2 = 1032;
constexpr int IDC_MODBUS_CMD3 = 1033;
constexpr int IDC_MODBUS_CMD4 = 1034;
constexpr int IDC_MODBUS_CMD5 = 1035;
constexpr int IDC_MODBUS_CHK_ENABLE = 1061;
constexpr int IDC_MODBUS_CHK_SET1 = 1062;
constexpr int IDC_MODBUS_CHK_SET2 = 1063;
constexpr int IDC_MODBUS_CHK_SET3 = 1064;
constexpr int IDC_MODBUS_CHK_SET4 = 1065;
constexpr int IDC_MODBUS_CHK_SET5 = 1066;

// HTTPS page (template 135).
constexpr int IDC_HTTPS_CHK_ENABLE = 1068;
constexpr int IDC_HTTPS_ADDR = 1069;
constexpr int IDC_HTTPS_PORT = 1070;

// MQTT page (template 133).
constexpr int IDC_MQTT_PORT = 1015;
constexpr int IDC_MQTT_USER = 1017;
constexpr int IDC_MQTT_PWD = 1027;
constexpr int IDC_MQTT_ADDR = 1045;
constexpr int IDC_MQTT_CLIENT_ID = 1046;
constexpr int IDC_MQTT_BEAT_PERIOD = 1047;
constexpr int IDC_MQTT_SUBTOPIC1 = 1048;
constexpr int IDC_MQTT_SUBTOPIC2 = 1049;
constexpr int IDC_MQTT_SUBTOPIC3 = 1050;
constexpr int IDC_MQTT_SUBTOPIC4 = 1051;
constexpr int IDC_MQTT_PUBTOPIC1 = 1052;
constexpr int IDC_MQTT_PUBTOPIC2 = 1053;
constexpr int IDC_MQTT_PUBTOPIC3 = 1054;
constexpr int IDC_MQTT_PUBTOPIC4 = 1055;
constexpr int IDC_MQTT_LONG_DISABLE = 1071;
constexpr int IDC_MQTT_LONG_ENABLE = 1072;

}  // namespace marlinq
