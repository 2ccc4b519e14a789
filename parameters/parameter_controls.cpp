#include "parameters/parameter_controls.h"

#include "parameters/parameter_ids.h"
#include "parameters/value_tables.h"

namespace parameters {

using namespace marlinq;

void InitParameterControls(fw::IControlAccess& main) {
    for (const ValueTable* table : kValueTables) {
        for (const char* item : table->items) {
            main.AddString(table->id, item);
        }
        main.SetCurSel(table->id, table->defaultIndex);
    }
    Tick(main, IDC_RADIO_AT, true);
    Tick(main, IDC_RADIO_ADB, false);
    main.SetWindowText(IDC_EDIT_APN_USER, "");
    main.SetWindowText(IDC_EDIT_APN_PWD, "");
}

DtuCfgValues ReadDtuCfgValues(const fw::IControlAccess& main, const fw::IControlAccess& tcp,
                              const fw::IControlAccess& modbus) {
    DtuCfgValues v;
    v.baudRate = main.GetWindowText(IDC_COMBO_BAUDRATE);
    v.ipAddr = tcp.GetWindowText(IDC_TCP_ADDR1);
    v.port = tcp.GetWindowText(IDC_TCP_PORT1);
    v.sockType = main.GetWindowText(IDC_COMBO_TYPE);
    v.registerEnable = Ticked(tcp, IDC_TCP_CHK_REGPACKET);
    v.registerText = tcp.GetWindowText(IDC_TCP_REGPACKET);
    v.beatInterval = tcp.GetWindowText(IDC_TCP_BEAT_PERIOD);
    v.beatText = tcp.GetWindowText(IDC_TCP_BEAT);
    v.beatHex = Ticked(tcp, IDC_TCP_CHK_HEX);
    v.urcEnable = Ticked(tcp, IDC_TCP_URC_ENABLE);
    v.netReceive = tcp.GetWindowText(IDC_TCP_NET_RECEIVE);
    v.triggerTime = tcp.GetWindowText(IDC_TCP_TRIGGER_TIME);
    v.triggerLength = tcp.GetWindowText(IDC_TCP_TRIGGER_LENGTH);
    v.cloudEnable = Ticked(tcp, IDC_TCP_CLOUD_ENABLE);
    const int servers[4] = {IDC_TCP_CHK_SERVER1, IDC_TCP_CHK_SERVER2, IDC_TCP_CHK_SERVER3,
                            IDC_TCP_CHK_SERVER4};
    for (int i = 0; i < 4; ++i) {
        v.serverEnable[static_cast<std::size_t>(i)] = Ticked(tcp, servers[i]);
    }
    v.modbusEnable = Ticked(modbus, IDC_MODBUS_CHK_ENABLE);
    const int sets[5] = {IDC_MODBUS_CHK_SET1, IDC_MODBUS_CHK_SET2, IDC_MODBUS_CHK_SET3, IDC_MODBUS_CHK_SET4,
                         IDC_MODBUS_CHK_SET5};
    for (int i = 0; i < 5; ++i) {
        v.modbusCmdEnable[static_cast<std::size_t>(i)] = Ticked(modbus, sets[i]);
    }
    v.resetTime = tcp.GetWindowText(IDC_TCP_RESET_TIME);
    return v;
}

namespace {

// Ticks onId and unticks offId when value is "1", the other way round otherwise.
void ApplyRadioPair(fw::IControlAccess& page, int onId, int offId, const std::string& value) {
    const bool on = value == "1";
    Tick(page, onId, on);
    Tick(page, offId, !on);
}

}  // namespace

void ApplyDtuCfgRecord(fw::IControlAccess& main, fw::IControlAccess& tcp, const DtuCfgRecord& record) {
    using F = RecordField;
    tcp.SetWindowText(IDC_TCP_ADDR1, record.Get(F::IPAddr));
    tcp.SetWindowText(IDC_TCP_PORT1, record.Get(F::Port));
    main.SetCurSel(IDC_COMBO_TYPE, kTypeTable.IndexOf(record.Get(F::SockType)));
    Tick(tcp, IDC_TCP_CHK_REGPACKET, record.Get(F::RegisterEnable) == "1");
    tcp.SetWindowText(IDC_TCP_REGPACKET, record.Get(F::RegisterText));
    tcp.SetWindowText(IDC_TCP_BEAT_PERIOD, record.Get(F::BeatInterval));
    tcp.SetWindowText(IDC_TCP_BEAT, record.Get(F::BeatText));
    tcp.SetWindowText(IDC_TCP_NET_RECEIVE, record.Get(F::NetReceive));
    tcp.SetWindowText(IDC_TCP_TRIGGER_TIME, record.Get(F::TriggerTime));
    tcp.SetWindowText(IDC_TCP_TRIGGER_LENGTH, record.Get(F::TriggerLength));
    ApplyRadioPair(tcp, IDC_TCP_CLOUD_ENABLE, IDC_TCP_CLOUD_DISABLE, record.Get(F::CloudEnable));
    ApplyRadioPair(tcp, IDC_TCP_URC_ENABLE, IDC_TCP_URC_DISABLE, record.Get(F::UrcEnable));
    tcp.SetWindowText(IDC_TCP_RESET_TIME, ResetTimeMinutesText(record.Get(F::ResetTime)));
}

}  // namespace parameters
