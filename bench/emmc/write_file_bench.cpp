// WriteFileToEMMC of 64 MiB through a transport that discards the data: the cost of the library's
// own work (CDBs, trace lines, chunking), set against memcpy of the same 64 MiB in the same
// iterations and against the time a USB 2.0 disk (about 40 MB/s) needs for the data.
//
// Counters: MB_per_s (1 MB = 10^6 bytes), memcpy_MB_per_s, time_ratio_to_memcpy (library time /
// memcpy time), pct_of_usb2_time (library time as a percentage of 64 MiB at 40 MB/s).
// Argument 0: trace lines are formatted and dropped; 1: they also go to the system log.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "debug_channel.h"
#include "device.h"
#include "tarnwick.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kBytes = 64u << 20;
constexpr double kUsb2BytesPerSecond = 40e6;

class DiscardingTransport final : public tarnwick::ScsiTransport {
  public:
    explicit DiscardingTransport(bool toSystemLog) : toSystemLog_(toSystemLog) {}

    std::vector<tarnwick::DriveInfo> ListRemovableDrives() override {
        return {tarnwick::DriveInfo{'E', "Qualcomm", "MMC Storage"}};
    }
    tarnwick::DeviceHandle Open(char) override { return 7; }
    void Dismount(tarnwick::DeviceHandle) override {}
    void Close(tarnwick::DeviceHandle) override {}
    tarnwick::ScsiResult Send(tarnwick::DeviceHandle, const tarnwick::ScsiRequest& request) override {
        benchmark::DoNotOptimize(request.data);
        return tarnwick::ScsiResult{tarnwick::ScsiOutcome::kGood, 0, 0};
    }
    void Trace(const char* line) override {
        if (toSystemLog_) {
            tarnwick::WriteDebugLine(line);
        }
        benchmark::DoNotOptimize(line);
    }

  private:
    bool toSystemLog_;
};

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

void BM_WriteFileToEMMC(benchmark::State& state) {
    DiscardingTransport transport(state.range(0) != 0);
    tarnwick::InstallTransport(&transport);
    if (OpenUsbEMMCDevice() != 0) {
        state.SkipWithError("open failed");
        tarnwick::InstallTransport(nullptr);
        return;
    }
    std::vector<unsigned char> data(kBytes, 0x5A);
    std::vector<unsigned char> copy(kBytes, 0);
    double writeTotal = 0;
    double memcpyTotal = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        const int rc = WriteFileToEMMC(0, data.data(), kBytes);
        const auto written = Clock::now();
        benchmark::DoNotOptimize(rc);
        if (rc != 0) {
            state.SkipWithError("write failed");
            break;
        }
        std::memcpy(copy.data(), data.data(), kBytes);
        benchmark::ClobberMemory();
        const auto copied = Clock::now();
        writeTotal += Seconds(written - start);
        memcpyTotal += Seconds(copied - written);
        state.SetIterationTime(Seconds(written - start));
    }
    CloseUsbEMMCDevice();
    tarnwick::InstallTransport(nullptr);

    const auto n = static_cast<double>(state.iterations());
    if (n == 0 || writeTotal <= 0 || memcpyTotal <= 0) {
        return;
    }
    const double write = writeTotal / n;
    const double copyTime = memcpyTotal / n;
    state.counters["MB_per_s"] = static_cast<double>(kBytes) / 1e6 / write;
    state.counters["memcpy_MB_per_s"] = static_cast<double>(kBytes) / 1e6 / copyTime;
    state.counters["time_ratio_to_memcpy"] = write / copyTime;
    state.counters["pct_of_usb2_time"] = 100.0 * write / (static_cast<double>(kBytes) / kUsb2BytesPerSecond);
}

BENCHMARK(BM_WriteFileToEMMC)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
