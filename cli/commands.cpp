#include "cli/commands.h"

#include <iostream>

namespace marlinq::cli {

namespace {

const Command kCommands[] = {
    {"run", "run                 the main window headless; stdin drives it, its log goes to stdout",
     &RunDialog},
    {"send", "send [--port N] \"TEXT\"  sends TEXT to the AT port and prints the answer", &RunSendCommand},
};

int Usage() {
    std::cerr << "usage: marlinq-cli [command] [arguments]\n";
    for (const auto& c : kCommands) {
        std::cerr << "  " << c.usage << "\n";
    }
    return 2;
}

}  // namespace

int Dispatch(int argc, char** argv) {
    Args args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const std::string name = args.empty() ? std::string("run") : args.front();
    if (!args.empty()) {
        args.erase(args.begin());
    }
    for (const auto& c : kCommands) {
        if (name == c.name) {
            return c.run(args);
        }
    }
    return Usage();
}

}  // namespace marlinq::cli
