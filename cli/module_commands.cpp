// The marlinq-cli commands that talk to the module through the headless main window: each waits
// for the module's readiness (cli/module_wait.h), then presses its button. The log pane's lines go to
// standard output, or with --json to standard error and one JSON object to standard output
// (cli/command_report.h).
#include <iostream>
#include <string>

#include "cli/command_report.h"
#include "cli/commands.h"
#include "cli/console_host.h"
#include "cli/failures.h"
#include "cli/module_wait.h"
#include "cli/options.h"
#include "ui/marlinq_dlg.h"
#include "ui/resource.h"

namespace marlinq::cli {

namespace {

// The Reset DTU worker waits this long for the module to restart before it restarts the scan.
constexpr long kResetWorkerSeconds = 20;

struct Options {
    ModuleWait wait;
    Args rest;
};

// Takes "--timeout S", "--port N", "--pace P" and "--json" out of args; false (with the reason) on a missing
// or malformed value.
bool ParseOptions(const Args& args, Options* options, std::string* error) {
    ParsedArgs parsed;
    if (!ParseArgs(args, {TimeoutOption(), PortOption(), PaceOption(), FlagOption("--json")}, &parsed,
                   error)) {
        return false;
    }
    options->wait.pacing = PaceOf(parsed);
    options->wait.timeoutSeconds = parsed.Value("--timeout", kDefaultTimeoutSeconds);
    options->wait.port = static_cast<int>(parsed.Value("--port", 0));
    options->rest = parsed.rest;
    return true;
}

int Usage(const char* name, const char* arguments, const std::string& why, CommandReport& report) {
    return report.Finish(UsageError(name, arguments, why, report.Err()));
}

// The last command of the window's AT client (the console's send, or a wrapper's command).
atlink::AtCommandRecord LastCommand(CConsoleHost& host) {
    return host.Main().Call([](fw::CDialog* d) {
        return d != nullptr ? static_cast<CMarlinqDlg*>(d)->At().LastCommand() : atlink::AtCommandRecord{};
    });
}

// Puts the port the module was found on into the report, once the window is ready.
void ReportReadyPort(CConsoleHost& host, CommandReport& report) {
    const int port = ReadyPort(host);
    if (port > 0) {
        report.Add("port", static_cast<long long>(port));
    }
}

// Presses a console button; done when the module's answer reached the log pane.
int PressConsoleButton(CConsoleHost& host, int button, const std::string& typed, atlink::Pacing pacing,
                       CommandReport& report) {
    auto main = host.Main();
    if (!typed.empty()) {
        main.Type(IDC_EDIT_AT_COMMAND, typed);
    }
    main.Click(button);
    main.Sync();  // the console's transaction runs on the window thread: it is over now
    const atlink::AtCommandRecord last = LastCommand(host);
    const int closed = host.Close();
    if (last.report.port > 0) {
        report.Add("port", static_cast<long long>(last.report.port));
    }
    report.Add("answer", AnswerLines(last.answer));
    if (!last.succeeded) {
        return report.Finish(
            Fail(DescribeFailure(last.report, WindowText(pacing, kConsoleWindowText)), report.Err()));
    }
    return report.Finish(closed == 0 ? kExitDone : kExitFailed);
}

// The request each quick-query button sends.
const char* ButtonRequest(int button) {
    switch (button) {
        case IDC_BTN_CSQ:
            return "AT+CSQ";
        case IDC_BTN_NETWORK:
            return "AT+CPSI?";
        case IDC_BTN_SIMCARD:
            return "AT+CPIN?";
        default:
            return "AT+DTUCFG?";
    }
}

int RunConsoleCommand(const char* name, const Args& args, int button, bool takesText) {
    CommandReport report(name, args);
    Options options;
    std::string error;
    const char* arguments = takesText ? "[--timeout S] [--pace fixed|answer] [--json] \"TEXT\""
                                      : "[--timeout S] [--port N] [--pace fixed|answer] [--json]";
    if (!ParseOptions(args, &options, &error)) {
        return Usage(name, arguments, error, report);
    }
    if (options.rest.size() != (takesText ? 1u : 0u) || (takesText && options.rest[0].empty())) {
        return Usage(name, arguments,
                     takesText ? "one command text is needed" : "no arguments besides options", report);
    }
    if (takesText && options.rest[0].find_first_of("\r\n") != std::string::npos) {
        return Usage(name, arguments, "the command text holds a line break", report);
    }
    report.Add("request", takesText ? options.rest[0] : std::string(ButtonRequest(button)));
    CConsoleHost host(report.Log());
    if (!WaitUntilReady(host, options.wait, report.Err())) {
        host.Close();
        return report.Finish(kExitFailed);
    }
    return PressConsoleButton(host, button, takesText ? options.rest[0] : std::string(), options.wait.pacing,
                              report);
}

}  // namespace

int RunScanCommand(const Args& args) {
    CommandReport report("scan", args);
    Options options;
    std::string error;
    if (!ParseOptions(args, &options, &error) || !options.rest.empty()) {
        return Usage("scan", "[--timeout S] [--port N] [--pace fixed|answer] [--json]",
                     error.empty() ? "no arguments besides options" : error, report);
    }
    CConsoleHost host(report.Log());
    const bool ready = WaitUntilReady(host, options.wait, report.Err());
    if (ready) {
        ReportReadyPort(host, report);
    }
    const int closed = host.Close();
    return report.Finish(ready && closed == 0 ? kExitDone : kExitFailed);
}

int RunSendViaConsole(const Args& args) {
    return RunConsoleCommand("send", args, IDC_BTN_SEND, true);
}
int RunCsqCommand(const Args& args) {
    return RunConsoleCommand("csq", args, IDC_BTN_CSQ, false);
}
int RunNetworkCommand(const Args& args) {
    return RunConsoleCommand("network", args, IDC_BTN_NETWORK, false);
}
int RunSimCardCommand(const Args& args) {
    return RunConsoleCommand("simcard", args, IDC_BTN_SIMCARD, false);
}
int RunDtuCfgCommand(const Args& args) {
    return RunConsoleCommand("dtucfg", args, IDC_BTN_DTUCFG, false);
}

int RunResetCommand(const Args& args) {
    CommandReport report("reset", args);
    Options options;
    std::string error;
    if (!ParseOptions(args, &options, &error) || !options.rest.empty()) {
        return Usage("reset", "[--timeout S] [--port N] [--pace fixed|answer] [--json]",
                     error.empty() ? "no arguments besides options" : error, report);
    }
    CConsoleHost host(report.Log());
    if (!WaitUntilReady(host, options.wait, report.Err())) {
        host.Close();
        return report.Finish(kExitFailed);
    }
    ReportReadyPort(host, report);
    const std::size_t before = host.View().Lines().size();
    host.Main().Click(IDC_BTN_RESET_DTU);
    // The worker resets the module, waits for it to restart, and then restarts the scan.
    const int restarted = host.View().WaitForLine(
        before, [](const std::string& l) { return l == "Scanning equipments..."; },
        Seconds(kResetWorkerSeconds + options.wait.timeoutSeconds));
    const atlink::AtCommandRecord reset = LastCommand(host);
    const int closed = host.Close();
    report.Add("restarted", restarted >= 0);
    if (restarted < 0) {
        return report.Finish(Fail("the scan did not restart within " +
                                      std::to_string(kResetWorkerSeconds + options.wait.timeoutSeconds) +
                                      " s of the reset",
                                  report.Err()));
    }
    if (!reset.succeeded) {
        return report.Finish(Fail(
            DescribeFailure(reset.report, WindowText(options.wait.pacing, kCycleWindowText)), report.Err()));
    }
    return report.Finish(closed == 0 ? kExitDone : kExitFailed);
}

}  // namespace marlinq::cli
