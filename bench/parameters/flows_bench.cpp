// Wall time of Get and of a full Download on the headless main window against the simulator, with
// the real clock, as a ratio to the pauses their AT transactions must make (100 ms before each
// write; 300 ms after it, 500 ms for AT+CGDCONT? and AT+CGAUTH?). The counter "ratio" is wall
// time / pauses; goal: at most 1.02.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

#include "bench/support/bench_window.h"
#include "ui/resource.h"

namespace {

using namespace marlinq;

struct Bench : benchrun::BenchWindow {
    // The pauses the requests of the last press had to make, in seconds.
    double MandatedPauses() const {
        double ms = 0;
        for (const auto& r : simulator.Requests()) {
            const bool slowQuery = r.bytes == "AT+CGDCONT?\r\n" || r.bytes == "AT+CGAUTH?\r\n";
            ms += 100 + (slowQuery ? 500 : 300);
        }
        return ms / 1000.0;
    }
};

Bench& Shared() {
    static Bench bench;
    return bench;
}

void Run(benchmark::State& state, int button, std::size_t expectedRequests) {
    Bench& b = Shared();
    double wall = 0;
    double pauses = 0;
    for (auto _ : state) {
        const double seconds = b.Press(button);
        if (b.simulator.Requests().size() != expectedRequests) {
            state.SkipWithError("the flow did not send every command");
            return;
        }
        wall += seconds;
        pauses += b.MandatedPauses();
        state.SetIterationTime(seconds);
    }
    state.counters["wall_ms"] = 1000.0 * wall / static_cast<double>(state.iterations());
    state.counters["pauses_ms"] = 1000.0 * pauses / static_cast<double>(state.iterations());
    state.counters["ratio"] = wall / pauses;
}

// Nine queries: GMR, CSUB, VER, CIMI, DTUMODE, DTUCFG, CNMP, CGDCONT, CGAUTH.
void BM_Get(benchmark::State& state) {
    Run(state, IDC_BTN_GET, 9);
}
// DTUMODE, DTUCFG, 3 MULTISOCKCFG, MODBUSCFG, 5 MODBUSCMD, MQTTCFG, SUBTOPIC, PUBTOPIC, CNMP,
// CGDCONT, CGAUTH clear and set.
void BM_FullDownload(benchmark::State& state) {
    Run(state, IDC_BTN_DOWNLOAD, 18);
}

}  // namespace

BENCHMARK(BM_Get)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullDownload)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
