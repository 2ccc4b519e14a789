// marlinq-cli push FILE and marlinq-cli factory-reset: the ADB transfer end to end through the
// headless main window. Once the module is ready the command does what the file download or the
// factory reset button does; the window then asks the module's ADB state, enables ADB and resets
// the module when needed, waits for the scan to find it again and runs the push worker. Every log
// line goes to standard output (with --json to standard error, and one JSON object to standard
// output: the file, whether it was pushed); the exit code is 0 when the push step logged its success. A
// relative FILE names a file of the current directory; one that does not exist is refused before
// anything is done to the module.
#include <filesystem>
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

// What the transfer may take beyond the wait for the module: the enabling and the module's reset,
// the scan, and three push runs whose adb commands may each run into the 30 s time-out.
constexpr long kTransferSeconds = 400;

bool StartsWith(const std::string& line, const std::string& prefix) {
    return line.compare(0, prefix.size(), prefix) == 0;
}

// Follows the log of one transfer, line by line, to its end.
class TransferEnd {
  public:
    // True once the line ends the transfer.
    bool Take(const std::string& line) {
        if (line == "ADB PUSH XML...") {
            m_pushing = true;
        } else if (line == "ADB PUSH XML successfully!" && m_pushing) {
            m_pushed = true;
            m_pushing = false;
            m_stepDone = true;
        } else if (line == "ADB PUSH XML failed!") {
            if (!m_pushing) {
                return true;  // the closing line after three runs without a device
            }
            m_pushing = false;
            m_stepDone = true;
        } else if (line == "Scanning equipments..." && m_stepDone) {
            return true;  // the run ended with the hide and reboot steps and restarted the scan
        }
        return line == "ADB cmd timeout, please check ADB device and retry later!" ||
               line == "Enable ADB failed, check that the module is ready or the AT port is occupied!" ||
               StartsWith(line, "The default file was not found: ") ||
               StartsWith(line, "The XML file was not found: ") || StartsWith(line, "Push refused: ") ||
               line == "Please select XML file\xEF\xBC\x81";
    }
    bool Pushed() const { return m_pushed; }

  private:
    bool m_pushing = false;
    bool m_stepDone = false;
    bool m_pushed = false;
};

// Waits for the module, starts the transfer with start (on the window thread) and follows it.
int RunTransfer(CommandReport& report, const char* name, const ModuleWait& wait,
                void (*start)(CMarlinqDlg&, const std::string&), const std::string& file) {
    const long timeoutSeconds = wait.timeoutSeconds;
    CConsoleHost host(report.Log());
    if (!WaitUntilReady(host, wait, report.Err())) {
        host.Close();
        return report.Finish(kExitFailed);
    }
    const int port = ReadyPort(host);
    if (port > 0) {
        report.Add("port", static_cast<long long>(port));
    }
    const std::size_t before = host.View().Lines().size();
    host.Main().Call([start, file](fw::CDialog* dlg) {
        if (dlg != nullptr) {
            start(*static_cast<CMarlinqDlg*>(dlg), file);
        }
        return 0;
    });
    TransferEnd end;
    const auto deadline = std::chrono::steady_clock::now() + Seconds(kTransferSeconds + timeoutSeconds);
    bool ended = false;
    for (std::size_t next = before; !ended;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        const int index = host.View().WaitForLine(
            next, [](const std::string&) { return true; }, std::max(left, std::chrono::milliseconds(0)));
        if (index < 0) {
            Fail(std::string(name) + ": the transfer did not end in time", report.Err());
            break;
        }
        ended = end.Take(host.View().Lines()[static_cast<std::size_t>(index)]);
        next = static_cast<std::size_t>(index) + 1;
    }
    const int closed = host.Close();
    report.Add("pushed", ended && end.Pushed());
    if (ended && !end.Pushed()) {
        Fail(std::string(name) + ": the XML file was not pushed to the module", report.Err());
    }
    return report.Finish(ended && end.Pushed() && closed == 0 ? kExitDone : kExitFailed);
}

// Takes --timeout, --port and --pace out of args; the usage error's exit code when args are wrong.
bool ParseTransferArgs(CommandReport& report, const char* name, const char* arguments, const Args& args,
                       std::size_t files, ModuleWait* wait, Args* rest, int* code) {
    ParsedArgs parsed;
    std::string error;
    std::ostream& err = report.Err();
    if (!ParseArgs(args, {TimeoutOption(), PortOption(), PaceOption(), FlagOption("--json")}, &parsed,
                   &error)) {
        *code = UsageError(name, arguments, error, err);
        return false;
    }
    if (parsed.rest.size() != files) {
        *code = UsageError(name, arguments, files == 0 ? "takes no file" : "needs one FILE", err);
        return false;
    }
    for (const auto& file : parsed.rest) {
        if (file.empty() || file.find_first_of("\r\n") != std::string::npos) {
            *code = UsageError(name, arguments, "FILE must be a non-empty name on one line", err);
            return false;
        }
    }
    wait->timeoutSeconds = parsed.Value("--timeout", kDefaultTimeoutSeconds);
    wait->port = static_cast<int>(parsed.Value("--port", 0));
    wait->pacing = PaceOf(parsed);
    *rest = parsed.rest;
    return true;
}

// The file to push, made absolute against the current directory (adb runs in its own folder);
// empty after the failure line when there is no such file to push.
std::string FileToPush(const std::string& file, std::ostream& err) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path absolute = fs::absolute(file, ec);
    if (ec) {
        Fail("cannot push " + file + ": the current directory cannot be read", err);
        return {};
    }
    const fs::file_status status = fs::status(absolute, ec);
    if (!fs::exists(status)) {
        Fail("cannot push " + file + ": no such file", err);
        return {};
    }
    if (!fs::is_regular_file(status)) {
        Fail("cannot push " + file + ": not a regular file", err);
        return {};
    }
    return absolute.string();
}

}  // namespace

int RunPushCommand(const Args& args) {
    CommandReport report("push", args);
    ModuleWait wait;
    Args files;
    int code = kExitUsage;
    if (!ParseTransferArgs(report, "push", "[--timeout S] [--port N] [--pace fixed|answer] [--json] FILE",
                           args, 1, &wait, &files, &code)) {
        return report.Finish(code);
    }
    // Checked before the window opens, so that nothing is done to the module for a missing file.
    const std::string path = FileToPush(files[0], report.Err());
    if (path.empty()) {
        return report.Finish(kExitFailed);
    }
    report.Add("file", path);
    return RunTransfer(
        report, "push", wait,
        [](CMarlinqDlg& dlg, const std::string& file) {
            dlg.MainControls().SetWindowText(IDC_EDIT_XML_PATH, file);
            dlg.Adb().Commands().OnBtnXmlDownload();
        },
        path);
}

int RunFactoryResetCommand(const Args& args) {
    CommandReport report("factory-reset", args);
    ModuleWait wait;
    Args none;
    int code = kExitUsage;
    if (!ParseTransferArgs(report, "factory-reset", "[--timeout S] [--port N] [--pace fixed|answer] [--json]",
                           args, 0, &wait, &none, &code)) {
        return report.Finish(code);
    }
    return RunTransfer(report, "factory-reset", wait,
                       [](CMarlinqDlg& dlg, const std::string&) { dlg.Adb().Commands().OnBtnFactoryReset(); },
                       {});
}

}  // namespace marlinq::cli
