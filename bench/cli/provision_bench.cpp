// marlinq-cli provision against simulated modules on this machine: one unit alone and eight at
// once, in the same run, at the tool's real pauses (MARLINQ_CLOCK_SCALE, when set, is handed on).
// Reported: the wall time of each run, the ratio of the two, the CPU time per unit (the units'
// processes and the provisioning command together) and the peak memory of the largest process.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bench/cli/program_run.h"
#include "simulator/module_rack.h"

namespace {

namespace fs = std::filesystem;

std::map<long, double> g_wall;  // units -> seconds

using benchrun::CpuSeconds;
using benchrun::RunToEnd;

void Provision(benchmark::State& state) {
    const int units = static_cast<int>(state.range(0));
    sim::ModuleRack rack;
    std::string error;
    if (!rack.Start(units, {}, "001019000000500", &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    std::string ports;
    for (std::size_t i = 0; i < rack.Size(); ++i) {
        ports += (i == 0 ? "" : ",") + std::to_string(rack.Module(i).Com());
    }
    // A copy of the program of its own: its records file and traffic log stay in this folder.
    const fs::path dir =
        fs::temp_directory_path() / ("marlinq-provision-bench-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::copy_file(MARLINQ_CLI_EXE, dir / "marlinq-cli");
    for (auto _ : state) {
        rusage before{};
        getrusage(RUSAGE_CHILDREN, &before);
        const auto start = std::chrono::steady_clock::now();
        const int code = RunToEnd((dir / "marlinq-cli").string(),
                                  {"provision", "--set", "mqtt.ClientId=dtu-{IMSI}", "--ports", ports});
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        rusage after{};
        getrusage(RUSAGE_CHILDREN, &after);
        if (code != 0) {
            state.SkipWithError(("provision ended with exit code " + std::to_string(code)).c_str());
            break;
        }
        state.SetIterationTime(wall);
        g_wall[units] = wall;
        state.counters["cpu_s_per_unit"] = (CpuSeconds(after) - CpuSeconds(before)) / units;
        state.counters["peak_rss_MiB"] = static_cast<double>(after.ru_maxrss) / 1024.0;
    }
    fs::remove_all(dir);
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
