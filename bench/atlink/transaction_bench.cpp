// Wall time of AT transactions against the simulator, as a ratio to their fixed pauses.
//
// A standard transaction pauses 100 + 300 ms; SendAtCommand pauses 30 + 100 ms before its first
// read, which finds the answer already there. The counter "overhead" is (wall - pauses) / pauses:
// everything the port, the log and the simulator add. Goal: below 0.05.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>

#include "atlink/at_log.h"
#include "atlink/at_serial_port.h"
#include "simulator/dtu_simulator.h"

namespace {

sim::DtuSimulator& Simulator() {
    static sim::DtuSimulator simulator;
    if (simulator.Com() == 0) {
        std::string error;
        if (!simulator.Start({}, &error)) {
            std::fprintf(stderr, "simulator: %s\n", error.c_str());
            std::exit(1);
        }
        atlink::SetAtLogDirectoryOverride(std::filesystem::temp_directory_path().string() + "/");
    }
    return simulator;
}

void Report(benchmark::State& state, std::chrono::duration<double> total, double pausesSeconds) {
    const double perRun = total.count() / static_cast<double>(state.iterations());
    state.counters["wall_ms"] = perRun * 1000.0;
    state.counters["pauses_ms"] = pausesSeconds * 1000.0;
    state.counters["overhead"] = (perRun - pausesSeconds) / pausesSeconds;
}

void BM_StandardTransaction(benchmark::State& state) {
    const int com = Simulator().Com();
    std::chrono::duration<double> total{};
    for (auto _ : state) {
        atlink::CSerialPort port;
        const auto start = std::chrono::steady_clock::now();
        const atlink::BOOL ok = port.RunSetCycle(com, "AT+CNMP=2\r\n");
        total += std::chrono::steady_clock::now() - start;
        if (!ok) {
            state.SkipWithError("transaction failed");
            return;
        }
    }
    Report(state, total, 0.400);
}

void BM_SendAtCommand(benchmark::State& state) {
    const int com = Simulator().Com();
    std::chrono::duration<double> total{};
    for (auto _ : state) {
        atlink::CSerialPort port;
        const auto start = std::chrono::steady_clock::now();
        const std::string answer = port.SendAtCommand(com, "AT+CSQ");
        total += std::chrono::steady_clock::now() - start;
        if (answer.empty()) {
            state.SkipWithError("no answer");
            return;
        }
    }
    Report(state, total, 0.130);
}

}  // namespace

BENCHMARK(BM_StandardTransaction)->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SendAtCommand)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
