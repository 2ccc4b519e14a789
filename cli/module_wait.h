// The wait of marlinq-cli's module commands for the module's readiness, and their time-out option.
#pragma once

#include <chrono>
#include <iostream>

#include "atlink/at_pacing.h"
#include "cli/console_host.h"
#include "cli/options.h"

namespace marlinq::cli {

inline constexpr long kDefaultTimeoutSeconds = 30;
inline constexpr long kMaxTimeoutSeconds = 24 * 3600;
inline constexpr long kMaxComNumber = 99999;  // the largest COM number a port can have

// "--timeout S": how long to wait for the module, in seconds.
OptionSpec TimeoutOption();
// "--port N": the command's session is pinned to COM N.
OptionSpec PortOption();
// "--pace fixed|answer": how the command's session paces its AT transactions (atlink/at_pacing.h).
OptionSpec PaceOption();
// The pacing that parsed holds of --pace; fixed when it was not given.
atlink::Pacing PaceOf(const ParsedArgs& parsed);

// What a module command waits for.
struct ModuleWait {
    long timeoutSeconds = kDefaultTimeoutSeconds;
    // COM N of --port: the session never looks for the AT port, holds COM N from the first
    // request to the last, and is ready once COM N answers "AT" with "OK". 0: the scan's AT port.
    int port = 0;
    // Whether readiness reads the versions, as the scan does; Get, which reads them itself, says no.
    bool versionsAtReady = true;
    // --pace: the session's pacing, set before the window starts.
    atlink::Pacing pacing = atlink::Pacing::Fixed;
};

// seconds on the system's clock, like every pause of the tool.
std::chrono::milliseconds Seconds(long seconds);

// Starts the window and waits for the scanner's readiness line and for Get to be enabled (the
// scan's version read is over, the port is free); false after one line on err saying why, for
// example "no module found within 30 s".
bool WaitUntilReady(CConsoleHost& host, long timeoutSeconds, std::ostream& err = std::cerr);
// The same for wait.port: the window is pinned to COM N before it starts and does not wait for
// its start timer. A COM N that does not exist, is held by another program or cannot be opened
// fails at once ("COM204 is busy: another program holds it"); one that does not answer "AT" with
// "OK" fails at the time-out.
bool WaitUntilReady(CConsoleHost& host, const ModuleWait& wait, std::ostream& err = std::cerr);

// The COM number of the AT port in the scanner's last readiness line ("Equipment ready
// [AT:COM201] for operation!"); 0 when there is none.
int ReadyPort(CConsoleHost& host);

}  // namespace marlinq::cli
