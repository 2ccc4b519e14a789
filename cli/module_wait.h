// The wait of marlinq-cli's module commands for the module's readiness, and their time-out option.
#pragma once

#include <chrono>
#include <iostream>

#include "cli/console_host.h"
#include "cli/options.h"

namespace marlinq::cli {

inline constexpr long kDefaultTimeoutSeconds = 30;
inline constexpr long kMaxTimeoutSeconds = 24 * 3600;

// "--timeout S": how long to wait for the module, in seconds.
OptionSpec TimeoutOption();

// seconds on the system's clock, like every pause of the tool.
std::chrono::milliseconds Seconds(long seconds);

// Starts the window and waits for the scanner's readiness line and for Get to be enabled (the
// scan's version read is over, the port is free); false after one line on err saying why, for
// example "no module found within 30 s".
bool WaitUntilReady(CConsoleHost& host, long timeoutSeconds, std::ostream& err = std::cerr);

// The COM number of the AT port in the scanner's last readiness line ("Equipment ready
// [AT:COM201] for operation!"); 0 when there is none.
int ReadyPort(CConsoleHost& host);

}  // namespace marlinq::cli
