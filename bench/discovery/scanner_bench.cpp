// The scanner's cost while no module is attached, and how soon it announces a module that appears.
//
// Absent/10s: process CPU time over 10 s of scanning with no module, as a percentage of one core.
// BackToBack/2s: the same with the pause between absent passes scaled to almost nothing, which is
// what passes run back to back cost. Appear: time from a virtual device file appearing to the
// readiness line (manual time, one device per iteration).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

#include "discovery/device_scanner.h"
#include "platform/clock.h"
#include "platform/device_change.h"
#include "platform/virtual_devices.h"

namespace {

using Clock = std::chrono::steady_clock;

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A scanner wired as the main window wires it, with log lines counted instead of shown.
struct Rig {
    Rig() {
        discovery::ScannerCallbacks cb;
        cb.addLog = [this](const std::string& line) {
            std::lock_guard<std::mutex> lock(mutex);
            if (line.rfind("Equipment ready", 0) == 0) {
                ++readyLines;
                readyAt = Clock::now();
            } else if (line == "Equipment is not ready!") {
                ++notReadyLines;
            }
            cv.notify_all();
        };
        scanner = std::make_unique<discovery::DeviceScanner>(
            std::move(cb), discovery::ScannerFlags{pendingPush, stop, notReadyLogged});
        monitor.Start([this](const platform::DeviceChange&) { scanner->NotifyDeviceChange(); });
    }
    ~Rig() {
        monitor.Stop();
        scanner.reset();
    }
    template <typename Pred>
    bool Wait(Pred pred) {
        std::unique_lock<std::mutex> lock(mutex);
        return cv.wait_for(lock, std::chrono::seconds(10), pred);
    }

    std::atomic<atlink::BOOL> pendingPush{atlink::FALSE}, stop{atlink::FALSE}, notReadyLogged{atlink::FALSE};
    std::mutex mutex;
    std::condition_variable cv;
    int readyLines = 0;
    int notReadyLines = 0;
    Clock::time_point readyAt;
    std::unique_ptr<discovery::DeviceScanner> scanner;
    platform::DeviceChangeMonitor monitor;
};

void ScanWithoutModule(benchmark::State& state, double scale, int seconds) {
    platform::ScopedClockScale clockScale(scale);
    for (auto _ : state) {
        Rig rig;
        rig.scanner->StartScanThreads();
        rig.Wait([&] { return rig.notReadyLines > 0; });
        const double cpu0 = ProcessCpuSeconds();
        const auto t0 = Clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        const double cpu = ProcessCpuSeconds() - cpu0;
        const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
        state.counters["cpu_pct_of_core"] = 100.0 * cpu / wall;
        state.SetIterationTime(wall);
    }
}

void BM_ScannerAbsent(benchmark::State& state) {
    ScanWithoutModule(state, 1.0, 10);
}

void BM_ScannerBackToBack(benchmark::State& state) {
    ScanWithoutModule(state, 1e-6, 2);
}

void BM_DeviceAppearsToReadyLine(benchmark::State& state) {
    platform::ScopedClockScale clockScale(1.0);
    Rig rig;
    rig.scanner->StartScanThreads();
    rig.Wait([&] { return rig.notReadyLines > 0; });
    platform::VirtualDevice dev;
    dev.path = "/dev/null";  // any existing node stands in for the tty
    dev.com = 250;
    dev.friendly = "Bench DTU AT Port (COM250)";
    dev.hwids = {"USB\\VID_1E0E&PID_9001&MI_00"};
    double worstMs = 0;
    for (auto _ : state) {
        int ready = 0;
        {
            std::lock_guard<std::mutex> lock(rig.mutex);
            ready = rig.readyLines;
        }
        const auto t0 = Clock::now();
        const std::string file = platform::WriteVirtualDevice("bench", dev, false);
        if (!rig.Wait([&] { return rig.readyLines > ready; })) {
            state.SkipWithError("no readiness line");
            break;
        }
        const double seconds = std::chrono::duration<double>(rig.readyAt - t0).count();
        state.SetIterationTime(seconds);
        worstMs = std::max(worstMs, seconds * 1000);

        state.PauseTiming();
        platform::RemoveVirtualDevice(file);
        // A wake counts only while the scanner waits, so restart it once it does.
        while (!rig.scanner->IsWaitingForWake()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        int notReady = 0;
        {
            std::lock_guard<std::mutex> lock(rig.mutex);
            notReady = rig.notReadyLines;
        }
        rig.scanner->Wake();
        if (!rig.Wait([&] { return rig.notReadyLines > notReady; })) {
            state.SkipWithError("no not-ready line");
            break;
        }
        // Let the scanner settle into its pause between absent passes, as when idle.
        std::this_thread::sleep_for(std::chrono::milliseconds(30 + (state.iterations() * 37) % 70));
        state.ResumeTiming();
    }
    state.counters["worst_ms"] = worstMs;
}

}  // namespace

BENCHMARK(BM_ScannerAbsent)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_ScannerBackToBack)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_DeviceAppearsToReadyLine)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    // A private runtime directory, so the benchmark's virtual devices touch no one else's.
    std::string dir = (std::filesystem::temp_directory_path() / "marlinq-bench-XXXXXX").string();
    if (mkdtemp(dir.data()) != nullptr) {
        setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return 0;
}
