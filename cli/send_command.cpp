#include "cli/commands.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "atlink/serial_port.h"
#include "discovery/at_port.h"

namespace {

int SendUsage() {
    std::fprintf(stderr, "usage: marlinq-cli send [--port N] \"TEXT\"\n");
    return 2;
}

}  // namespace

namespace marlinq::cli {

int RunSendCommand(const Args& argv) {
    const int argc = static_cast<int>(argv.size());
    int port = 0;
    std::string text;
    bool haveText = false;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--port" && i + 1 < argc) {
            char* end = nullptr;
            const long value = std::strtol(argv[++i].c_str(), &end, 10);
            if (*end != '\0' || value < 1 || value > 99999) {
                return SendUsage();
            }
            port = static_cast<int>(value);
        } else if (!haveText) {
            text = arg;
            haveText = true;
        } else {
            return SendUsage();
        }
    }
    if (!haveText || text.empty() || text.find_first_of("\r\n") != std::string::npos) {
        return SendUsage();
    }
    if (port == 0) {
        port = FindAtPortNumber();
        if (port < 1) {
            std::printf("No scan AT port! \n");
            return 1;
        }
    }
    CSerialPort serial;
    const std::string answer = serial.SendAtCommand(port, text);
    std::printf("%s\n", text.c_str());
    if (answer.empty()) {
        return 1;
    }
    std::fwrite(answer.data(), 1, answer.size(), stdout);
    if (answer.back() != '\n') {
        std::printf("\n");
    }
    return 0;
}

}  // namespace marlinq::cli
