// dtusim: runs a simulated DTU module until interrupted.
//
//   dtusim [--com N] [--echo] [--delay MS] [--adb] [--reset-time MS] [--quiet]
//          [--late MS] [--trickle MS] [--endless] [--garbage] [--vanish] [--request-log FILE]
//
// The last five make a faulty module: every answer comes MS late (as --delay), a byte at a
// time MS apart, as an endless stream without a final result, as line noise, or half of it
// before the device disappears for good.
// Prints one line with the COM number and the pseudo-terminal once the device is registered,
// then (unless --quiet) every request it receives. --request-log appends every request to FILE as
// well, one line each, with CR, LF and other bytes outside printable ASCII escaped (\r, \n, \\, \xNN),
// written as it arrives.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "simulator/dtu_simulator.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;

void OnSignal(int) {
    g_stop = 1;
}

bool NumberArg(int argc, char** argv, int* i, long* out) {
    if (*i + 1 >= argc) {
        return false;
    }
    char* end = nullptr;
    const long value = std::strtol(argv[*i + 1], &end, 10);
    if (end == argv[*i + 1] || *end != '\0' || value < 0 || value > 10'000'000) {
        return false;
    }
    *out = value;
    ++*i;
    return true;
}

void PrintUsage(std::FILE* out) {
    std::fprintf(out,
                 "usage: dtusim [--com N] [--echo] [--delay MS] [--adb] [--reset-time MS] [--quiet]\n"
                 "              [--late MS] [--trickle MS] [--endless] [--garbage] [--vanish]\n"
                 "              [--request-log FILE] [--help]\n");
}

int Usage() {
    PrintUsage(stderr);
    return 2;
}

std::string Printable(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c < 32 || c > 126) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    sim::SimulatorOptions options;
    sim::Behaviour behaviour;
    bool echo = false;
    bool quiet = false;
    std::string requestLog;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        long value = 0;
        if (arg == "--com" && NumberArg(argc, argv, &i, &value) && value > 0) {
            options.com = static_cast<int>(value);
        } else if ((arg == "--delay" || arg == "--late") && NumberArg(argc, argv, &i, &value)) {
            behaviour.answerDelayMs = static_cast<std::uint32_t>(value);
        } else if (arg == "--trickle" && NumberArg(argc, argv, &i, &value)) {
            behaviour.splitChunk = 1;
            behaviour.splitGapMs = static_cast<std::uint32_t>(value);
        } else if (arg == "--endless") {
            behaviour.endlessStream = true;
        } else if (arg == "--garbage") {
            behaviour.garbageAnswer = true;
        } else if (arg == "--vanish") {
            behaviour.vanishMidAnswer = true;
        } else if (arg == "--reset-time" && NumberArg(argc, argv, &i, &value)) {
            behaviour.resetAbsentMs = static_cast<std::uint32_t>(value);
        } else if (arg == "--echo") {
            echo = true;
        } else if (arg == "--adb") {
            options.adbEnabled = true;
        } else if (arg == "--quiet") {
            quiet = true;
        } else if (arg == "--help") {
            PrintUsage(stdout);
            return std::fflush(stdout) == 0 ? 0 : 1;
        } else if (arg == "--request-log" && i + 1 < argc && argv[i + 1][0] != '\0') {
            requestLog = argv[++i];
        } else {
            return Usage();
        }
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);

    std::FILE* log = nullptr;
    if (!requestLog.empty()) {
        log = std::fopen(requestLog.c_str(), "ab");
        if (log == nullptr) {
            std::fprintf(stderr, "dtusim: cannot open %s: %s\n", requestLog.c_str(), std::strerror(errno));
            return 1;
        }
    }

    sim::DtuSimulator simulator;
    std::string error;
    if (!simulator.Start(options, &error)) {
        std::fprintf(stderr, "dtusim: %s\n", error.c_str());
        return 1;
    }
    simulator.SetBehaviour(behaviour);
    simulator.SetEcho(echo);
    std::printf("dtusim: COM%d on %s (%s)\n", simulator.Com(), simulator.PortPath().c_str(),
                simulator.DeviceFile().c_str());
    std::fflush(stdout);

    std::size_t shown = 0;
    auto report = [&] {
        const auto requests = simulator.Requests();
        for (; shown < requests.size(); ++shown) {
            const std::string text = Printable(requests[shown].bytes);
            if (!quiet) {
                std::printf("dtusim: received %s\n", text.c_str());
            }
            if (log != nullptr) {
                std::fprintf(log, "%s\n", text.c_str());
            }
        }
        std::fflush(stdout);
        if (log != nullptr) {
            std::fflush(log);
        }
    };
    while (g_stop == 0 && !simulator.Vanished()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        report();
    }
    simulator.Stop();
    report();
    if (log != nullptr) {
        std::fclose(log);
    }
    return 0;
}
