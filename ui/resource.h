// Resource and control identifiers of the tool's dialogs. The dialogs that hold parameters and
// the parameter controls are in parameters/parameter_ids.h.
#pragma once

#include "parameters/parameter_ids.h"

namespace marlinq {

// Dialog templates.
constexpr unsigned IDD_ABOUTBOX = 100;

// Strings.
constexpr unsigned IDS_ABOUTBOX = 101;
constexpr unsigned IDS_HELP = 102;

// Icons.
constexpr int IDR_MAINFRAME = 128;
constexpr int IDI_PORT_CLOSED = 130;
constexpr int IDI_PORT_OPEN = 131;

// System-menu commands.
constexpr unsigned IDM_SYS_ABOUT = 0x0010;
constexpr unsigned IDM_SYS_HELP = 0x0020;

// Main window controls (template 102).
constexpr int IDC_BTN_EXIT = 1;
constexpr int IDC_CHK_HEARTBEAT = 1022;
constexpr int IDC_CHK_IMSI_REGISTER = 1028;
constexpr int IDC_BTN_GET = 1033;
constexpr int IDC_BTN_DOWNLOAD = 1034;
constexpr int IDC_EDIT_LOG = 1035;
constexpr int IDC_BTN_SCAN_PORT = 1036;
constexpr int IDC_BTN_IMPORT_XML = 1041;
constexpr int IDC_BTN_SAVE = 1042;
constexpr int IDC_BTN_READ_EXT = 1043;
constexpr int IDC_BTN_SET_EXT = 1044;
constexpr int IDC_BTN_SEND = 1045;
constexpr int IDC_BTN_RESET_DTU = 1046;
constexpr int IDC_BTN_FACTORY_RESET = 1047;
constexpr int IDC_BTN_XML_SELECT = 1048;
constexpr int IDC_EDIT_XML_PATH = 1049;
constexpr int IDC_BTN_XML_DOWNLOAD = 1050;
constexpr int IDC_BTN_HELP = 1051;
constexpr int IDC_COMBO_PORT = 1052;
constexpr int IDC_COMBO_PORT_BAUD = 1053;
constexpr int IDC_BTN_OPEN_PORT = 1054;
constexpr int IDC_STATIC_PORT_ICON = 1055;
constexpr int IDC_TAB_MODES = 1060;
constexpr int IDC_BTN_CSQ = 1061;
constexpr int IDC_BTN_NETWORK = 1062;
constexpr int IDC_BTN_SIMCARD = 1063;
constexpr int IDC_BTN_DTUCFG = 1064;
constexpr int IDC_EDIT_AT_COMMAND = 1067;

// About box controls (template 100).
constexpr int IDC_ABOUT_FILES = 1090;

// Timers and commands of the main window.
constexpr unsigned TIMER_START_SCAN = 2;
constexpr unsigned TIMER_START_SCAN_MS = 1000;
constexpr unsigned TIMER_ADB_TIMEOUT = 3;
constexpr unsigned TIMER_ADB_TIMEOUT_MS = 30000;
constexpr int ID_ADB_PUSH_XML = 2013;

}  // namespace marlinq
