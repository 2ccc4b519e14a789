// Saving and loading a full parameter file, in microseconds: the document alone, and the whole
// way through the scratch container to a durable, atomically replaced file on disk.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "configfile/config_document.h"
#include "configfile/config_save.h"

namespace {

namespace fs = std::filesystem;
using namespace configfile;

// Every parameter leaf filled with a value of typical length.
ConfigValues FullValues() {
    ConfigValues values;
    const auto& leaves = ConfigLeaves();
    for (std::size_t i = 0; i < leaves.size(); ++i) {
        if (leaves[i].fixedValue == nullptr) {
            values[i] = std::string(leaves[i].name) + "-value-0123456789";
        }
    }
    return values;
}

struct BenchDir {
    BenchDir() : path(fs::temp_directory_path() / ("marlinq-config-bench-" + std::to_string(::getpid()))) {
        fs::create_directories(path);
    }
    ~BenchDir() { fs::remove_all(path); }
    fs::path path;
};

void BM_WriteDocument(benchmark::State& state) {
    const ConfigValues values = FullValues();
    for (auto _ : state) {
        benchmark::DoNotOptimize(WriteConfigDocument(values));
    }
}
BENCHMARK(BM_WriteDocument)->Unit(benchmark::kMicrosecond);

void BM_ParseDocument(benchmark::State& state) {
    const std::string document = WriteConfigDocument(FullValues());
    ConfigValues values;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseConfigDocument(document, &values));
    }
    state.counters["bytes"] = static_cast<double>(document.size());
}
BENCHMARK(BM_ParseDocument)->Unit(benchmark::kMicrosecond);

// Includes the flush of the file and of its directory, so it measures the disk as much as the code.
void BM_SaveFullFile(benchmark::State& state) {
    BenchDir dir;
    const ConfigValues values = FullValues();
    const std::string target = (dir.path / "Config.xml").string();
    const std::string scratch = (dir.path / kScratchContainerName).string();
    for (auto _ : state) {
        if (SaveDocumentThroughScratch(WriteConfigDocument(values), target, scratch).outcome !=
            ConfigSaveOutcome::kSaved) {
            state.SkipWithError("save failed");
            break;
        }
    }
}
BENCHMARK(BM_SaveFullFile)->Unit(benchmark::kMicrosecond);

void BM_LoadFullFile(benchmark::State& state) {
    BenchDir dir;
    const std::string target = (dir.path / "Config.xml").string();
    SaveDocumentThroughScratch(WriteConfigDocument(FullValues()), target,
                               (dir.path / kScratchContainerName).string());
    ConfigValues values;
    for (auto _ : state) {
        if (ReadConfigFile(target, &values) != ConfigReadOutcome::kRead) {
            state.SkipWithError("load failed");
            break;
        }
    }
}
BENCHMARK(BM_LoadFullFile)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
