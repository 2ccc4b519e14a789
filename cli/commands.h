// The subcommands of marlinq-cli.
#pragma once

#include <span>
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
// The parameters by name, without a module (cli/params_command.h).
int RunParamsCommand(const Args& args);
// Parameter files without a module: convert (cli/file_commands.h).
int RunConvertCommand(const Args& args);
// The production records of this station (cli/records_command.h).
int RunRecordsCommand(const Args& args);

// Production provisioning (cli/provision_command.cpp): every attached module at once, each unit in
// a process of its own running provision-unit (cli/provision_unit.cpp), which the usage does not
// list.
int RunProvisionCommand(const Args& args);
int RunProvisionUnitCommand(const Args& args);

// `completion bash`: the bash completion script (cli/completion_script.h).
int RunCompletionCommand(const Args& args);

// Every command, in the order the usage lists them.
std::span<const Command> CommandList();

// Chooses the subcommand from the first argument and runs it. --help, -h and `help` print the
// commands on standard output; `help COMMAND`, `COMMAND --help` and `COMMAND -h` that command's
// usage with its options explained. No command at all prints the commands on standard error
// (exit 2), and an unknown word is named on one line of standard error (exit 2).
int Dispatch(int argc, char** argv);

}  // namespace marlinq::cli
