#include "cli/failures.h"

#include <iostream>

namespace marlinq::cli {

std::string DescribeFailure(const AtOutcomeReport& report, const std::string& windowText) {
    const std::string com = "COM" + std::to_string(report.port);
    switch (report.outcome) {
        case AtOutcome::NoSuchPort:
            return report.port > 0 ? com + " does not exist" : "no AT port found";
        case AtOutcome::Busy:
            return com + " is busy: another program holds it";
        case AtOutcome::CannotOpen:
            return com + " cannot be opened";
        case AtOutcome::NoAnswer:
            return "no answer from " + com + " within " + windowText;
        case AtOutcome::Incomplete:
            return "no complete answer from " + com + " within " + windowText + ": " +
                   std::to_string(report.bytesRead) + " bytes without OK or ERROR";
        case AtOutcome::Lost:
            return com + " went away during the answer";
        case AtOutcome::Answered:
            break;
    }
    return com + " answered without OK";
}

std::string DescribePortFailure(const AtOutcomeReport& report, const std::string& flowName) {
    const std::string com = "COM" + std::to_string(report.port);
    switch (report.outcome) {
        case AtOutcome::Busy:
        case AtOutcome::CannotOpen:
            return DescribeFailure(report, kCycleWindowText);
        case AtOutcome::NoSuchPort:
        case AtOutcome::Lost:
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
