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

// Commands through the headless main window; each waits for the module's readiness first.
int RunScanCommand(const Args& args);
int RunSendViaConsole(const Args& args);
int RunCsqCommand(const Args& args);
int RunNetworkCommand(const Args& args);
int RunSimCardCommand(const Args& args);
int RunDtuCfgCommand(const Args& args);
int RunResetCommand(const Args& args);
// The ADB transfer: push FILE (the file download) and factory-reset (Default.xml beside the program).
int RunPushCommand(const Args& args);
int RunFactoryResetCommand(const Args& args);
// The parameter flows: Get and Download (cli/parameter_commands.h).
int RunGetCommand(const Args& args);
int RunDownloadCommand(const Args& args);
// Parameter files without a module: convert (cli/file_commands.h).
int RunConvertCommand(const Args& args);
// The production records of this station (cli/records_command.h).
int RunRecordsCommand(const Args& args);

// Chooses the subcommand from the first argument ("run" when there is none) and runs it; --help
// prints the commands, and an unknown word is named on one line of standard error (exit 2).
int Dispatch(int argc, char** argv);

}  // namespace marlinq::cli
