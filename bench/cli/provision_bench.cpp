// marlinq-cli provision against simulated modules on this machine: one unit alone and eight at
// once, in the same run, at the tool's real pauses (MARLINQ_CLOCK_SCALE, when set, is handed on).
// Reported: the wall time of each run, the ratio of the two, the CPU time per unit (the units'
// processes and the provisioning command together) and the peak memory of the largest process.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "bench/cli/program_run.h"
#include "simulator/module_rack.h"

namespace {

std::map<long, double> g_wall;  // units -> seconds

void Provision(benchmark::State& state) {
    const int units = static_cast<int>(state.range(0));
    sim::ModuleRack rack;
    std::string error;
    if (!rack.Start(units, {}, "001019000000500", &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    const benchrun::ProgramCopy program("marlinq-provision-bench", MARLINQ_CLI_EXE);
    const std::string ports = benchrun::PortList(rack);
    for (auto _ : state) {
        const benchrun::TimedRun run = benchrun::RunTimed(
            program.Path(), {"provision", "--set", "mqtt.ClientId=dtu-{IMSI}", "--ports", ports});
        if (run.code != 0) {
            state.SkipWithError(("provision ended with exit code " + std::to_string(run.code)).c_str());
            break;
        }
        state.SetIterationTime(run.wallSeconds);
        g_wall[units] = run.wallSeconds;
        state.counters["cpu_s_per_unit"] = run.childCpuSeconds / units;
        state.counters["peak_rss_MiB"] = run.peakRssMiB;
    }
}

BENCHMARK(Provision)->Arg(1)->Arg(8)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    if (g_wall.count(1) != 0 && g_wall.count(8) != 0) {
        std::printf("eight units at once against one alone: %.2f s / %.2f s = %.2f\n", g_wall[8], g_wall[1],
                    g_wall[8] / g_wall[1]);
    }
    benchmark::Shutdown();
    return 0;
}
