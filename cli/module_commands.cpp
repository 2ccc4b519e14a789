// The marlinq-cli commands that talk to the module through the headless main window: each waits
// for the scanner's readiness line (so that the scan's version read is over and the port is
// free), then presses its button. The log pane's lines go to standard output.
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>

#include "cli/commands.h"
#include "cli/console_host.h"
#include "cli/module_wait.h"
#include "platform/clock.h"
#include "ui/resource.h"

namespace marlinq::cli {

namespace {

constexpr long kMaxTimeoutSeconds = 24 * 3600;
// The Reset DTU worker waits this long for the module to restart before it restarts the scan.
constexpr long kResetWorkerSeconds = 20;

}  // namespace

// Takes "--timeout S" out of args; false on a malformed value.
bool ParseOptions(const Args& args, Options* options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--timeout") {
            if (i + 1 >= args.size()) {
                return false;
            }
            char* end = nullptr;
            const long value = std::strtol(args[i + 1].c_str(), &end, 10);
            if (end == args[i + 1].c_str() || *end != '\0' || value < 1 || value > kMaxTimeoutSeconds) {
                return false;
            }
            options->timeoutSeconds = value;
            ++i;
        } else {
            options->rest.push_back(args[i]);
        }
    }
    return true;
}

// Waits run on the system's clock, like every pause of the tool.
std::chrono::milliseconds Seconds(long seconds) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
        platform::Clock::Scaled(static_cast<std::uint32_t>(seconds) * 1000u));
}

bool StartsWith(const std::string& line, const std::string& prefix) {
    return line.compare(0, prefix.size(), prefix) == 0;
}

// Starts the window and waits for the readiness line; false (with a message) when it does not come.
bool WaitUntilReady(CConsoleHost& host, long timeoutSeconds) {
    if (!host.Start()) {
        return false;
    }
    const int ready = host.View().WaitForLine(
        0, [](const std::string& l) { return StartsWith(l, "Equipment ready [AT:COM"); },
        Seconds(timeoutSeconds));
    if (ready < 0) {
        std::cerr << "marlinq-cli: the module was not ready within " << timeoutSeconds << " s\n";
        return false;
    }
    // The scanner reads the versions right after the line and then enables the buttons: the
    // port is free once Get is enabled.
    const auto deadline = std::chrono::steady_clock::now() + Seconds(timeoutSeconds);
    while (!host.Main().Enabled(IDC_BTN_GET)) {
        if (host.Ended() || std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

namespace {

// Presses a console button and reports whether an answer reached the log pane.
int PressConsoleButton(CConsoleHost& host, int button, const std::string& typed) {
    auto main = host.Main();
    if (!typed.empty()) {
        main.Type(IDC_EDIT_AT_COMMAND, typed);
    }
    const std::size_t before = host.View().Lines().size();
    main.Click(button);
    main.Sync();  // the console's transaction runs on the window thread: it is over now
    const auto lines = host.View().Lines();
    bool answered = false;
    for (std::size_t i = before + 1; i < lines.size(); ++i) {  // the first new line is the echo
        answered = answered || lines[i].find("OK") != std::string::npos ||
                   lines[i].find("ERROR") != std::string::npos;
    }
    const int closed = host.Close();
    return answered && closed == 0 ? 0 : 1;
}

int RunConsoleCommand(const char* name, const Args& args, int button, bool takesText) {
    Options options;
    if (!ParseOptions(args, &options) || options.rest.size() != (takesText ? 1u : 0u) ||
        (takesText &&
         (options.rest[0].empty() || options.rest[0].find_first_of("\r\n") != std::string::npos))) {
        std::cerr << "usage: marlinq-cli " << name
                  << (takesText ? " [--timeout S] \"TEXT\"\n" : " [--timeout S]\n");
        return 2;
    }
    CConsoleHost host(std::cout);
    if (!WaitUntilReady(host, options.timeoutSeconds)) {
        host.Close();
        return 1;
    }
    return PressConsoleButton(host, button, takesText ? options.rest[0] : std::string());
}

}  // namespace

int RunScanCommand(const Args& args) {
    Options options;
    if (!ParseOptions(args, &options) || !options.rest.empty()) {
        std::cerr << "usage: marlinq-cli scan [--timeout S]\n";
        return 2;
    }
    CConsoleHost host(std::cout);
    const bool ready = WaitUntilReady(host, options.timeoutSeconds);
    const int closed = host.Close();
    return ready && closed == 0 ? 0 : 1;
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
    if (!ParseOptions(args, &options) || !options.rest.empty()) {
        std::cerr << "usage: marlinq-cli reset [--timeout S]\n";
        return 2;
    }
    CConsoleHost host(std::cout);
    if (!WaitUntilReady(host, options.timeoutSeconds)) {
        host.Close();
        return 1;
    }
    const std::size_t before = host.View().Lines().size();
    host.Main().Click(IDC_BTN_RESET_DTU);
    // The worker resets the module, waits for it to restart, and then restarts the scan.
    const int restarted = host.View().WaitForLine(
        before, [](const std::string& l) { return l == "Scanning equipments..."; },
        Seconds(kResetWorkerSeconds + options.timeoutSeconds));
    const int closed = host.Close();
    return restarted >= 0 && closed == 0 ? 0 : 1;
}

}  // namespace marlinq::cli
