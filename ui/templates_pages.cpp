// Templates 132 to 135: the four mode pages hosted by the tab control of the main window.
#include <string>

#include "ui/resource.h"
#include "ui/template_builders.h"
#include "ui/templates.h"

namespace marlinq {

using namespace fw;
using namespace tpl;

namespace {

DialogTemplate Page(UINT id, int columns) {
    DialogTemplate d;
    d.id = id;
    d.font = "Microsoft Sans Serif";
    d.pointSize = 9;
    d.style = kChild;
    d.columns = columns;
    return d;
}

DialogTemplate MakeTcp() {
    enum { kServers, kPackets, kCloud, kUrc };
    DialogTemplate d = Page(IDD_TCP_MODE, 1);
    d.groups = {{"", 0, 0}, {"", 0, 0}, {"Cloud parameter settings", 0, 0}, {"URC switch", 0, 0}};
    const int checks[] = {IDC_TCP_CHK_SERVER1, IDC_TCP_CHK_SERVER2, IDC_TCP_CHK_SERVER3, IDC_TCP_CHK_SERVER4};
    const int addrs[] = {IDC_TCP_ADDR1, IDC_TCP_ADDR2, IDC_TCP_ADDR3, IDC_TCP_ADDR4};
    const int ports[] = {IDC_TCP_PORT1, IDC_TCP_PORT2, IDC_TCP_PORT3, IDC_TCP_PORT4};
    for (int i = 0; i < 4; ++i) {
        d.controls.push_back(
            Check(checks[i], "Enable Server" + std::to_string(i + 1), kServers, i, i == 0 ? kDisabled : 0u));
        d.controls.push_back(Edit(addrs[i], "DNS/IP：", kServers, i));
        d.controls.push_back(Edit(ports[i], "Port：", kServers, i));
    }
    d.controls.insert(
        d.controls.end(),
        {
            Check(IDC_TCP_CHK_REGPACKET, "RegPacket", kPackets, 0),
            Edit(IDC_TCP_REGPACKET, {}, kPackets, 0),
            Check(IDC_TCP_CHK_IMSI, "IMSI", kPackets, 0),
            Edit(IDC_TCP_BEAT_PERIOD, "Beat Peroid：", kPackets, 1, kDigitsOnly, "(1-600 sec)"),
            Edit(IDC_TCP_BEAT, "Beat：", kPackets, 2),
            Check(IDC_TCP_CHK_HEX, "HEX", kPackets, 2),
            Edit(IDC_TCP_TRIGGER_TIME, "Trigger Time：", kPackets, 3, 0, "(1-1000ms)"),
            Edit(IDC_TCP_TRIGGER_LENGTH, "Trigger Length：", kPackets, 4, 0, "(0-1460ms)", kHidden),
            Edit(IDC_TCP_NET_RECEIVE, "Net Receive：", kPackets, 5, kDigitsOnly),
            Edit(IDC_TCP_RESET_TIME, "Fault Restart Time：", kPackets, 6, 0, "mins"),
            Radio(IDC_TCP_CLOUD_DISABLE, "Disable", kCloud, 0),
            Radio(IDC_TCP_CLOUD_ENABLE, "Enable", kCloud, 0),
            Radio(IDC_TCP_URC_DISABLE, "Disable", kUrc, 0),
            Radio(IDC_TCP_URC_ENABLE, "Enable", kUrc, 0),
        });
    return d;
}

DialogTemplate MakeModbus() {
    DialogTemplate d = Page(IDD_MODBUS_MODE, 1);
    d.groups = {{"", 0, 0}};
    d.controls = {
        Check(IDC_MODBUS_CHK_ENABLE, "Enable MODBUS", 0, 0),
        Edit(IDC_MODBUS_CYCLE, "Cycle：", 0, 1, 0, "s"),
        Edit(IDC_MODBUS_INTERVAL, "Interval：", 0, 2, 0, "ms"),
    };
    for (int i = 0; i < 5; ++i) {
        const std::string n = std::to_string(i + 1);
        d.controls.push_back(Check(IDC_MODBUS_CHK_SET1 + i, "Set" + n, 0, 3 + i));
        d.controls.push_back(Edit(IDC_MODBUS_CMD1 + i, "CMD" + n + "：", 0, 3 + i));
    }
    return d;
}

DialogTemplate MakeHttps() {
    DialogTemplate d = Page(IDD_HTTPS_MODE, 1);
    d.groups = {{"", 0, 0}};
    d.controls = {
        Check(IDC_HTTPS_CHK_ENABLE, "Enable HTTPS", 0, 0),
        Edit(IDC_HTTPS_ADDR, "Server Addr：", 0, 1),
        Edit(IDC_HTTPS_PORT, "Server Port：", 0, 2, kDigitsOnly),
    };
    return d;
}

DialogTemplate MakeMqtt() {
    enum { kBasic, kLong, kSub, kPub };
    DialogTemplate d = Page(IDD_MQTT_MODE, 2);
    d.groups = {{"Basic Configuration", 0, 0},
                {"Long connection state", 0, 0},
                {"Subscription Topics", 1, 0},
                {"Posted Topics", 1, 0}};
    d.controls = {
        Edit(IDC_MQTT_ADDR, "DNS/IP：", kBasic, 0),
        Edit(IDC_MQTT_PORT, "Port：", kBasic, 1),
        Edit(IDC_MQTT_USER, "User：", kBasic, 2),
        Edit(IDC_MQTT_PWD, "PWD：", kBasic, 3),
        Edit(IDC_MQTT_CLIENT_ID, "Client ID：", kBasic, 4),
        Edit(IDC_MQTT_BEAT_PERIOD, "Beat Peroid：", kBasic, 5),
        Radio(IDC_MQTT_LONG_DISABLE, "Disable", kLong, 0),
        Radio(IDC_MQTT_LONG_ENABLE, "Enable", kLong, 0),
    };
    for (int i = 0; i < 4; ++i) {
        d.controls.push_back(Edit(IDC_MQTT_SUBTOPIC1 + i, "Topic" + std::to_string(i + 1) + "：", kSub, i));
    }
    for (int i = 0; i < 4; ++i) {
        d.controls.push_back(Edit(IDC_MQTT_PUBTOPIC1 + i, "Topic" + std::to_string(i + 1) + "：", kPub, i));
    }
    return d;
}

}  // namespace

const DialogTemplate& TcpModeTemplate() {
    static const DialogTemplate d = MakeTcp();
    return d;
}

const DialogTemplate& ModbusModeTemplate() {
    static const DialogTemplate d = MakeModbus();
    return d;
}

const DialogTemplate& HttpsModeTemplate() {
    static const DialogTemplate d = MakeHttps();
    return d;
}

const DialogTemplate& MqttModeTemplate() {
    static const DialogTemplate d = MakeMqtt();
    return d;
}

}  // namespace marlinq
