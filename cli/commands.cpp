#include "cli/commands.h"

#include <iostream>

#include "cli/failures.h"
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

const Command kCommands[] = {
    {"run", "run                 the main window headless; stdin drives it, its log goes to stdout",
     &RunDialog},
    {"scan", "scan [--timeout S]  waits for the module to be ready (exit 0) or the timeout (exit 1)",
     &RunScanCommand},
    {"send", "send [--timeout S | --port N] \"TEXT\"  sends TEXT with the console's Send", &RunSend},
    {"csq", "csq [--timeout S]   the CSQ quick query", &RunCsqCommand},
    {"network", "network [--timeout S]  the Network quick query", &RunNetworkCommand},
    {"simcard", "simcard [--timeout S]  the SIMCard quick query", &RunSimCardCommand},
    {"dtucfg", "dtucfg [--timeout S]  the DTUCFG quick query", &RunDtuCfgCommand},
    {"reset", "reset [--timeout S]  Reset DTU; ends once the scan has restarted", &RunResetCommand},
    {"push", "push [--timeout S] FILE  pushes FILE to the module's /cache over ADB; exit 0 once pushed",
     &RunPushCommand},
    {"factory-reset", "factory-reset [--timeout S]  loads and pushes Default.xml beside the program over ADB",
     &RunFactoryResetCommand},
    {"get",
     "get [--timeout S] [--set [DIALOG:]ID=VALUE ...] [--out FILE]  Get; prints DIALOG:ID=value lines or "
     "saves FILE",
     &RunGetCommand},
    {"download",
     "download [FILE] [--timeout S] [--page tcp|modbus|https|mqtt] [--set [DIALOG:]ID=VALUE ...] [--verify]  "
     "Download, after loading the parameter file FILE",
     &RunDownloadCommand},
    {"convert", "convert FILE --out FILE2  loads the parameter file FILE and saves it again as FILE2",
     &RunConvertCommand},
    {"records",
     "records [--since DATE] [--imsi X] [--failed] [--csv|--json]  lists the production records; "
     "--where prints the file's place, --sync URL sends those that wait",
     &RunRecordsCommand},
};

void PrintUsage(std::ostream& out) {
    out << "usage: marlinq-cli [command] [arguments]\n";
    for (const auto& c : kCommands) {
        out << "  " << c.usage << "\n";
    }
    out << "  --version           prints the version and the folder where the tool writes its files\n"
        << "  --help              prints this text\n";
}

}  // namespace

int Dispatch(int argc, char** argv) {
    Args args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const std::string name = args.empty() ? std::string("run") : args.front();
    if (!args.empty()) {
        args.erase(args.begin());
    }
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
    for (const auto& c : kCommands) {
        if (name == c.name) {
            return c.run(args);
        }
    }
    // Bounded, so that a word of any length stays one short line.
    constexpr std::size_t kShownBytes = 40;
    std::string shown;
    for (const char c : name.substr(0, kShownBytes)) {
        const auto u = static_cast<unsigned char>(c);
        shown += u < 0x20 || u == 0x7F ? '?' : c;
    }
    std::cerr << "marlinq-cli: unknown command '" << shown << (name.size() > kShownBytes ? "..." : "")
              << "'; see marlinq-cli --help\n";
    return kExitUsage;
}

}  // namespace marlinq::cli
