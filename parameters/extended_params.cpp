#include "parameters/extended_params.h"

#include "parameters/download_refusal.h"
#include "parameters/parameter_ids.h"
#include "parameters/value_tables.h"

namespace parameters {

using namespace marlinq;

std::optional<std::pair<std::string, std::string>> ParseCredentials(std::string_view answer) {
    std::size_t quotes[4];
    std::size_t from = 0;
    for (auto& q : quotes) {
        q = answer.find('"', from);
        if (q == std::string_view::npos) {
            return std::nullopt;
        }
        from = q + 1;
    }
    return std::make_pair(std::string(answer.substr(quotes[0] + 1, quotes[1] - quotes[0] - 1)),
                          std::string(answer.substr(quotes[2] + 1, quotes[3] - quotes[2] - 1)));
}

std::string AuthArgument(const std::string& user, const std::string& password) {
    return "1,1,\"" + password + "\",\"" + user + "\"";
}

std::string TelecomAuthArgument(const std::string& user, const std::string& password) {
    return ",,\"" + user + "\",\"" + password + "\"";
}

namespace {

// The one row carrying command (NetMode, APN); the user name and the password of CGAUTH.
const ParameterRow& Carrying(AtCommand command, int field = 1) {
    return *CommandFields(command).at(static_cast<std::size_t>(field - 1));
}

}  // namespace

std::vector<const ParameterRow*> ExtendedSentRows(const ParameterSnapshot& values) {
    const ParameterRow& user = Carrying(AtCommand::Auth, 1);
    const ParameterRow& password = Carrying(AtCommand::Auth, 2);
    std::vector<const ParameterRow*> rows = {&Carrying(AtCommand::Cnmp), &Carrying(AtCommand::Apn)};
    if (!values.Text(user).empty() && !values.Text(password).empty()) {
        rows.push_back(&user);
        rows.push_back(&password);
    }
    return rows;
}

ExtendedParams::ExtendedParams(fw::IControlAccess& main, atlink::AtClient& at, LogSink log, WarningBox warn)
    : m_main(main), m_at(at), m_log(std::move(log)), m_warn(std::move(warn)) {}

FlowOutcome ExtendedParams::ReadExtendedParams() {
    FlowOutcome out;
    m_log("\r\nGetting extended params...");
    m_read = {};
    // The network mode and the APN are read without a line in the log. A read that got no value
    // counts as a failed step and leaves its control as it was, so that a module that did not
    // answer never empties what the operator set (and what Config.xml then keeps).
    m_read.cnmp = m_at.QueryCnmp();
    if (!m_read.cnmp.empty()) {
        m_main.SetCurSel(Carrying(AtCommand::Cnmp).id, NetModeIndexForCnmp(m_read.cnmp));
    } else {
        out.Failed("AT+CNMP? got no network mode");
    }
    if (const auto apn = m_at.QueryApnValue()) {
        m_read.apn = *apn;
        m_main.SetWindowText(Carrying(AtCommand::Apn).id, m_read.apn);
    } else {
        out.Failed("AT+CGDCONT? got no APN");
    }
    const std::string auth = m_at.QueryAuth();
    const auto credentials = auth.empty() ? std::nullopt : ParseCredentials(auth);
    m_read.hasNetwork = !auth.empty();
    if (credentials) {
        m_read.user = credentials->first;
        m_read.password = credentials->second;
        m_main.SetWindowText(Carrying(AtCommand::Auth, 1).id, credentials->first);
        m_main.SetWindowText(Carrying(AtCommand::Auth, 2).id, credentials->second);
        m_log("Get extended params finished!");
    } else {
        m_log("Getting user name and password failed!");
        // An answer without credentials is a module that stores none; only a failed query is a
        // failed step.
        if (auth.empty()) {
            out.Failed("Getting user name and password failed!");
        }
    }
    return out;
}

FlowOutcome ExtendedParams::DownloadExtendedParams(bool httpsEnabled) {
    ParameterSnapshot values;
    values.ReadDialog(IDD_MARLINQ_DIALOG, m_main);
    return DownloadExtendedParams(values, httpsEnabled);
}

FlowOutcome ExtendedParams::DownloadExtendedParams(const ParameterSnapshot& values, bool httpsEnabled) {
    FlowOutcome out;
    m_sent = {};
    if (httpsEnabled) {
        return out;
    }
    m_log("\r\nDownloading extended params...");
    if (const auto refusal = FirstUnsendable(values, ExtendedSentRows(values), false)) {
        RefuseDownload(*refusal->controls, refusal->id, refusal->message, m_warn, m_log, out);
        return out;
    }
    const std::string cnmp = CnmpForNetModeIndex(values.Selected(Carrying(AtCommand::Cnmp)));
    const std::string apn = values.Text(Carrying(AtCommand::Apn));
    const std::string user = values.Text(Carrying(AtCommand::Auth, 1));
    const std::string password = values.Text(Carrying(AtCommand::Auth, 2));
    if (!m_at.SetCnmp(cnmp)) {
        LogFailure(m_log, out, "Download CNMP failed!");
        return out;
    }
    m_log("Download CNMP successfully!");
    if (!m_at.SetApn(apn)) {
        LogFailure(m_log, out, "Download APN failed!");
        return out;
    }
    m_log("Download APN successfully!");
    m_sent.cnmp = cnmp;
    m_sent.apn = apn;
    if (user.empty() || password.empty()) {
        m_log("User name or password is empty");
        if (m_at.ClearAuth()) {
            m_sent.hasNetwork = true;
            m_log("Clear original user name and password successfully");
        } else {
            LogFailure(m_log, out, "Clear original user name and password failed");
        }
        m_log("Download extended params finished!");
        return out;
    }
    if (!m_at.ClearAuth()) {
        LogFailure(m_log, out, "Clear original user name and password failed");
        return out;
    }
    m_log("Clear original user name and password successfully");
    const int sim = values.Selected(*CommandSwitch(AtCommand::Auth));
    if (sim == 0 || sim == 1) {
        if (!m_at.SetAuth(AuthArgument(user, password)) ||
            (sim == 0 && !m_at.SetAuth(TelecomAuthArgument(user, password)))) {
            LogFailure(m_log, out, "Set user name and password failed!");
            return out;
        }
        m_log("Set user name and password successfully");
        m_sent.hasNetwork = true;
        m_sent.user = user;
        m_sent.password = password;
    }
    m_log("Download extended params finished!");
    return out;
}

}  // namespace parameters
