#include "cli/window_flows.h"

#include "cli/failures.h"
#include "ui/resource.h"

namespace marlinq::cli {

fw::CDialogDriver DialogDriver(CConsoleHost& host, unsigned dialog) {
    switch (dialog) {
        case IDD_TCP_MODE:
            return host.Page(MODE_PAGE_TCP);
        case IDD_MODBUS_MODE:
            return host.Page(MODE_PAGE_MODBUS);
        case IDD_HTTPS_MODE:
            return host.Page(MODE_PAGE_HTTPS);
        case IDD_MQTT_MODE:
            return host.Page(MODE_PAGE_MQTT);
        default:
            return host.Main();
    }
}

// Puts one --set value into its control on the window thread; empty, or why it cannot.
std::string ApplySet(CConsoleHost& host, const SetOption& set) {
    return DialogDriver(host, set.dialog).Call([&set](fw::CDialog* d) -> std::string {
        if (d == nullptr) {
            return "the window is gone";
        }
        fw::CDialogControlAccess controls(*d);
        if (!controls.IsWindowEnabled(set.id)) {
            return std::string(set.row->name) + " cannot be changed";
        }
        switch (set.row->kind) {
            case parameters::ParamKind::Combo:
                controls.SelectItemText(set.id, set.value);
                break;
            case parameters::ParamKind::Check:
                controls.SetCheck(set.id, set.value == "1" ? fw::BST_CHECKED : fw::BST_UNCHECKED);
                break;
            case parameters::ParamKind::RadioPair:
                if (auto* button = d->GetItem<fw::CButton>(set.id); button != nullptr && set.value == "1") {
                    d->CheckRadioInGroup(*button);
                } else {
                    controls.SetCheck(set.id, fw::BST_UNCHECKED);
                }
                break;
            default:
                controls.SetWindowText(set.id, set.value);
                break;
        }
        return {};
    });
}

// Presses a button and returns the outcome of the flow it ran.
parameters::FlowOutcome Press(CConsoleHost& host, int button) {
    OnWindow(host, [](CMarlinqDlg& d) {
        d.At().BeginTally();  // the port failures of this flow alone
        return true;
    });
    host.Main().Click(button);
    host.Main().Sync();  // the flow runs on the window thread: it is over now
    return OnWindow(host, [](CMarlinqDlg& d) { return d.LastFlowOutcome(); });
}

// The line that says why a flow did not succeed: the refusal that stopped it, or the line the
// flow logged for its first failed step, with the count when more steps failed.
std::string FlowFailure(const char* flow, const parameters::FlowOutcome& outcome) {
    if (!outcome.refusal.empty()) {
        return std::string(flow) + " refused: " + outcome.refusal;
    }
    std::string what = outcome.firstFailure;
    while (!what.empty() && what.back() == ' ') {
        what.pop_back();
    }
    std::string line = std::string(flow) + " failed: " + what;
    if (outcome.failedSteps > 1) {
        line += " (" + std::to_string(outcome.failedSteps) + " steps failed)";
    }
    return line;
}

// FlowFailure, unless the port itself failed during the flow (busy, a second program on it, the
// module gone): then that, with the port, is the cause to name.
std::string FlowFailureLine(CConsoleHost& host, const char* flow, const parameters::FlowOutcome& outcome) {
    if (outcome.refusal.empty()) {
        const atlink::AtOutcomeReport port =
            OnWindow(host, [](CMarlinqDlg& d) { return d.At().FirstPortFailure(); });
        const std::string line = DescribePortFailure(port, flow);
        if (!line.empty()) {
            return line;
        }
    }
    return FlowFailure(flow, outcome);
}

}  // namespace marlinq::cli
