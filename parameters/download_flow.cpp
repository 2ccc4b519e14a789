#include "parameters/download_flow.h"

#include "parameters/dtucfg_args.h"
#include "parameters/input_rules.h"
#include "parameters/parameter_controls.h"
#include "parameters/parameter_ids.h"
#include "parameters/parameter_table.h"
#include "parameters/sent_values.h"
#include "parameters/value_tables.h"

#ifndef MARLINQ_DEFAULT_HTTPS_HOST
#define MARLINQ_DEFAULT_HTTPS_HOST "dtu.marlinq.example"
#endif

namespace parameters {

using namespace marlinq;

const char* const kDefaultHttpsHost = MARLINQ_DEFAULT_HTTPS_HOST;

namespace {

constexpr int kServerChecks[3] = {IDC_TCP_CHK_SERVER2, IDC_TCP_CHK_SERVER3, IDC_TCP_CHK_SERVER4};
constexpr int kServerAddrs[3] = {IDC_TCP_ADDR2, IDC_TCP_ADDR3, IDC_TCP_ADDR4};
constexpr int kServerPorts[3] = {IDC_TCP_PORT2, IDC_TCP_PORT3, IDC_TCP_PORT4};
constexpr int kModbusSets[5] = {IDC_MODBUS_CHK_SET1, IDC_MODBUS_CHK_SET2, IDC_MODBUS_CHK_SET3,
                                IDC_MODBUS_CHK_SET4, IDC_MODBUS_CHK_SET5};
constexpr int kModbusCmds[5] = {IDC_MODBUS_CMD1, IDC_MODBUS_CMD2, IDC_MODBUS_CMD3, IDC_MODBUS_CMD4,
                                IDC_MODBUS_CMD5};
constexpr int kSubTopics[4] = {IDC_MQTT_SUBTOPIC1, IDC_MQTT_SUBTOPIC2, IDC_MQTT_SUBTOPIC3,
                               IDC_MQTT_SUBTOPIC4};
constexpr int kPubTopics[4] = {IDC_MQTT_PUBTOPIC1, IDC_MQTT_PUBTOPIC2, IDC_MQTT_PUBTOPIC3,
                               IDC_MQTT_PUBTOPIC4};

}  // namespace

std::string TopicArgument(const std::string (&topics)[4]) {
    std::string arg = topics[0];
    for (int i = 1; i < 4; ++i) {
        if (!topics[i].empty()) {
            arg += "," + topics[i];
        }
    }
    return arg;
}

DownloadFlow::DownloadFlow(ParameterDialogs dialogs, atlink::AtClient& at, LogSink log, WarningBox warn,
                           std::function<int()> currentPage)
    : m_dlg(dialogs),
      m_at(at),
      m_log(log),
      m_warn(warn),
      m_currentPage(std::move(currentPage)),
      m_extended(dialogs.main, at, log, warn) {}

FlowOutcome DownloadFlow::OnBtnDownload() {
    FlowOutcome out;
    m_dtuCfgSent = false;
    m_log("\r\nStart downloading parameters...");
    const bool currentPageOnly = Ticked(m_dlg.main, IDC_CHK_CURRENT_PAGE_ONLY);
    if (!ValuesMaySend(currentPageOnly, out)) {
        m_extended.ForgetSent();
        return out;
    }
    DownloadDtuMode(out);
    if (currentPageOnly) {
        m_extended.ForgetSent();
        DownloadCurrentPage(out);
        return out;
    }
    DownloadAllParams(out);
    out.Add(DownloadExtendedParams());
    return out;
}

FlowOutcome DownloadFlow::DownloadExtendedParams() {
    return m_extended.DownloadExtendedParams(Ticked(m_dlg.https, IDC_HTTPS_CHK_ENABLE));
}

void DownloadFlow::DownloadDtuMode(FlowOutcome& out) {
    const bool ok = m_at.SetDtuMode(DtuModeForTypeIndex(m_dlg.main.GetCurSel(IDC_COMBO_TYPE)));
    if (ok) {
        m_log("DTUMODE set successfully!");
    } else {
        LogFailure(m_log, out, "DTUMODE set failed!");
    }
}

void DownloadFlow::DownloadAllParams(FlowOutcome& out) {
    if (!InputRulesPass(DownloadForm::Full, out)) {
        return;
    }
    SendDtuCfg(out);
    SendServers(out);
    SendModbus(out);
    SendHttps(out);
    SendMqtt(out);
}

void DownloadFlow::DownloadCurrentPage(FlowOutcome& out) {
    switch (m_currentPage ? m_currentPage() : 0) {
        case 0:
            if (InputRulesPass(DownloadForm::CurrentPage, out)) {
                SendDtuCfg(out);
                SendServers(out);
            }
            break;
        case 1:
            if (InputRulesPass(DownloadForm::CurrentPage, out)) {
                SendDtuCfg(out);
                SendModbus(out);
            }
            break;
        case 2:
            if (!Ticked(m_dlg.https, IDC_HTTPS_CHK_ENABLE)) {
                LogFailure(m_log, out, "HTTPS is not enabled!");
            } else {
                SendHttps(out);
            }
            break;
        case 3:
            SendMqtt(out);
            break;
        default:
            break;
    }
}

bool DownloadFlow::ValuesMaySend(bool currentPageOnly, FlowOutcome& out) {
    const bool https = Ticked(m_dlg.https, IDC_HTTPS_CHK_ENABLE);
    unsigned parts = kDtuCfg | kServers | kModbus | kHttps | kMqtt;
    if (currentPageOnly) {
        constexpr unsigned kPageParts[4] = {kDtuCfg | kServers, kDtuCfg | kModbus, kHttps, kMqtt};
        const int page = m_currentPage ? m_currentPage() : 0;
        parts = page >= 0 && page < 4 ? kPageParts[page] : 0;
    }
    // The working mode goes first, whatever the form.
    std::vector<SentControl> sent = {{&m_dlg.main, IDD_MARLINQ_DIALOG, IDC_COMBO_TYPE}};
    const auto add = [&sent](fw::IControlAccess& page, unsigned dialog, int id) {
        sent.push_back({&page, dialog, id});
    };
    if (parts & kDtuCfg) {
        add(m_dlg.main, IDD_MARLINQ_DIALOG, IDC_COMBO_BAUDRATE);
        for (int id :
             {IDC_TCP_ADDR1, IDC_TCP_PORT1, IDC_TCP_REGPACKET, IDC_TCP_BEAT_PERIOD, IDC_TCP_BEAT,
              IDC_TCP_NET_RECEIVE, IDC_TCP_TRIGGER_TIME, IDC_TCP_TRIGGER_LENGTH, IDC_TCP_RESET_TIME}) {
            add(m_dlg.tcp, IDD_TCP_MODE, id);
        }
    }
    if (parts & kServers) {
        for (int i = 0; i < 3; ++i) {
            if (Ticked(m_dlg.tcp, kServerChecks[i])) {
                add(m_dlg.tcp, IDD_TCP_MODE, kServerAddrs[i]);
                add(m_dlg.tcp, IDD_TCP_MODE, kServerPorts[i]);
            }
        }
    }
    if ((parts & kModbus) && Ticked(m_dlg.modbus, IDC_MODBUS_CHK_ENABLE)) {
        add(m_dlg.modbus, IDD_MODBUS_MODE, IDC_MODBUS_CYCLE);
        add(m_dlg.modbus, IDD_MODBUS_MODE, IDC_MODBUS_INTERVAL);
        for (int i = 0; i < 5; ++i) {
            if (Ticked(m_dlg.modbus, kModbusSets[i])) {
                add(m_dlg.modbus, IDD_MODBUS_MODE, kModbusCmds[i]);
            }
        }
    }
    if ((parts & kHttps) && https) {
        add(m_dlg.https, IDD_HTTPS_MODE, IDC_HTTPS_ADDR);
        add(m_dlg.https, IDD_HTTPS_MODE, IDC_HTTPS_PORT);
    }
    if (parts & kMqtt) {
        for (int id : {IDC_MQTT_ADDR, IDC_MQTT_PORT, IDC_MQTT_CLIENT_ID, IDC_MQTT_USER, IDC_MQTT_PWD,
                       IDC_MQTT_BEAT_PERIOD}) {
            add(m_dlg.mqtt, IDD_MQTT_MODE, id);
        }
        for (int i = 0; i < 4; ++i) {
            add(m_dlg.mqtt, IDD_MQTT_MODE, kSubTopics[i]);
            add(m_dlg.mqtt, IDD_MQTT_MODE, kPubTopics[i]);
        }
    }
    if (!currentPageOnly && !https) {
        for (const SentControl& c : ExtendedSentControls(m_dlg.main)) {
            sent.push_back(c);
        }
    }
    const auto refusal = FirstUnsendable(sent, Ticked(m_dlg.tcp, IDC_TCP_CHK_HEX));
    if (refusal) {
        Refuse(*refusal->controls, refusal->id, refusal->message, out);
        return false;
    }
    return true;
}

bool DownloadFlow::InputRulesPass(DownloadForm form, FlowOutcome& out) {
    const InputRule rule = CheckInputRules(ReadDtuCfgValues(m_dlg.main, m_dlg.tcp, m_dlg.modbus));
    if (rule == InputRule::None) {
        return true;
    }
    const int focus = rule == InputRule::ResetTimeZero    ? IDC_TCP_RESET_TIME
                      : rule == InputRule::BeatHexInvalid ? IDC_TCP_BEAT
                                                          : IDC_TCP_NET_RECEIVE;
    Refuse(m_dlg.tcp, focus, InputRuleMessage(rule, form), out);
    return false;
}

void DownloadFlow::Refuse(fw::IControlAccess& page, int id, const std::string& message, FlowOutcome& out) {
    out.refusal = message;
    page.FocusAtEnd(id);
    if (m_warn) {
        m_warn(message);
    }
    m_log(message);
}

void DownloadFlow::Report(bool ok, const std::string& what, FlowOutcome& out) {
    if (ok) {
        m_log(what + " download successfully!");
    } else {
        LogFailure(m_log, out, what + " download failed!");
    }
}

void DownloadFlow::SendDtuCfg(FlowOutcome& out) {
    const std::string args = BuildDtuCfgArgs(ReadDtuCfgValues(m_dlg.main, m_dlg.tcp, m_dlg.modbus));
    const bool ok = m_at.SetDtuCfg(args);
    Report(ok, "DTUCFG parameters", out);
    m_dtuCfgSent = ok;
    m_dtuCfg = args;
}

ModuleValues DownloadFlow::Sent() const {
    ModuleValues sent = m_extended.Sent();
    sent.hasDtuCfg = m_dtuCfgSent;
    sent.dtuCfg = m_dtuCfg;
    return sent;
}

void DownloadFlow::SendServers(FlowOutcome& out) {
    const std::string type = m_dlg.main.GetWindowText(IDC_COMBO_TYPE);
    for (int i = 0; i < 3; ++i) {
        if (!Ticked(m_dlg.tcp, kServerChecks[i])) {
            continue;
        }
        const std::string arg = std::to_string(i + 1) + "," + m_dlg.tcp.GetWindowText(kServerAddrs[i]) + "," +
                                m_dlg.tcp.GetWindowText(kServerPorts[i]) + "," + type;
        Report(m_at.SetMultiSockCfg(arg), "MultiSockCfg-" + std::to_string(i + 2) + " parameters", out);
    }
}

void DownloadFlow::SendModbus(FlowOutcome& out) {
    fw::IControlAccess& page = m_dlg.modbus;
    if (!Ticked(page, IDC_MODBUS_CHK_ENABLE)) {
        return;
    }
    Report(m_at.SetModbusCfg(page.GetWindowText(IDC_MODBUS_CYCLE) + "," +
                             page.GetWindowText(IDC_MODBUS_INTERVAL)),
           "MODBUSCFG parameters", out);
    for (int i = 0; i < 5; ++i) {
        if (Ticked(page, kModbusSets[i])) {
            const std::string n = std::to_string(i + 1);
            Report(m_at.SetModbusCmd(n + "," + page.GetWindowText(kModbusCmds[i])),
                   "MODBUSCMD" + n + " parameters", out);
        }
    }
}

void DownloadFlow::SendHttps(FlowOutcome& out) {
    fw::IControlAccess& page = m_dlg.https;
    if (!Ticked(page, IDC_HTTPS_CHK_ENABLE)) {
        return;
    }
    const std::string addr = page.GetWindowText(IDC_HTTPS_ADDR);
    if (!addr.empty()) {
        Report(m_at.SetHost(addr), "Server Address", out);
    }
    const std::string port = page.GetWindowText(IDC_HTTPS_PORT);
    if (!port.empty()) {
        Report(m_at.SetHost(std::string(kDefaultHttpsHost) + ":" + port), "Server Port", out);
    }
}

void DownloadFlow::SendMqtt(FlowOutcome& out) {
    fw::IControlAccess& page = m_dlg.mqtt;
    const std::string connect = Ticked(page, IDC_MQTT_LONG_DISABLE) ? "1" : "0";
    const std::string cfg = page.GetWindowText(IDC_MQTT_ADDR) + "," + page.GetWindowText(IDC_MQTT_PORT) +
                            "," + page.GetWindowText(IDC_MQTT_CLIENT_ID) + "," +
                            page.GetWindowText(IDC_MQTT_USER) + "," + page.GetWindowText(IDC_MQTT_PWD) + "," +
                            connect + "," + page.GetWindowText(IDC_MQTT_BEAT_PERIOD);
    Report(m_at.SetMqttCfg(cfg), "MQTTCFG parameters", out);
    std::string sub[4];
    std::string pub[4];
    for (int i = 0; i < 4; ++i) {
        sub[i] = page.GetWindowText(kSubTopics[i]);
        pub[i] = page.GetWindowText(kPubTopics[i]);
    }
    Report(m_at.SetSubTopic(TopicArgument(sub)), "SUBTOPIC parameters", out);
    Report(m_at.SetPubTopic(TopicArgument(pub)), "PUBTOPIC parameters", out);
}

}  // namespace parameters
