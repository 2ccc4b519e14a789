// The read flow: versions, the DTU configuration and the extended network parameters, from the
// module into the controls.
#pragma once

#include "atlink/at_client.h"
#include "parameters/extended_params.h"
#include "parameters/flow_deps.h"
#include "parameters/parameter_table.h"
#include "parameters/written_controls.h"

namespace parameters {

// Reads the versions, the SIM type and the working mode. Runs on the window thread for Get and on
// the scanner thread when the module becomes ready; there its control writes go through controls
// that post them to the window thread.
class VersionReader {
  public:
    VersionReader(atlink::AtClient& at, LogSink log) : m_at(at), m_log(std::move(log)) {}
    // Writes the version edits, the SIM combo and the Type combo of main. The outcome counts
    // every read, also AT+GMR and AT+DTUMODE? which log nothing.
    FlowOutcome ReadVersions(fw::IControlAccess& main);
    // The IMSI the last ReadVersions read (AT+CIMI); empty when it read none.
    const std::string& Imsi() const { return m_imsi; }

  private:
    atlink::AtClient& m_at;
    LogSink m_log;
    std::string m_imsi;
};

class ReadFlow {
  public:
    ReadFlow(fw::IControlAccess& main, fw::IControlAccess& tcp, atlink::AtClient& at, LogSink log);

    // Get: versions, the DTU configuration, the extended parameters; each runs whatever the
    // previous one gave.
    FlowOutcome OnBtnGet();
    FlowOutcome ReadVersions() { return m_versions.ReadVersions(m_main); }
    FlowOutcome ReadDtuCfg();
    FlowOutcome ReadExtendedParams() { return m_extended.ReadExtendedParams(); }

    // The IMSI the last Get read; empty when it read none.
    const std::string& Imsi() const { return m_versions.Imsi(); }
    // What the last Get read of the values a download sends.
    ModuleValues Read() const;
    // The rows whose controls the last Get set from what the module reported, in table order; a
    // read that failed left its rows out (and their controls as they were).
    std::vector<const ParameterRow*> ReadRows() const;

  private:
    // The main window and the TCP/UDP page, through which every read writes.
    WrittenControls m_main;
    WrittenControls m_tcp;
    atlink::AtClient& m_at;
    LogSink m_log;
    VersionReader m_versions;
    ExtendedParams m_extended;
    std::string m_dtuCfg;  // the last complete answer; empty when there was none
};

}  // namespace parameters
