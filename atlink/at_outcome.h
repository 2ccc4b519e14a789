// How a transaction on the AT port ended, for callers that report failures in words, and the
// result of a command: its value together with that outcome.
#pragma once

#include <cstddef>

namespace atlink {

enum class AtOutcome {
    Answered,    // a final result ("OK" or "ERROR") or, in the standard cycle, any answer arrived
    NoSuchPort,  // the port does not exist
    Busy,        // another program (or object) holds the port
    CannotOpen,  // the port exists but could not be opened or configured
    NoAnswer,    // the module sent nothing within the transaction's time
    Incomplete,  // the module sent bytes, but no "OK" or "ERROR" within the transaction's time
    Lost,        // the device went away during the transaction
};

struct AtOutcomeReport {
    AtOutcome outcome = AtOutcome::Answered;
    int port = 0;               // the COM number of the transaction (0 when unknown)
    std::size_t bytesRead = 0;  // bytes of answer gathered
};

// What a command gives: its value (the failure value when it failed), why the port ended as it
// did, and whether the command's success test passed.
template <class T>
struct AtResult {
    T value{};
    AtOutcomeReport report;
    bool succeeded = false;

    bool ok() const { return succeeded; }
};

}  // namespace atlink
