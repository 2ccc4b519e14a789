// marlinq-cli: the headless front end of the tool.
#include <cstdio>
#include <string>

#include "cli/send_command.h"

int main(int argc, char** argv) {
    if (argc >= 2 && std::string(argv[1]) == "send") {
        return RunSendCommand(argc - 2, argv + 2);
    }
    std::fprintf(stderr, "usage: marlinq-cli send [--port N] \"TEXT\"\n");
    return 2;
}
