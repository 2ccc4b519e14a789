// What the marlinq-cli commands that talk to the module share: the "--timeout S" option and the
// wait for the scanner's readiness line.
#pragma once

#include <chrono>

#include "cli/commands.h"
#include "cli/console_host.h"

namespace marlinq::cli {

inline constexpr long kDefaultTimeoutSeconds = 30;

struct Options {
    long timeoutSeconds = kDefaultTimeoutSeconds;
    Args rest;
};

// Takes "--timeout S" out of args; false on a malformed value.
bool ParseOptions(const Args& args, Options* options);

// S seconds on the system's clock, like every pause of the tool.
std::chrono::milliseconds Seconds(long seconds);

bool StartsWith(const std::string& line, const std::string& prefix);

// Starts the window and waits for the readiness line and the end of the version read; false (with
// a message) when they do not come.
bool WaitUntilReady(CConsoleHost& host, long timeoutSeconds);

}  // namespace marlinq::cli
