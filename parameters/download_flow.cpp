#include "parameters/download_flow.h"

#include <algorithm>

#include "parameters/download_refusal.h"
#include "parameters/dtucfg_args.h"
#include "parameters/input_rules.h"
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

// The Type combo: the working mode by its index, DTUCFG field 4 and every MULTISOCKCFG's type.
const ParameterRow& TypeRow() {
    return *CommandFields(AtCommand::DtuMode).front();
}

// True when the box that decides whether command (instance) is sent is ticked.
bool Switched(const ParameterSnapshot& values, AtCommand command, int instance = 0) {
    const ParameterRow* box = CommandSwitch(command, instance);
    return box != nullptr && values.Ticked(*box);
}

// The values of rows as sent, joined by commas.
std::string Joined(const ParameterSnapshot& values, const std::vector<const ParameterRow*>& rows) {
    std::string arg;
    for (const ParameterRow* row : rows) {
        arg += (row == rows.front() ? "" : ",") + values.Sent(*row);
    }
    return arg;
}

std::string Topics(const ParameterSnapshot& values, AtCommand command) {
    const auto rows = CommandFields(command);
    std::string topics[4];
    for (std::size_t i = 0; i < 4 && i < rows.size(); ++i) {
        topics[i] = values.Text(*rows[i]);
    }
    return TopicArgument(topics);
}

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
    const ParameterSnapshot values = ParameterSnapshot::Read(m_dlg);
    const bool currentPageOnly = values.Ticked(*FindParameter(IDD_MARLINQ_DIALOG, IDC_CHK_CURRENT_PAGE_ONLY));
    const int page = !currentPageOnly ? -1 : m_currentPage ? m_currentPage() : 0;
    if (!ValuesMaySend(values, page, out)) {
        m_extended.ForgetSent();
        return out;
    }
    DownloadDtuMode(values, out);
    if (currentPageOnly) {
        m_extended.ForgetSent();
        DownloadCurrentPage(values, page, out);
        return out;
    }
    DownloadAllParams(values, out);
    out.Add(m_extended.DownloadExtendedParams(values, Switched(values, AtCommand::Host)));
    return out;
}

FlowOutcome DownloadFlow::DownloadExtendedParams() {
    const ParameterSnapshot values = ParameterSnapshot::Read(m_dlg);
    return m_extended.DownloadExtendedParams(values, Switched(values, AtCommand::Host));
}

void DownloadFlow::DownloadDtuMode(const ParameterSnapshot& values, FlowOutcome& out) {
    const bool ok = m_at.SetDtuMode(DtuModeForTypeIndex(values.Selected(TypeRow())));
    if (ok) {
        m_log("DTUMODE set successfully!");
    } else {
        LogFailure(m_log, out, "DTUMODE set failed!");
    }
}

void DownloadFlow::DownloadAllParams(const ParameterSnapshot& values, FlowOutcome& out) {
    if (!InputRulesPass(values, DownloadForm::Full, out)) {
        return;
    }
    SendDtuCfg(values, out);
    SendServers(values, out);
    SendModbus(values, out);
    SendHttps(values, out);
    SendMqtt(values, out);
}

void DownloadFlow::DownloadCurrentPage(const ParameterSnapshot& values, int page, FlowOutcome& out) {
    switch (page) {
        case 0:
            if (InputRulesPass(values, DownloadForm::CurrentPage, out)) {
                SendDtuCfg(values, out);
                SendServers(values, out);
            }
            break;
        case 1:
            if (InputRulesPass(values, DownloadForm::CurrentPage, out)) {
                SendDtuCfg(values, out);
                SendModbus(values, out);
            }
            break;
        case 2:
            if (!Switched(values, AtCommand::Host)) {
                LogFailure(m_log, out, "HTTPS is not enabled!");
            } else {
                SendHttps(values, out);
            }
            break;
        case 3:
            SendMqtt(values, out);
            break;
        default:
            break;
    }
}

bool DownloadFlow::ValuesMaySend(const ParameterSnapshot& values, int page, FlowOutcome& out) {
    const bool https = Switched(values, AtCommand::Host);
    unsigned parts = kDtuCfg | kServers | kModbus | kHttps | kMqtt;
    if (page >= 0) {
        constexpr unsigned kPageParts[4] = {kDtuCfg | kServers, kDtuCfg | kModbus, kHttps, kMqtt};
        parts = page < 4 ? kPageParts[page] : 0;
    }
    // The working mode goes first, whatever the form. Check boxes and radio buttons send "1" or
    // "0" and need no judging.
    std::vector<const ParameterRow*> sent = {&TypeRow()};
    const auto add = [&sent](const ParameterRow* row) {
        if (row != nullptr && (row->kind == ParamKind::Edit || row->kind == ParamKind::Combo) &&
            std::find(sent.begin(), sent.end(), row) == sent.end()) {
            sent.push_back(row);
        }
    };
    const auto addAll = [&add](const std::vector<const ParameterRow*>& rows) {
        std::for_each(rows.begin(), rows.end(), add);
    };
    if (parts & kDtuCfg) {
        for (int field = 1; field <= static_cast<int>(kDtuCfgFieldCount); ++field) {
            add(DtuCfgFieldRow(field));
        }
    }
    if (parts & kServers) {
        for (int server : CommandInstances(AtCommand::MultiSockCfg)) {
            if (Switched(values, AtCommand::MultiSockCfg, server)) {
                addAll(CommandFields(AtCommand::MultiSockCfg, server));
            }
        }
    }
    if ((parts & kModbus) && Switched(values, AtCommand::ModbusCfg)) {
        addAll(CommandFields(AtCommand::ModbusCfg));
        for (int command : CommandInstances(AtCommand::ModbusCmd)) {
            if (Switched(values, AtCommand::ModbusCmd, command)) {
                addAll(CommandFields(AtCommand::ModbusCmd, command));
            }
        }
    }
    if ((parts & kHttps) && https) {
        for (int form : CommandInstances(AtCommand::Host)) {
            addAll(CommandFields(AtCommand::Host, form));
        }
    }
    if (parts & kMqtt) {
        addAll(CommandFields(AtCommand::MqttCfg));
        const auto sub = CommandFields(AtCommand::SubTopic);
        const auto pub = CommandFields(AtCommand::PubTopic);
        for (std::size_t i = 0; i < sub.size() || i < pub.size(); ++i) {
            add(i < sub.size() ? sub[i] : nullptr);
            add(i < pub.size() ? pub[i] : nullptr);
        }
    }
    if (page < 0 && !https) {
        addAll(ExtendedSentRows(values));
    }
    const auto refusal = FirstUnsendable(values, sent, DtuCfgValuesOf(values).beatHex);
    if (refusal && refusal->controls != nullptr) {
        RefuseDownload(*refusal->controls, refusal->id, refusal->message, m_warn, m_log, out);
        return false;
    }
    return true;
}

bool DownloadFlow::InputRulesPass(const ParameterSnapshot& values, DownloadForm form, FlowOutcome& out) {
    const InputRule rule = CheckInputRules(DtuCfgValuesOf(values));
    if (rule == InputRule::None) {
        return true;
    }
    // The DTUCFG field of the edit the rule judges.
    const int field = rule == InputRule::ResetTimeZero ? 17 : rule == InputRule::BeatHexInvalid ? 8 : 10;
    const ParameterRow& row = *DtuCfgFieldRow(field);
    RefuseDownload(*values.Controls(row), row.id, InputRuleMessage(rule, form), m_warn, m_log, out);
    return false;
}

void DownloadFlow::Report(bool ok, const std::string& what, FlowOutcome& out) {
    if (ok) {
        m_log(what + " download successfully!");
    } else {
        LogFailure(m_log, out, what + " download failed!");
    }
}

void DownloadFlow::SendDtuCfg(const ParameterSnapshot& values, FlowOutcome& out) {
    const std::string args = BuildDtuCfgArgs(DtuCfgValuesOf(values));
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

void DownloadFlow::SendServers(const ParameterSnapshot& values, FlowOutcome& out) {
    const std::string type = values.Text(TypeRow());
    for (int server : CommandInstances(AtCommand::MultiSockCfg)) {
        if (!Switched(values, AtCommand::MultiSockCfg, server)) {
            continue;
        }
        // Server 2 is the module's socket 1.
        const std::string arg = std::to_string(server - 1) + "," +
                                Joined(values, CommandFields(AtCommand::MultiSockCfg, server)) + "," + type;
        Report(m_at.SetMultiSockCfg(arg), "MultiSockCfg-" + std::to_string(server) + " parameters", out);
    }
}

void DownloadFlow::SendModbus(const ParameterSnapshot& values, FlowOutcome& out) {
    if (!Switched(values, AtCommand::ModbusCfg)) {
        return;
    }
    Report(m_at.SetModbusCfg(Joined(values, CommandFields(AtCommand::ModbusCfg))), "MODBUSCFG parameters",
           out);
    for (int command : CommandInstances(AtCommand::ModbusCmd)) {
        if (Switched(values, AtCommand::ModbusCmd, command)) {
            const std::string n = std::to_string(command);
            Report(m_at.SetModbusCmd(n + "," + Joined(values, CommandFields(AtCommand::ModbusCmd, command))),
                   "MODBUSCMD" + n + " parameters", out);
        }
    }
}

void DownloadFlow::SendHttps(const ParameterSnapshot& values, FlowOutcome& out) {
    if (!Switched(values, AtCommand::Host)) {
        return;
    }
    const std::string addr = Joined(values, CommandFields(AtCommand::Host, 1));
    if (!addr.empty()) {
        Report(m_at.SetHost(addr), "Server Address", out);
    }
    const std::string port = Joined(values, CommandFields(AtCommand::Host, 2));
    if (!port.empty()) {
        Report(m_at.SetHost(std::string(kDefaultHttpsHost) + ":" + port), "Server Port", out);
    }
}

void DownloadFlow::SendMqtt(const ParameterSnapshot& values, FlowOutcome& out) {
    Report(m_at.SetMqttCfg(Joined(values, CommandFields(AtCommand::MqttCfg))), "MQTTCFG parameters", out);
    Report(m_at.SetSubTopic(Topics(values, AtCommand::SubTopic)), "SUBTOPIC parameters", out);
    Report(m_at.SetPubTopic(Topics(values, AtCommand::PubTopic)), "PUBTOPIC parameters", out);
}

}  // namespace parameters
