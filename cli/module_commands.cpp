// The marlinq-cli commands that talk to the module through the headless main window: each waits
// for the module's readiness (cli/module_wait.h), then presses its button. The log pane's lines go to
// standard output.
#include <iostream>
#include <string>

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

// Takes "--timeout S" and "--port N" out of args; false (with the reason) on a missing or
// malformed value.
bool ParseOptions(const Args& args, Options* options, std::string* error) {
    ParsedArgs parsed;
    if (!ParseArgs(args, {TimeoutOption(), PortOption()}, &parsed, error)) {
        return false;
    }
    options->wait.timeoutSeconds = parsed.Value("--timeout", kDefaultTimeoutSeconds);
    options->wait.port = static_cast<int>(parsed.Value("--port", 0));
    options->rest = parsed.rest;
    return true;
}

int Usage(const char* name, const char* arguments, const std::string& why) {
    return UsageError(name, arguments, why, std::cerr);
}

// The last command of the window's AT client (the console's send, or a wrapper's command).
atlink::AtCommandRecord LastCommand(CConsoleHost& host) {
    return host.Main().Call([](fw::CDialog* d) {
        return d != nullptr ? static_cast<CMarlinqDlg*>(d)->At().LastCommand() : atlink::AtCommandRecord{};
    });
}

// Presses a console button; done when the module's answer reached the log pane.
int PressConsoleButton(CConsoleHost& host, int button, const std::string& typed) {
    auto main = host.Main();
    if (!typed.empty()) {
        main.Type(IDC_EDIT_AT_COMMAND, typed);
    }
    main.Click(button);
    main.Sync();  // the console's transaction runs on the window thread: it is over now
    const atlink::AtCommandRecord last = LastCommand(host);
    const int closed = host.Close();
    if (!last.succeeded) {
        return Fail(DescribeFailure(last.report, kConsoleWindowText));
    }
    return closed == 0 ? kExitDone : kExitFailed;
}

int RunConsoleCommand(const char* name, const Args& args, int button, bool takesText) {
    Options options;
    std::string error;
    const char* arguments = takesText ? "[--timeout S] \"TEXT\"" : "[--timeout S] [--port N]";
    if (!ParseOptions(args, &options, &error)) {
        return Usage(name, arguments, error);
    }
    if (options.rest.size() != (takesText ? 1u : 0u) || (takesText && options.rest[0].empty())) {
        return Usage(name, arguments,
                     takesText ? "one command text is needed" : "no arguments besides options");
    }
    if (takesText && options.rest[0].find_first_of("\r\n") != std::string::npos) {
        return Usage(name, arguments, "the command text holds a line break");
    }
    CConsoleHost host(std::cout);
    if (!WaitUntilReady(host, options.wait)) {
        host.Close();
        return kExitFailed;
    }
    return PressConsoleButton(host, button, takesText ? options.rest[0] : std::string());
}

}  // namespace

int RunScanCommand(const Args& args) {
    Options options;
    std::string error;
    if (!ParseOptions(args, &options, &error) || !options.rest.empty()) {
        return Usage("scan", "[--timeout S] [--port N]",
                     error.empty() ? "no arguments besides options" : error);
    }
    CConsoleHost host(std::cout);
    const bool ready = WaitUntilReady(host, options.wait);
    const int closed = host.Close();
    return ready && closed == 0 ? kExitDone : kExitFailed;
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
    Options options;
    std::string error;
    if (!ParseOptions(args, &options, &error) || !options.rest.empty()) {
        return Usage("reset", "[--timeout S] [--port N]",
                     error.empty() ? "no arguments besides options" : error);
    }
    CConsoleHost host(std::cout);
    if (!WaitUntilReady(host, options.wait)) {
        host.Close();
        return kExitFailed;
    }
    const std::size_t before = host.View().Lines().size();
    host.Main().Click(IDC_BTN_RESET_DTU);
    // The worker resets the module, waits for it to restart, and then restarts the scan.
    const int restarted = host.View().WaitForLine(
        before, [](const std::string& l) { return l == "Scanning equipments..."; },
        Seconds(kResetWorkerSeconds + options.wait.timeoutSeconds));
    const atlink::AtCommandRecord reset = LastCommand(host);
    const int closed = host.Close();
    if (restarted < 0) {
        return Fail("the scan did not restart within " +
                    std::to_string(kResetWorkerSeconds + options.wait.timeoutSeconds) + " s of the reset");
    }
    if (!reset.succeeded) {
        return Fail(DescribeFailure(reset.report, kCycleWindowText));
    }
    return closed == 0 ? kExitDone : kExitFailed;
}

}  // namespace marlinq::cli
