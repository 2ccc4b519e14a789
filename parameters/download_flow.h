// The download flow: the working mode, then the DTU configuration and the mode pages as AT set
// commands, in the full form or only for the visible mode page.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "parameters/extended_params.h"
#include "parameters/flow_deps.h"
#include "parameters/input_rules.h"
#include "parameters/parameter_snapshot.h"

namespace parameters {

// The host name of the HOST command's port form; fixed when the tool is built.
extern const char* const kDefaultHttpsHost;

// The SUBTOPIC and PUBTOPIC argument: topic 1 always, then a comma and each later topic that is
// not empty.
std::string TopicArgument(const std::string (&topics)[4]);

class DownloadFlow {
  public:
    // currentPage gives the visible mode page: 0 TCP/UDP, 1 MODBUS, 2 HTTPS, 3 MQTT.
    DownloadFlow(ParameterDialogs dialogs, atlink::AtClient& at, LogSink log, WarningBox warn,
                 std::function<int()> currentPage);

    // Reads the controls once; the values judged before the first byte are the values sent.
    FlowOutcome OnBtnDownload();
    FlowOutcome DownloadExtendedParams();

    // What the last press sent of the values the module reports back.
    ModuleValues Sent() const;

  private:
    enum Part : unsigned { kDtuCfg = 1, kServers = 2, kModbus = 4, kHttps = 8, kMqtt = 16 };

    // The steps of OnBtnDownload; each adds to out. page is the visible mode page.
    void DownloadDtuMode(const ParameterSnapshot& values, FlowOutcome& out);
    void DownloadAllParams(const ParameterSnapshot& values, FlowOutcome& out);
    void DownloadCurrentPage(const ParameterSnapshot& values, int page, FlowOutcome& out);

    // Every value this press would send, before the first byte of it; on a failure the offending
    // control gets the focus, the message box shows and the message is logged. page is -1 for the
    // full form.
    bool ValuesMaySend(const ParameterSnapshot& values, int page, FlowOutcome& out);
    // The input rules R1-R3, refused the same way.
    bool InputRulesPass(const ParameterSnapshot& values, DownloadForm form, FlowOutcome& out);
    void Report(bool ok, const std::string& what, FlowOutcome& out);

    void SendDtuCfg(const ParameterSnapshot& values, FlowOutcome& out);
    void SendServers(const ParameterSnapshot& values, FlowOutcome& out);
    void SendModbus(const ParameterSnapshot& values, FlowOutcome& out);
    void SendHttps(const ParameterSnapshot& values, FlowOutcome& out);
    void SendMqtt(const ParameterSnapshot& values, FlowOutcome& out);

    ParameterDialogs m_dlg;
    atlink::AtClient& m_at;
    LogSink m_log;
    WarningBox m_warn;
    std::function<int()> m_currentPage;
    ExtendedParams m_extended;
    bool m_dtuCfgSent = false;
    std::string m_dtuCfg;
};

}  // namespace parameters
