// marlinq-cli push FILE and marlinq-cli factory-reset: the ADB transfer end to end through the
// headless main window. Once the module is ready the command does what the file download or the
// factory reset button does; the window then asks the module's ADB state, enables ADB and resets
// the module when needed, waits for the scan to find it again and runs the push worker. Every log
// line goes to standard output; the exit code is 0 when the push step logged its success.
#include <iostream>
#include <string>

#include "cli/commands.h"
#include "cli/console_host.h"
#include "cli/module_wait.h"
#include "ui/marlinq_dlg.h"
#include "ui/resource.h"

namespace marlinq::cli {

namespace {

// What the transfer may take beyond the wait for the module: the enabling and the module's reset,
// the scan, and three push runs whose adb commands may each run into the 30 s time-out.
constexpr long kTransferSeconds = 400;

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
               StartsWith(line, "The XML file was not found: ") ||
               line == "Please select XML file\xEF\xBC\x81";
    }
    bool Pushed() const { return m_pushed; }

  private:
    bool m_pushing = false;
    bool m_stepDone = false;
    bool m_pushed = false;
};

// Waits for the module, starts the transfer with start (on the window thread) and follows it.
int RunTransfer(const char* usage, const Options& options, void (*start)(CMarlinqDlg&, const std::string&),
                const std::string& file) {
    CConsoleHost host(std::cout);
    if (!WaitUntilReady(host, options.timeoutSeconds)) {
        host.Close();
        return 1;
    }
    const std::size_t before = host.View().Lines().size();
    host.Main().Call([start, file](fw::CDialog* dlg) {
        if (dlg != nullptr) {
            start(*static_cast<CMarlinqDlg*>(dlg), file);
        }
        return 0;
    });
    TransferEnd end;
    const auto deadline =
        std::chrono::steady_clock::now() + Seconds(kTransferSeconds + options.timeoutSeconds);
    bool ended = false;
    for (std::size_t next = before; !ended;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        const int index = host.View().WaitForLine(
            next, [](const std::string&) { return true; }, std::max(left, std::chrono::milliseconds(0)));
        if (index < 0) {
            std::cerr << "marlinq-cli: " << usage << ": the transfer did not end in time\n";
            break;
        }
        ended = end.Take(host.View().Lines()[static_cast<std::size_t>(index)]);
        next = static_cast<std::size_t>(index) + 1;
    }
    const int closed = host.Close();
    return ended && end.Pushed() && closed == 0 ? 0 : 1;
}

}  // namespace

int RunPushCommand(const Args& args) {
    Options options;
    if (!ParseOptions(args, &options) || options.rest.size() != 1 || options.rest[0].empty() ||
        options.rest[0].find_first_of("\r\n") != std::string::npos) {
        std::cerr << "usage: marlinq-cli push [--timeout S] FILE\n";
        return 2;
    }
    return RunTransfer(
        "push", options,
        [](CMarlinqDlg& dlg, const std::string& file) {
            dlg.MainControls().SetWindowText(IDC_EDIT_XML_PATH, file);
            dlg.OnBtnXmlDownload();
        },
        options.rest[0]);
}

int RunFactoryResetCommand(const Args& args) {
    Options options;
    if (!ParseOptions(args, &options) || !options.rest.empty()) {
        std::cerr << "usage: marlinq-cli factory-reset [--timeout S]\n";
        return 2;
    }
    return RunTransfer("factory-reset", options,
                       [](CMarlinqDlg& dlg, const std::string&) { dlg.OnBtnFactoryReset(); }, {});
}

}  // namespace marlinq::cli
