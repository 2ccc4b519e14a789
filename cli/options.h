// The options of marlinq-cli's commands: each takes a whole number within bounds. A missing or
// malformed value, or an option the command does not know, is a usage error found before
// anything is sent.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace marlinq::cli {

struct OptionSpec {
    const char* name;  // "--timeout"
    long min;
    long max;
};

struct ParsedArgs {
    std::map<std::string, long> values;  // by option name, for the options given
    Args rest;                           // the arguments that are not options
};

// false (with the reason in *error) on a usage error.
bool ParseArgs(const Args& args, const std::vector<OptionSpec>& specs, ParsedArgs* parsed,
               std::string* error);

}  // namespace marlinq::cli
