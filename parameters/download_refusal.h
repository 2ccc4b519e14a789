// How a download refuses a value: the operator is taken to the control and told why.
#pragma once

#include <string>

#include "parameters/flow_deps.h"

namespace parameters {

// The control id of controls gets the keyboard focus with the caret behind its text, the warning
// box shows message (when there is a box), then message is logged; out keeps it as the refusal.
void RefuseDownload(fw::IControlAccess& controls, int id, const std::string& message, const WarningBox& warn,
                    const LogSink& log, FlowOutcome& out);

}  // namespace parameters
