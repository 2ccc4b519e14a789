// The headless main window's flows as the parameter commands run them: a --set value put into its
// control, a button pressed and its flow's outcome, and the line that says why a flow failed.
// Called from the command's thread; each call runs on the window thread.
#pragma once

#include <string>
#include <utility>

#include "cli/console_host.h"
#include "cli/set_option.h"
#include "parameters/flow_deps.h"
#include "ui/marlinq_dlg.h"

namespace marlinq::cli {

// The driver of the dialog (main window or mode page) with template id dialog.
fw::CDialogDriver DialogDriver(CConsoleHost& host, unsigned dialog);

// Puts one --set value into its control; empty, or why it cannot.
std::string ApplySet(CConsoleHost& host, const SetOption& set);

// Runs fn with the main window on its thread.
template <class F>
auto OnWindow(CConsoleHost& host, F fn) {
    return host.Main().Call([fn](fw::CDialog* d) {
        using R = decltype(fn(std::declval<CMarlinqDlg&>()));
        return d != nullptr ? fn(*static_cast<CMarlinqDlg*>(d)) : R{};
    });
}

// Presses a button and returns the outcome of the flow it ran.
parameters::FlowOutcome Press(CConsoleHost& host, int button);

// Why a flow did not succeed: the refusal that stopped it, or the line the flow logged for its
// first failed step, with the count when more steps failed ("Get failed: CSUB get failed!").
std::string FlowFailure(const char* flow, const parameters::FlowOutcome& outcome);

// FlowFailure, unless the port itself failed during the flow (busy, a second program on it, the
// module gone): then that, with the port, is the cause to name.
std::string FlowFailureLine(CConsoleHost& host, const char* flow, const parameters::FlowOutcome& outcome);

}  // namespace marlinq::cli
