#include "parameters/parameter_snapshot.h"

#include "parameters/parameter_ids.h"

namespace parameters {

ParameterSnapshot ParameterSnapshot::Read(const ParameterDialogs& dialogs) {
    using namespace marlinq;
    ParameterSnapshot snapshot;
    snapshot.ReadDialog(IDD_MARLINQ_DIALOG, dialogs.main);
    snapshot.ReadDialog(IDD_TCP_MODE, dialogs.tcp);
    snapshot.ReadDialog(IDD_MODBUS_MODE, dialogs.modbus);
    snapshot.ReadDialog(IDD_HTTPS_MODE, dialogs.https);
    snapshot.ReadDialog(IDD_MQTT_MODE, dialogs.mqtt);
    return snapshot;
}

void ParameterSnapshot::ReadDialog(unsigned dialog, fw::IControlAccess& controls) {
    m_dialogs[dialog] = &controls;
    for (const ParameterRow& row : ParameterTable()) {
        if (row.dialog != dialog || (row.flags & (kReadOnly | kAction)) != 0) {
            continue;
        }
        Value v;
        switch (row.kind) {
            case ParamKind::Edit:
                v.text = controls.GetWindowText(row.id);
                break;
            case ParamKind::Combo:
                // The text of the item read as selected, so that the two cannot disagree.
                v.selected = controls.GetCurSel(row.id);
                v.text = v.selected >= 0 ? controls.GetLBText(row.id, v.selected) : std::string();
                break;
            case ParamKind::Check:
                v.ticked = controls.GetCheck(row.id) == fw::BST_CHECKED;
                break;
            case ParamKind::RadioPair:
                v.ticked = controls.GetCheck(row.id) == fw::BST_CHECKED;
                v.offTicked = controls.GetCheck(row.offId) == fw::BST_CHECKED;
                break;
            case ParamKind::Fixed:
                continue;
        }
        m_values[&row] = std::move(v);
    }
}

const ParameterSnapshot::Value& ParameterSnapshot::Of(const ParameterRow& row) const {
    static const Value kUnread;
    const auto it = m_values.find(&row);
    return it != m_values.end() ? it->second : kUnread;
}

std::string ParameterSnapshot::Sent(const ParameterRow& row) const {
    const Value& v = Of(row);
    switch (row.kind) {
        case ParamKind::Check:
            return v.ticked ? "1" : "0";
        case ParamKind::RadioPair:
            return ((row.flags & kOneWhenOff) != 0 ? v.offTicked : v.ticked) ? "1" : "0";
        case ParamKind::Fixed:
            return row.defaultValue;
        case ParamKind::Edit:
        case ParamKind::Combo:
            break;
    }
    return v.text;
}

fw::IControlAccess* ParameterSnapshot::Controls(const ParameterRow& row) const {
    const auto it = m_dialogs.find(row.dialog);
    return it != m_dialogs.end() ? it->second : nullptr;
}

DtuCfgValues DtuCfgValuesOf(const ParameterSnapshot& values) {
    DtuCfgValues v;
    for (const ParameterRow& row : ParameterTable()) {
        const std::string& text = values.Text(row);
        const bool on = values.Ticked(row);
        switch (row.dtuCfgField) {
            case 1:
                v.baudRate = text;
                break;
            case 2:
                v.ipAddr = text;
                break;
            case 3:
                v.port = text;
                break;
            case 4:
                v.sockType = text;
                break;
            case 5:
                v.registerEnable = on;
                break;
            case 6:
                v.registerText = text;
                break;
            case 7:
                v.beatInterval = text;
                break;
            case 8:
                v.beatText = text;
                break;
            case 9:
                v.urcEnable = on;
                break;
            case 10:
                v.netReceive = text;
                break;
            case 12:
                v.triggerTime = text;
                break;
            case 13:
                v.triggerLength = text;
                break;
            case 14:
                v.cloudEnable = on;
                break;
            case 17:
                v.resetTime = text;
                break;
            default:
                break;
        }
        if (row.countedIn == 15 && row.countIndex >= 1 && row.countIndex <= 4) {
            v.serverEnable[static_cast<std::size_t>(row.countIndex - 1)] = on;
        }
        if (row.countedIn == 16 && row.countIndex >= 1 && row.countIndex <= 5) {
            v.modbusCmdEnable[static_cast<std::size_t>(row.countIndex - 1)] = on;
        }
        if ((row.flags & kHexPrefix) != 0) {
            v.beatHex = on;
        }
    }
    // The MODBUS box gates the counted commands as it gates MODBUSCFG.
    if (const ParameterRow* modbus = CommandSwitch(AtCommand::ModbusCfg)) {
        v.modbusEnable = values.Ticked(*modbus);
    }
    return v;
}

}  // namespace parameters
