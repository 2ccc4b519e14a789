// dtusim: runs a simulated DTU module until interrupted.
//
//   dtusim [--com N] [--count N] [--imsi DIGITS] [--echo] [--delay MS] [--adb] [--reset-time MS]
//          [--quiet] [--late MS] [--trickle MS] [--endless] [--garbage] [--vanish] [--request-log FILE]
//          [--answer-delay MS] [--settle MS]
//
// --answer-delay MS holds each answer MS before it is written (a slow module; the same as
// --delay). --settle MS answers "ERROR" to a request that comes sooner than MS after the last
// answer (a module that needs that long between two commands). Both take 0 to 60000.
//
// --count N runs N modules (1..32) in this process, each on its own pseudo-terminal with its own
// COM number (from --com N on, else each the first free one from 201), its own IMSI (--imsi
// DIGITS, 15 of them, for the first, one more for each next; the model's own when not given),
// its own stored parameters and its own request log.
//
// The last five make a faulty module: every answer comes MS late (as --delay), a byte at a
// time MS apart, as an endless stream without a final result, as line noise, or half of it
// before the device disappears for good.
// Prints one line per module with the COM number, the pseudo-terminal and the IMSI once the
// devices are registered, then (unless --quiet) every request it receives, after "COMn" when
// there are several modules. --request-log appends every request to FILE as well, one line each,
// with CR, LF and other bytes outside printable ASCII escaped (\r, \n, \\, \xNN), written as it
// arrives; with several modules each has its own file, FILE followed by "-COMn".
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "simulator/module_rack.h"

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

constexpr long kMaxModuleMs = 60000;

// A time of --answer-delay or --settle: 0 to kMaxModuleMs milliseconds; false after saying why.
bool ModuleTimeArg(int argc, char** argv, int* i, std::uint32_t* out) {
    const char* name = argv[*i];
    long value = 0;
    if (!NumberArg(argc, argv, i, &value) || value > kMaxModuleMs) {
        std::fprintf(stderr, "dtusim: %s needs a number of milliseconds from 0 to %ld\n", name, kMaxModuleMs);
        return false;
    }
    *out = static_cast<std::uint32_t>(value);
    return true;
}

void PrintUsage(std::FILE* out) {
    std::fprintf(out,
                 "usage: dtusim [--com N] [--count N] [--imsi DIGITS] [--echo] [--delay MS] [--adb]\n"
                 "              [--reset-time MS] [--quiet] [--late MS] [--trickle MS] [--endless]\n"
                 "              [--garbage] [--vanish] [--request-log FILE] [--answer-delay MS]\n"
                 "              [--settle MS] [--help]\n");
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

// What one module has reported so far, and where its requests go.
struct ModuleReport {
    sim::DtuSimulator* module = nullptr;
    std::string prefix;  // "dtusim: " or "dtusim: COM202 "
    std::FILE* log = nullptr;
    std::size_t shown = 0;
};

void Report(ModuleReport& r, bool quiet) {
    const auto requests = r.module->Requests();
    for (; r.shown < requests.size(); ++r.shown) {
        const std::string text = Printable(requests[r.shown].bytes);
        if (!quiet) {
            std::printf("%sreceived %s\n", r.prefix.c_str(), text.c_str());
        }
        if (r.log != nullptr) {
            std::fprintf(r.log, "%s\n", text.c_str());
        }
    }
    if (r.log != nullptr) {
        std::fflush(r.log);
    }
}

}  // namespace

int main(int argc, char** argv) {
    sim::SimulatorOptions options;
    sim::Behaviour behaviour;
    bool echo = false;
    bool quiet = false;
    long count = 1;
    std::string imsi;
    std::string requestLog;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        long value = 0;
        if (arg == "--com" && NumberArg(argc, argv, &i, &value) && value > 0) {
            options.com = static_cast<int>(value);
        } else if (arg == "--count") {
            if (!NumberArg(argc, argv, &i, &value) || value < 1 || value > sim::kMaxRackModules) {
                std::fprintf(stderr, "dtusim: --count needs a number of modules from 1 to %d\n",
                             sim::kMaxRackModules);
                return 2;
            }
            count = value;
        } else if (arg == "--imsi") {
            if (i + 1 >= argc || !sim::IsValidImsi(argv[i + 1])) {
                std::fprintf(stderr, "dtusim: --imsi needs an IMSI of exactly 15 digits\n");
                return 2;
            }
            imsi = argv[++i];
        } else if ((arg == "--delay" || arg == "--late") && NumberArg(argc, argv, &i, &value)) {
            behaviour.answerDelayMs = static_cast<std::uint32_t>(value);
        } else if (arg == "--answer-delay") {
            if (!ModuleTimeArg(argc, argv, &i, &behaviour.answerDelayMs)) {
                return 2;
            }
        } else if (arg == "--settle") {
            if (!ModuleTimeArg(argc, argv, &i, &behaviour.settleMs)) {
                return 2;
            }
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
    if (options.com > 0 && options.com + count - 1 > 99999) {
        std::fprintf(stderr, "dtusim: COM%d and the %ld after it go beyond COM99999\n", options.com,
                     count - 1);
        return 2;
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);

    sim::ModuleRack rack;
    std::string error;
    if (!rack.Start(static_cast<int>(count), options, imsi, &error)) {
        std::fprintf(stderr, "dtusim: %s\n", error.c_str());
        return 1;
    }
    std::vector<ModuleReport> reports;
    for (std::size_t m = 0; m < rack.Size(); ++m) {
        ModuleReport r;
        r.module = &rack.Module(m);
        const std::string com = "COM" + std::to_string(r.module->Com());
        r.prefix = rack.Size() > 1 ? "dtusim: " + com + " " : "dtusim: ";
        if (!requestLog.empty()) {
            const std::string file = rack.Size() > 1 ? requestLog + "-" + com : requestLog;
            r.log = std::fopen(file.c_str(), "ab");
            if (r.log == nullptr) {
                std::fprintf(stderr, "dtusim: cannot open %s: %s\n", file.c_str(), std::strerror(errno));
                for (auto& open : reports) {
                    std::fclose(open.log);
                }
                rack.Stop();
                return 1;
            }
        }
        r.module->SetBehaviour(behaviour);
        r.module->SetEcho(echo);
        reports.push_back(r);
    }
    for (std::size_t m = 0; m < rack.Size(); ++m) {
        const sim::DtuSimulator& module = rack.Module(m);
        std::printf("dtusim: COM%d on %s (%s) IMSI %s\n", module.Com(), module.PortPath().c_str(),
                    module.DeviceFile().c_str(), rack.Imsi(m).c_str());
    }
    std::fflush(stdout);

    auto anyLeft = [&] {
        for (std::size_t m = 0; m < rack.Size(); ++m) {
            if (!rack.Module(m).Vanished()) {
                return true;
            }
        }
        return false;
    };
    while (g_stop == 0 && anyLeft()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        for (auto& r : reports) {
            Report(r, quiet);
        }
        std::fflush(stdout);
    }
    for (std::size_t m = 0; m < rack.Size(); ++m) {
        rack.Module(m).Stop();
    }
    for (auto& r : reports) {
        Report(r, quiet);
        if (r.log != nullptr) {
            std::fclose(r.log);
        }
    }
    std::fflush(stdout);
    return 0;
}
