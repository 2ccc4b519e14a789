// Template 102: the main window in three columns (parameters and operations; mode tabs and the
// AT console; the log) and template 100, the About box.
#include <string>

#include "ui/program_info.h"
#include "ui/resource.h"
#include "ui/template_builders.h"
#include "ui/templates.h"

namespace marlinq {

using namespace fw;
using namespace tpl;

namespace {

enum MainGroup { kVersion, kBasic, kSimCard, kOther, kOperate, kAtCommand, kLog, kManualPort };

DialogTemplate MakeMainDialog() {
    DialogTemplate d;
    d.id = IDD_MARLINQ_DIALOG;
    d.caption = std::string("Marlinq_Eng_V") + ProgramVersion();
    d.font = "Microsoft Sans Serif";
    d.pointSize = 9;
    d.style = kResizable | kMinMaxBox | kSysMenu;
    d.columns = 3;
    d.groups = {
        {"Version", 0, 0},      {"Basic Params", 0, 0},   {"SimCard Params", 0, 0},
        {"Other Params", 0, 0}, {"Operate", 0, 0},        {"AT command", 1, 0},
        {"Log", 2, 0},          {"串口操作", 0, kHidden},
    };
    d.controls = {
        // Version
        Edit(IDC_EDIT_APP_VERSION, "APP：", kVersion, 0, kReadOnly),
        Edit(IDC_EDIT_HW1, "HW：", kVersion, 1, kReadOnly),
        Edit(IDC_EDIT_HW2, "---", kVersion, 1, kReadOnly),
        Edit(IDC_EDIT_FIRMWARE, "固件版本：", kVersion, 2, kReadOnly | kHidden),
        // Basic Params
        Combo(IDC_COMBO_BAUDRATE, "Baudrate：", kBasic, 0),
        Combo(IDC_COMBO_TYPE, "Type：", kBasic, 1),
        Combo(IDC_COMBO_SERIAL_TYPE, "串口类型：", kBasic, 2, kHidden),
        // SimCard Params
        Edit(IDC_EDIT_APN, "APN：", kSimCard, 0),
        Edit(IDC_EDIT_APN_USER, "User：", kSimCard, 1),
        Edit(IDC_EDIT_APN_PWD, "PWD：", kSimCard, 2),
        Combo(IDC_COMBO_SIMTYPE, "SIM卡类型：", kSimCard, 3, kHidden),
        // Other Params
        Combo(IDC_COMBO_NETMODE, "mode：", kOther, 0),
        Combo(IDC_COMBO_LOGLEVEL, "LOG level：", kOther, 1),
        Check(IDC_CHK_HEARTBEAT, "心跳包", kOther, 2, kHidden),
        Check(IDC_CHK_IMSI_REGISTER, "设置IMSI为注册包", kOther, 2, kHidden),
        Radio(IDC_RADIO_AT, "AT 指令方式", kOther, 3, kHidden),
        Radio(IDC_RADIO_ADB, "ADB Push/Pull 方式", kOther, 3, kHidden),
        // Operate
        Button(IDC_BTN_SAVE, "Save", kOperate, 0),
        Button(IDC_BTN_GET, "Get", kOperate, 0, kDisabled),
        Button(IDC_BTN_DOWNLOAD, "Download", kOperate, 1, kDisabled),
        Button(IDC_BTN_RESET_DTU, "Reset DTU", kOperate, 1, kDisabled),
        Button(IDC_BTN_SCAN_PORT, "Scan Port", kOperate, 2, kDisabled),
        Button(IDC_BTN_READ_EXT, "读取", kOperate, 3, kHidden | kDisabled),
        Button(IDC_BTN_SET_EXT, "设置", kOperate, 3, kHidden | kDisabled),
        Button(IDC_BTN_IMPORT_XML, "导入XML配置文件", kOperate, 4, kHidden),
        Button(IDC_BTN_FACTORY_RESET, "恢复出厂设置", kOperate, 4, kHidden | kDisabled),
        Button(IDC_BTN_XML_SELECT, "XML文件选择", kOperate, 5, kHidden),
        Edit(IDC_EDIT_XML_PATH, {}, kOperate, 5, kHidden),
        Button(IDC_BTN_XML_DOWNLOAD, "XML文件下载", kOperate, 5, kHidden | kDisabled),
        // Manual port panel
        Combo(IDC_COMBO_PORT, "串口：", kManualPort, 0, kHidden),
        Combo(IDC_COMBO_PORT_BAUD, "波特率：", kManualPort, 1, kHidden),
        Button(IDC_BTN_OPEN_PORT, "打开串口", kManualPort, 2, kHidden),
        Control(IDC_STATIC_PORT_ICON, ControlKind::StaticIcon, {}, {}, kManualPort, 2, kHidden),
        // Middle column: mode tabs, AT console, download form
        InColumn(Control(IDC_TAB_MODES, ControlKind::Tab, {}, {}, -1, 0, 0), 1),
        Edit(IDC_EDIT_AT_COMMAND, {}, kAtCommand, 0),
        Button(IDC_BTN_SEND, "Send", kAtCommand, 0),
        Button(IDC_BTN_CSQ, "CSQ", kAtCommand, 1),
        Button(IDC_BTN_NETWORK, "Network", kAtCommand, 1),
        Button(IDC_BTN_SIMCARD, "SIMCard", kAtCommand, 1),
        Button(IDC_BTN_DTUCFG, "DTUCFG", kAtCommand, 1),
        InColumn(Check(IDC_CHK_CURRENT_PAGE_ONLY, "Download only the current mode page", -1, 2), 1),
        // Right column: log pane, Help, Exit
        Edit(IDC_EDIT_LOG, {}, kLog, 0, kReadOnly | kMultiline | kScrollBars | kNoWrap | kMonospace),
        InColumn(Button(IDC_BTN_HELP, "Help", -1, 1), 2),
        InColumn(Button(IDC_BTN_EXIT, "Exit", -1, 1, kDefaultButton), 2),
    };
    return d;
}

DialogTemplate MakeAbout() {
    DialogTemplate d;
    d.id = IDD_ABOUTBOX;
    d.caption = "Marlinq";
    d.font = "Microsoft Sans Serif";
    d.pointSize = 9;
    d.style = kSysMenu;
    d.controls = {
        Control(IDC_STATIC, ControlKind::StaticIcon, {}, {}, -1, 0, 0),
        Control(IDC_STATIC, ControlKind::StaticText, std::string("Marlinq V") + ProgramVersion(), {}, -1, 0,
                0),
        Edit(IDC_ABOUT_FILES, "Files:", -1, 1, kReadOnly),
        Button(IDOK, "OK", -1, 2, kDefaultButton),
    };
    d.controls[0].icon = IDR_MAINFRAME;
    return d;
}

}  // namespace

const DialogTemplate& MainDialogTemplate() {
    static const DialogTemplate d = MakeMainDialog();
    return d;
}

const DialogTemplate& AboutTemplate() {
    static const DialogTemplate d = MakeAbout();
    return d;
}

}  // namespace marlinq
