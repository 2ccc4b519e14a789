// The extended network parameters: network mode, APN and PDP credentials, read from and written
// to the module apart from the DTU configuration.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "atlink/at_client.h"
#include "parameters/flow_deps.h"
#include "parameters/parameter_snapshot.h"
#include "parameters/sent_values.h"

namespace parameters {

// User name and password from a +CGAUTH answer: the texts between the first and second and
// between the third and fourth double quotes; nullopt with fewer than four quotes.
std::optional<std::pair<std::string, std::string>> ParseCredentials(std::string_view answer);

// The CGAUTH arguments: context 1, type 1, password first; and the telecom-card form with an
// empty context and type, user name first.
std::string AuthArgument(const std::string& user, const std::string& password);
std::string TelecomAuthArgument(const std::string& user, const std::string& password);

// The rows whose values DownloadExtendedParams sends: the network mode, the APN, and the user
// name and password when both are filled in (else neither is sent).
std::vector<const ParameterRow*> ExtendedSentRows(const ParameterSnapshot& values);

class ExtendedParams {
  public:
    // warn may be empty where nothing is downloaded.
    ExtendedParams(fw::IControlAccess& main, atlink::AtClient& at, LogSink log, WarningBox warn = {});

    // The outcome counts every read, also AT+CNMP? and AT+CGDCONT? which log nothing; a read
    // that got no value leaves its control unchanged.
    FlowOutcome ReadExtendedParams();
    // httpsEnabled: the HTTPS page's enable box; when ticked nothing is sent or logged. Reads the
    // main window's controls once.
    FlowOutcome DownloadExtendedParams(bool httpsEnabled);
    // The same from values read before (which hold the main window's controls).
    FlowOutcome DownloadExtendedParams(const ParameterSnapshot& values, bool httpsEnabled);

    // The network values the last download sent / the last read got; hasNetwork is false when
    // CNMP, CGDCONT and CGAUTH were not all sent (or read).
    const ModuleValues& Sent() const { return m_sent; }
    const ModuleValues& Read() const { return m_read; }
    void ForgetSent() { m_sent = {}; }

  private:
    fw::IControlAccess& m_main;
    atlink::AtClient& m_at;
    LogSink m_log;
    WarningBox m_warn;
    ModuleValues m_sent;
    ModuleValues m_read;
};

}  // namespace parameters
