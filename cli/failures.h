// What marlinq-cli says when something fails, and the exit codes it ends with.
//
// Every failure is one plain line on standard error that says what happened and where, for
// example "COM201 is busy: another program holds it".
#pragma once

#include <iostream>
#include <string>

#include "atlink/at_outcome.h"
#include "atlink/at_pacing.h"

namespace marlinq::cli {

enum ExitCode {
    kExitDone = 0,      // the command was carried out (a module's "ERROR" answer is shown, and done)
    kExitFailed = 1,    // the module or the port failed: absent, busy, silent, broken answer, gone
    kExitUsage = 2,     // the command line is wrong; nothing was sent
    kExitMismatch = 3,  // a verification found the module's values differ from those wanted
};

// The line for a transaction that did not succeed; windowText is how long it waited for the
// answer (for example "3.6 s").
std::string DescribeFailure(const atlink::AtOutcomeReport& report, const std::string& windowText);

// The line for a flow (flowName "Get" or "Download") whose port itself failed: "COM204 is busy:
// another program holds it", "COM204 cannot be opened", "COM230 went away during Get" (the
// device went away, or the lookup no longer found it). Empty when report is no such failure.
std::string DescribePortFailure(const atlink::AtOutcomeReport& report, const std::string& flowName);

// Prints line and a line end on err (standard error); returns kExitFailed.
int Fail(const std::string& line, std::ostream& err = std::cerr);

// The console's wait for an answer: 30 + 100 ms, then 50 reads of up to 20 ms, 50 ms apart.
inline constexpr const char* kConsoleWindowText = "3.6 s";
// The standard cycle's wait: 100 + 300 ms and one read.
inline constexpr const char* kCycleWindowText = "0.4 s";
// Answer pacing's wait for the final result line, console and cycle alike (atlink/at_pacing.h).
inline constexpr const char* kAnsweredWindowText = "5 s";
// The wait named in a failure line: fixedText under fixed pacing, kAnsweredWindowText under answer.
inline const char* WindowText(atlink::Pacing pacing, const char* fixedText) {
    return pacing == atlink::Pacing::Answer ? kAnsweredWindowText : fixedText;
}

}  // namespace marlinq::cli
