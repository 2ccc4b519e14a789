// `send --port N "TEXT"`: one AT command straight to COM N (or the AT port found now), without the
// window; the command and the answer printed, or with --json one JSON object.
#include <iostream>
#include <string>

#include "atlink/at_serial_port.h"
#include "cli/command_report.h"
#include "cli/commands.h"
#include "cli/failures.h"
#include "cli/module_wait.h"
#include "cli/options.h"
#include "discovery/at_port.h"

namespace marlinq::cli {

namespace {

int SendUsage(const std::string& why, CommandReport& report) {
    return report.Finish(
        UsageError("send", "[--port N] [--pace fixed|answer] [--json] \"TEXT\"", why, report.Err()));
}

}  // namespace

int RunSendCommand(const Args& args) {
    CommandReport report("send", args);
    ParsedArgs parsed;
    std::string error;
    if (!ParseArgs(args, {NumberOption("--port", 1, 99999), PaceOption(), FlagOption("--json")}, &parsed,
                   &error)) {
        return SendUsage(error, report);
    }
    if (parsed.rest.size() != 1 || parsed.rest[0].empty()) {
        return SendUsage("one command text is needed", report);
    }
    const std::string& text = parsed.rest[0];
    if (text.find_first_of("\r\n") != std::string::npos) {
        return SendUsage("the command text holds a line break", report);  // one command per line, never two
    }
    report.Add("request", text);
    std::ostream& out = report.Log();
    int port = static_cast<int>(parsed.Value("--port", 0));
    if (port == 0) {
        port = FindAtPortNumber();
        if (port < 1) {
            out << "No scan AT port! \n" << std::flush;
            return report.Finish(Fail("no AT port found", report.Err()));
        }
    }
    report.Add("port", static_cast<long long>(port));
    atlink::CSerialPort serial;
    serial.SetPacing(PaceOf(parsed));
    const atlink::AtResult<std::string> sent = serial.Send(port, text);
    const std::string& answer = sent.value;
    report.Add("answer", AnswerLines(answer));
    out << text << '\n';
    if (answer.empty()) {
        out << std::flush;
        return report.Finish(Fail(
            DescribeFailure(sent.report, WindowText(serial.GetPacing(), kConsoleWindowText)), report.Err()));
    }
    out << answer;
    if (answer.back() != '\n') {
        out << '\n';
    }
    out << std::flush;
    return report.Finish(kExitDone);
}

}  // namespace marlinq::cli
