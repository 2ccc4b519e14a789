#include "cli/failures.h"

#include <iostream>

namespace marlinq::cli {

std::string DescribeFailure(const atlink::AtOutcomeReport& report, const std::string& windowText) {
    const std::string com = "COM" + std::to_string(report.port);
    switch (report.outcome) {
        case atlink::AtOutcome::NoSuchPort:
            return report.port > 0 ? com + " does not exist" : "no AT port found";
        case atlink::AtOutcome::Busy:
            return com + " is busy: another program holds it";
        case atlink::AtOutcome::CannotOpen:
            return com + " cannot be opened";
        case atlink::AtOutcome::NoAnswer:
            return "no answer from " + com + " within " + windowText;
        case atlink::AtOutcome::Incomplete:
            return "no complete answer from " + com + " within " + windowText + ": " +
                   std::to_string(report.bytesRead) + " bytes without OK or ERROR";
        case atlink::AtOutcome::Lost:
            return com + " went away during the answer";
        case atlink::AtOutcome::Answered:
            break;
    }
    return com + " answered without OK";
}

std::string DescribePortFailure(const atlink::AtOutcomeReport& report, const std::string& flowName) {
    const std::string com = "COM" + std::to_string(report.port);
    switch (report.outcome) {
        case atlink::AtOutcome::Busy:
        case atlink::AtOutcome::CannotOpen:
            return DescribeFailure(report, kCycleWindowText);
        case atlink::AtOutcome::NoSuchPort:
        case atlink::AtOutcome::Lost:
            return report.port > 0 ? com + " went away during " + flowName : "no AT port found";
        default:
            return {};
    }
}

int Fail(const std::string& line, std::ostream& err) {
    err << line << '\n' << std::flush;
    return kExitFailed;
}

}  // namespace marlinq::cli
