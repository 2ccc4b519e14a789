// The value lists and defaults of the parameter controls of the main window.
#include "ui/marlinq_dlg.h"

namespace marlinq {

namespace {

struct ValueList {
    int id;
    std::vector<const char*> items;
    int defaultIndex;
};

const ValueList kValueLists[] = {
    {IDC_COMBO_BAUDRATE,
     {"300", "600", "1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200", "230400", "460800",
      "921600"},
     9},
    {IDC_COMBO_NETMODE, {"2G", "4G", "AUTO"}, 2},
    {IDC_COMBO_LOGLEVEL, {"1", "2"}, 0},
    {IDC_COMBO_SIMTYPE, {"电信卡", "非电信卡"}, 1},
    {IDC_COMBO_SERIAL_TYPE, {"232", "485"}, 0},
    {IDC_COMBO_TYPE, {"TCP", "UDP", "MQTT", "HTTP(S)"}, 0},
};

}  // namespace

void CMarlinqDlg::InitParameterControls() {
    for (const auto& list : kValueLists) {
        if (auto* combo = GetItem<fw::CComboBox>(list.id)) {
            for (const char* item : list.items) {
                combo->AddString(item);
            }
            combo->SetCurSel(list.defaultIndex);
        }
    }
    CheckDlgButton(IDC_RADIO_AT, fw::BST_CHECKED);
    CheckDlgButton(IDC_RADIO_ADB, fw::BST_UNCHECKED);
    SetDlgItemText(IDC_EDIT_APN_USER, "");
    SetDlgItemText(IDC_EDIT_APN_PWD, "");
}

}  // namespace marlinq
