#include "cli/commands.h"

#include <iostream>

#include "cli/command_help.h"
#include "cli/failures.h"
#include "cli/options.h"
#include "ui/program_info.h"

namespace marlinq::cli {

namespace {

// With --port N the command goes straight to COM N; otherwise through the console's Send.
int RunSend(const Args& args) {
    for (const auto& a : args) {
        if (a == "--port") {
            return RunSendCommand(args);
        }
    }
    return RunSendViaConsole(args);
}

int RunHelp(const Args& args);

const Command kCommands[] = {
    {"run", "run                 the main window headless; stdin drives it, its log goes to stdout",
     &RunDialog},
    {"scan",
     "scan [--timeout S] [--port N] [--pace fixed|answer] [--json]  waits for the module to be ready (exit "
     "0) or the timeout (exit "
     "1)",
     &RunScanCommand},
    {"send",
     "send [--timeout S | --port N] [--pace fixed|answer] [--json] \"TEXT\"  sends TEXT with the console's "
     "Send",
     &RunSend},
    {"csq", "csq [--timeout S] [--port N] [--pace fixed|answer] [--json]  the CSQ quick query",
     &RunCsqCommand},
    {"network", "network [--timeout S] [--port N] [--pace fixed|answer] [--json]  the Network quick query",
     &RunNetworkCommand},
    {"simcard", "simcard [--timeout S] [--port N] [--pace fixed|answer] [--json]  the SIMCard quick query",
     &RunSimCardCommand},
    {"dtucfg", "dtucfg [--timeout S] [--port N] [--pace fixed|answer] [--json]  the DTUCFG quick query",
     &RunDtuCfgCommand},
    {"reset",
     "reset [--timeout S] [--port N] [--pace fixed|answer] [--json]  Reset DTU; ends once the scan has "
     "restarted",
     &RunResetCommand},
    {"push",
     "push [--timeout S] [--port N] [--pace fixed|answer] [--json] FILE  pushes FILE to the module's /cache "
     "over ADB; exit 0 once "
     "pushed",
     &RunPushCommand},
    {"factory-reset",
     "factory-reset [--timeout S] [--port N] [--pace fixed|answer] [--json]  loads and pushes Default.xml "
     "beside the program over "
     "ADB",
     &RunFactoryResetCommand},
    {"get",
     "get [--timeout S] [--port N] [--pace fixed|answer] [--set NAME=VALUE ...] [--out FILE | --json]  Get; "
     "prints name=value "
     "lines, saves FILE or prints JSON",
     &RunGetCommand},
    {"download",
     "download [FILE] [--timeout S] [--port N] [--pace fixed|answer] [--page tcp|modbus|https|mqtt] [--set "
     "NAME=VALUE ...] "
     "[--verify] [--json]  "
     "Download, after loading the parameter file FILE",
     &RunDownloadCommand},
    {"params", "params [--json]     lists every parameter's name, label, values, default and AT command",
     &RunParamsCommand},
    {"convert", "convert FILE --out FILE2  loads the parameter file FILE and saves it again as FILE2",
     &RunConvertCommand},
    {"records",
     "records [--since DATE] [--imsi X] [--failed] [--csv|--json]  lists the production records; "
     "--where prints the file's place, --sync URL sends those that wait",
     &RunRecordsCommand},
    {"provision",
     "provision [FILE] [--set NAME=VALUE ...] [--ports all|N,M,...] [--watch] [--again] [--jobs K] "
     "[--record URL] [--timeout S] [--pace fixed|answer] [--json]  configures every attached module at once, "
     "each verified and "
     "recorded",
     &RunProvisionCommand},
    {"help", "help [COMMAND]      this text, or COMMAND's usage with its options explained", &RunHelp},
    {"completion", "completion bash     prints the bash completion script", &RunCompletionCommand},
};

void PrintUsage(std::ostream& out) {
    out << "usage: marlinq-cli COMMAND [arguments]\n";
    for (const auto& c : kCommands) {
        out << "  " << c.usage << "\n";
    }
    out << "  --version           prints the version and the folder where the tool writes its files\n"
        << "  --help, -h          prints this text; marlinq-cli COMMAND --help explains COMMAND\n";
}

const Command* FindCommand(const std::string& name) {
    for (const auto& c : kCommands) {
        if (name == c.name) {
            return &c;
        }
    }
    return nullptr;
}

int UnknownCommand(const std::string& before, const std::string& name) {
    std::cerr << "marlinq-cli" << before << ": unknown command '" << ShownWord(name)
              << "'; see marlinq-cli --help\n";
    return kExitUsage;
}

// The usage of one command, its options explained, on standard output.
int PrintHelpOf(const Command& command) {
    if (const CommandHelp* help = FindCommandHelp(command.name)) {
        PrintCommandHelp(command.usage, *help, std::cout);
    } else {
        std::cout << "usage: marlinq-cli " << command.usage << "\n";
    }
    return std::cout.flush() ? kExitDone : kExitFailed;
}

int RunHelp(const Args& args) {
    if (args.empty()) {
        PrintUsage(std::cout);
        return std::cout.flush() ? kExitDone : kExitFailed;
    }
    if (args.size() > 1) {
        return UsageError("help", "[COMMAND]", "takes one command at most", std::cerr);
    }
    const Command* command = FindCommand(args[0]);
    return command != nullptr ? PrintHelpOf(*command) : UnknownCommand(" help", args[0]);
}

// COMMAND --help, anywhere among its arguments (no option takes "--help" as its value), or -h alone.
bool AsksForHelp(const Args& args) {
    for (const auto& a : args) {
        if (a == "--help") {
            return true;
        }
    }
    return args.size() == 1 && args[0] == "-h";
}

}  // namespace

std::span<const Command> CommandList() {
    return kCommands;
}

int Dispatch(int argc, char** argv) {
    Args args(argv + (argc > 0 ? 1 : 0), argv + argc);
    if (args.empty()) {
        PrintUsage(std::cerr);
        return kExitUsage;
    }
    std::string name = args.front();
    args.erase(args.begin());
    name = name == "-h" ? "--help" : name;
    if (name == "--version" || name == "--help") {
        if (!args.empty()) {
            std::cerr << "marlinq-cli: " << name << " takes no argument; see marlinq-cli --help\n";
            return kExitUsage;
        }
        if (name == "--version") {
            std::cout << VersionText("marlinq-cli");
        } else {
            PrintUsage(std::cout);
        }
        return std::cout.flush() ? kExitDone : kExitFailed;
    }
    if (name == "provision-unit") {
        return RunProvisionUnitCommand(args);  // started by provision, one per unit
    }
    const Command* command = FindCommand(name);
    if (command == nullptr) {
        return UnknownCommand("", name);
    }
    return AsksForHelp(args) ? PrintHelpOf(*command) : command->run(args);
}

}  // namespace marlinq::cli
