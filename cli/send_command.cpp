#include <iostream>
#include <string>

#include "atlink/at_serial_port.h"
#include "cli/commands.h"
#include "cli/failures.h"
#include "cli/options.h"
#include "discovery/at_port.h"

namespace marlinq::cli {

namespace {

int SendUsage(const std::string& why) {
    return UsageError("send", "[--port N] \"TEXT\"", why, std::cerr);
}

}  // namespace

int RunSendCommand(const Args& args) {
    ParsedArgs parsed;
    std::string error;
    if (!ParseArgs(args, {NumberOption("--port", 1, 99999)}, &parsed, &error)) {
        return SendUsage(error);
    }
    if (parsed.rest.size() != 1 || parsed.rest[0].empty()) {
        return SendUsage("one command text is needed");
    }
    const std::string& text = parsed.rest[0];
    if (text.find_first_of("\r\n") != std::string::npos) {
        return SendUsage("the command text holds a line break");  // one command per line, never two
    }
    int port = static_cast<int>(parsed.Value("--port", 0));
    if (port == 0) {
        port = FindAtPortNumber();
        if (port < 1) {
            std::cout << "No scan AT port! \n" << std::flush;
            return Fail("no AT port found");
        }
    }
    atlink::CSerialPort serial;
    const atlink::AtResult<std::string> sent = serial.Send(port, text);
    const std::string& answer = sent.value;
    std::cout << text << '\n';
    if (answer.empty()) {
        std::cout << std::flush;
        return Fail(DescribeFailure(sent.report, kConsoleWindowText));
    }
    std::cout << answer;
    if (answer.back() != '\n') {
        std::cout << '\n';
    }
    std::cout << std::flush;
    return kExitDone;
}

}  // namespace marlinq::cli
