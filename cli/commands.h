// The subcommands of marlinq-cli.
#pragma once

#include <string>
#include <vector>

namespace marlinq::cli {

using Args = std::vector<std::string>;

struct Command {
    const char* name;
    const char* usage;
    int (*run)(const Args& args);
};

// `run`: the main window headless; lines on standard input drive it, its log goes to standard output.
int RunDialog(const Args& args);

// `send [--port N] TEXT`: one AT command to the module's AT port (or COM N), the answer printed.
int RunSendCommand(const Args& args);

// Chooses the subcommand from the first argument ("run" when there is none) and runs it.
int Dispatch(int argc, char** argv);

}  // namespace marlinq::cli
