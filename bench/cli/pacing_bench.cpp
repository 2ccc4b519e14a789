// Fixed pacing against answer pacing, side by side in one run, at the tool's real pauses: Get and
// a full Download on the headless main window against the simulator, a verified provision of one
// simulated unit (marlinq-cli provision: Get, Download, verifying Get, each unit in a process of
// its own), and eight units at once paced by the answer against one.
// Aims for answer pacing: Get at most 0.3 s, full Download 0.6 s, a verified unit 1.5 s (fixed:
// about 4.0 s, 7.2 s and 15 s), eight units at most 1.2 times one. The provision runs also give
// the CPU time per unit (cpu_s_per_unit: the units' processes and the command together), which
// bounds how far eight units at once can share two cores.
#include <benchmark/benchmark.h>

#include <algorithm>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "atlink/at_log.h"
#include "atlink/at_pacing.h"
#include "bench/cli/program_run.h"
#include "bench/support/bench_window.h"
#include "cli/console_host.h"
#include "simulator/dtu_simulator.h"
#include "simulator/module_rack.h"
#include "ui/marlinq_app.h"
#include "ui/marlinq_dlg.h"
#include "ui/resource.h"

namespace {

using namespace marlinq;

// "get/fixed", "provision/answer/8", ... -> seconds
std::map<std::string, double> g_wall;

// The headless window against its own simulator, its session paced as asked.
struct Window : benchrun::BenchWindow {
    using BenchWindow::BenchWindow;
    using BenchWindow::Press;

    // Presses button; the wall time until its flow is over, and whether it went well.
    double Press(int button, bool* ok) {
        const double seconds = Press(button);
        *ok = LastFlowOk();
        return seconds;
    }
};

atlink::Pacing PacingOf(const benchmark::State& state) {
    return state.range(0) == 1 ? atlink::Pacing::Answer : atlink::Pacing::Fixed;
}
std::string Key(const char* flow, const benchmark::State& state) {
    return std::string(flow) + "/" + std::string(atlink::PacingName(PacingOf(state)));
}

void Flow(benchmark::State& state, const char* name, int button, std::size_t requests) {
    Window w(PacingOf(state));
    double wall = 0;
    for (auto _ : state) {
        bool ok = false;
        const double seconds = w.Press(button, &ok);
        if (!ok || w.simulator.Requests().size() != requests) {
            state.SkipWithError("the flow failed or did not send every command");
            return;
        }
        wall += seconds;
        state.SetIterationTime(seconds);
    }
    g_wall[Key(name, state)] = wall / static_cast<double>(state.iterations());
}

// Nine queries: GMR, CSUB, VER, CIMI, DTUMODE, DTUCFG, CNMP, CGDCONT, CGAUTH.
void Get(benchmark::State& state) {
    Flow(state, "get", IDC_BTN_GET, 9);
}
// DTUMODE, DTUCFG, 3 MULTISOCKCFG, MODBUSCFG, 5 MODBUSCMD, MQTTCFG, SUBTOPIC, PUBTOPIC, CNMP,
// CGDCONT, CGAUTH clear and set.
void FullDownload(benchmark::State& state) {
    Flow(state, "download", IDC_BTN_DOWNLOAD, 18);
}

// A verified provision of range(1) simulated units at once, paced as range(0) says; its wall time
// (for answer pacing the median of five runs) and the CPU time per unit.
void Provision(benchmark::State& state) {
    const int units = static_cast<int>(state.range(1));
    sim::ModuleRack rack;
    std::string error;
    if (!rack.Start(units, {}, "001019000000700", &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    const benchrun::ProgramCopy program("marlinq-pacing-bench", MARLINQ_CLI_EXE);
    const std::string ports = benchrun::PortList(rack);
    // A paced run lasts a fraction of a second, so one run says little on a shared machine: the
    // median of five is taken. A fixed run takes seconds and runs once.
    const int runs = PacingOf(state) == atlink::Pacing::Answer ? 5 : 1;
    for (auto _ : state) {
        std::vector<double> walls;
        double cpu = 0;
        for (int i = 0; i < runs; ++i) {
            const benchrun::TimedRun run = benchrun::RunTimed(
                program.Path(), {"provision", "--again", "--set", "mqtt.ClientId=dtu-{IMSI}", "--ports",
                                 ports, "--pace", std::string(atlink::PacingName(PacingOf(state)))});
            if (run.code != 0) {
                state.SkipWithError(("provision ended with exit code " + std::to_string(run.code)).c_str());
                return;
            }
            walls.push_back(run.wallSeconds);
            cpu += run.childCpuSeconds;
        }
        std::sort(walls.begin(), walls.end());
        const double median = walls[walls.size() / 2];
        state.counters["cpu_s_per_unit"] = cpu / runs / units;
        state.SetIterationTime(median);
        g_wall[Key("provision", state) + "/" + std::to_string(units)] = median;
    }
}

// range(0): 0 fixed, 1 answer.
BENCHMARK(Get)->ArgName("answer")->Arg(0)->Arg(1)->Iterations(3)->UseManualTime()->Unit(
    benchmark::kMillisecond);
BENCHMARK(FullDownload)
    ->ArgName("answer")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Provision)
    ->ArgNames({"answer", "units"})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({1, 8})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

void Ratio(const char* what, const std::string& a, const std::string& b) {
    if (g_wall.count(a) != 0 && g_wall.count(b) != 0) {
        std::printf("%-40s %8.3f s / %8.3f s = %.3f\n", what, g_wall[a], g_wall[b], g_wall[a] / g_wall[b]);
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    Ratio("Get, answer against fixed:", "get/answer", "get/fixed");
    Ratio("full Download, answer against fixed:", "download/answer", "download/fixed");
    Ratio("verified unit, answer against fixed:", "provision/answer/1", "provision/fixed/1");
    Ratio("eight units against one, answer:", "provision/answer/8", "provision/answer/1");
    benchmark::Shutdown();
    return 0;
}
