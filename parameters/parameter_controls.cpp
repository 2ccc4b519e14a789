#include "parameters/parameter_controls.h"

#include "parameters/parameter_ids.h"
#include "parameters/value_tables.h"

namespace parameters {

using namespace marlinq;

void InitParameterControls(IControls& main) {
    for (const ValueTable* table : kValueTables) {
        for (const char* item : table->items) {
            main.AddItem(table->id, item);
        }
        main.SetCurSel(table->id, table->defaultIndex);
    }
    main.SetCheck(IDC_RADIO_AT, true);
    main.SetCheck(IDC_RADIO_ADB, false);
    main.SetText(IDC_EDIT_APN_USER, "");
    main.SetText(IDC_EDIT_APN_PWD, "");
}

DtuCfgValues ReadDtuCfgValues(const IControls& main, const IControls& tcp, const IControls& modbus) {
    DtuCfgValues v;
    v.baudRate = main.GetSelectedText(IDC_COMBO_BAUDRATE);
    v.ipAddr = tcp.GetText(IDC_TCP_ADDR1);
    v.port = tcp.GetText(IDC_TCP_PORT1);
    v.sockType = main.GetSelectedText(IDC_COMBO_TYPE);
    v.registerEnable = tcp.IsChecked(IDC_TCP_CHK_REGPACKET);
    v.registerText = tcp.GetText(IDC_TCP_REGPACKET);
    v.beatInterval = tcp.GetText(IDC_TCP_BEAT_PERIOD);
    v.beatText = tcp.GetText(IDC_TCP_BEAT);
    v.beatHex = tcp.IsChecked(IDC_TCP_CHK_HEX);
    v.urcEnable = tcp.IsChecked(IDC_TCP_URC_ENABLE);
    v.netReceive = tcp.GetText(IDC_TCP_NET_RECEIVE);
    v.triggerTime = tcp.GetText(IDC_TCP_TRIGGER_TIME);
    v.triggerLength = tcp.GetText(IDC_TCP_TRIGGER_LENGTH);
    v.cloudEnable = tcp.IsChecked(IDC_TCP_CLOUD_ENABLE);
    const int servers[4] = {IDC_TCP_CHK_SERVER1, IDC_TCP_CHK_SERVER2, IDC_TCP_CHK_SERVER3,
                            IDC_TCP_CHK_SERVER4};
    for (int i = 0; i < 4; ++i) {
        v.serverEnable[static_cast<std::size_t>(i)] = tcp.IsChecked(servers[i]);
    }
    v.modbusEnable = modbus.IsChecked(IDC_MODBUS_CHK_ENABLE);
    const int sets[5] = {IDC_MODBUS_CHK_SET1, IDC_MODBUS_CHK_SET2, IDC_MODBUS_CHK_SET3, IDC_MODBUS_CHK_SET4,
                         IDC_MODBUS_CHK_SET5};
    for (int i = 0; i < 5; ++i) {
        v.modbusCmdEnable[static_cast<std::size_t>(i)] = modbus.IsChecked(sets[i]);
    }
    v.resetTime = tcp.GetText(IDC_TCP_RESET_TIME);
    return v;
}

namespace {

// Ticks onId and unticks offId when value is "1", the other way round otherwise.
void ApplyRadioPair(IControls& page, int onId, int offId, const std::string& value) {
    const bool on = value == "1";
    page.SetCheck(onId, on);
    page.SetCheck(offId, !on);
}

}  // namespace

void ApplyDtuCfgRecord(IControls& main, IControls& tcp, const DtuCfgRecord& record) {
    using F = RecordField;
    tcp.SetText(IDC_TCP_ADDR1, record.Get(F::IPAddr));
    tcp.SetText(IDC_TCP_PORT1, record.Get(F::Port));
    main.SetCurSel(IDC_COMBO_TYPE, kTypeTable.IndexOf(record.Get(F::SockType)));
    tcp.SetCheck(IDC_TCP_CHK_REGPACKET, record.Get(F::RegisterEnable) == "1");
    tcp.SetText(IDC_TCP_REGPACKET, record.Get(F::RegisterText));
    tcp.SetText(IDC_TCP_BEAT_PERIOD, record.Get(F::BeatInterval));
    tcp.SetText(IDC_TCP_BEAT, record.Get(F::BeatText));
    tcp.SetText(IDC_TCP_NET_RECEIVE, record.Get(F::NetReceive));
    tcp.SetText(IDC_TCP_TRIGGER_TIME, record.Get(F::TriggerTime));
    tcp.SetText(IDC_TCP_TRIGGER_LENGTH, record.Get(F::TriggerLength));
    ApplyRadioPair(tcp, IDC_TCP_CLOUD_ENABLE, IDC_TCP_CLOUD_DISABLE, record.Get(F::CloudEnable));
    ApplyRadioPair(tcp, IDC_TCP_URC_ENABLE, IDC_TCP_URC_DISABLE, record.Get(F::UrcEnable));
    tcp.SetText(IDC_TCP_RESET_TIME, ResetTimeMinutesText(record.Get(F::ResetTime)));
}

}  // namespace parameters
