// What the parameter flows share besides the controls (fw::IControlAccess, one per dialog) and the
// AT client (atlink::AtClient): the log pane, the modal message box and what a flow reports.
#pragma once

#include <functional>
#include <string>

#include "framework/control_access.h"
#include "framework/types.h"

namespace parameters {

// Check boxes and radio buttons as flags.
inline bool Ticked(const fw::IControlAccess& controls, int id) {
    return controls.GetCheck(id) == fw::BST_CHECKED;
}
inline void Tick(fw::IControlAccess& controls, int id, bool ticked) {
    controls.SetCheck(id, ticked ? fw::BST_CHECKED : fw::BST_UNCHECKED);
}

// Appends one line to the log pane.
using LogSink = std::function<void(const std::string&)>;
// Shows a modal message box with the caption "\x1bMarlinq", an exclamation icon and OK.
using WarningBox = std::function<void(const std::string&)>;

// What a download sent of the values the module reports back, and what a read got; compared by
// CompareWithModule.
struct ModuleValues {
    bool hasDtuCfg = false;
    std::string dtuCfg;  // the 17-field list
    bool hasNetwork = false;
    std::string cnmp;
    std::string apn;
    std::string user;  // empty when the credentials were cleared or none are reported
    std::string password;
};

// How a flow ended: the steps that reported a failure, and the text of a refusal (an input rule
// or a text that cannot be sent) when one stopped it.
struct FlowOutcome {
    int failedSteps = 0;
    std::string refusal;
    bool Ok() const { return failedSteps == 0 && refusal.empty(); }
};

}  // namespace parameters
