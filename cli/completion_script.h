// `marlinq-cli completion bash`: a bash completion script made from the command list, the
// commands' help (cli/command_help.h) and the parameter names, so that it offers what this build
// takes: the commands, each command's options, the values of an option that takes one of some
// words, parameter names after --set ("tcp." completes to the tcp page's names, each with its
// "="), and file names where a FILE is taken.
#pragma once

#include <string>

#include "cli/commands.h"

namespace marlinq::cli {

// The script; it defines _marlinq_cli and registers it for marlinq-cli.
std::string BashCompletionScript();

}  // namespace marlinq::cli
