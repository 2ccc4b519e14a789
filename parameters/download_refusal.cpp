#include "parameters/download_refusal.h"

namespace parameters {

void RefuseDownload(fw::IControlAccess& controls, int id, const std::string& message, const WarningBox& warn,
                    const LogSink& log, FlowOutcome& out) {
    out.refusal = message;
    controls.FocusAtEnd(id);
    if (warn) {
        warn(message);
    }
    log(message);
}

}  // namespace parameters
