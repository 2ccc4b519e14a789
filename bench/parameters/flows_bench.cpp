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

#include "atlink/at_log.h"
#include "cli/console_host.h"
#include "simulator/dtu_simulator.h"
#include "ui/marlinq_dlg.h"
#include "ui/resource.h"

namespace {

using namespace marlinq;

struct Bench {
    Bench() : host(log) {
        std::string error;
        if (!simulator.Start({}, &error)) {
            std::fprintf(stderr, "simulator: %s\n", error.c_str());
            std::exit(1);
        }
        atlink::SetAtLogDirectoryOverride(std::filesystem::temp_directory_path().string() + "/");
        host.Start();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!host.Main().Enabled(IDC_BTN_GET) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        FillEveryCommand();
    }
    ~Bench() {
        host.Close();
        simulator.Stop();
    }

    // Servers 2-4, five MODBUS commands and credentials, so that a download sends every command
    // of the full form except HOST (HTTPS on would skip the extended parameters).
    void FillEveryCommand() {
        host.Page(MODE_PAGE_TCP).Call([](fw::CDialog* d) {
            fw::CDialogControlAccess c(*d);
            for (int id : {IDC_TCP_CHK_SERVER2, IDC_TCP_CHK_SERVER3, IDC_TCP_CHK_SERVER4}) {
                c.SetCheck(id, fw::BST_CHECKED);
            }
            c.SetWindowText(IDC_TCP_RESET_TIME, "10");
        });
        host.Page(MODE_PAGE_MODBUS).Call([](fw::CDialog* d) {
            fw::CDialogControlAccess c(*d);
            c.SetCheck(IDC_MODBUS_CHK_ENABLE, fw::BST_CHECKED);
            for (int id : {IDC_MODBUS_CHK_SET1, IDC_MODBUS_CHK_SET2, IDC_MODBUS_CHK_SET3, IDC_MODBUS_CHK_SET4,
                           IDC_MODBUS_CHK_SET5}) {
                c.SetCheck(id, fw::BST_CHECKED);
            }
        });
        host.Main().Call([](fw::CDialog* d) {
            fw::CDialogControlAccess c(*d);
            c.SetWindowText(IDC_EDIT_APN_USER, "user");
            c.SetWindowText(IDC_EDIT_APN_PWD, "secret");
        });
    }

    // Presses button and returns the wall time until its flow is over.
    double Press(int button) {
        simulator.ClearRequests();
        const auto start = std::chrono::steady_clock::now();
        host.Main().Click(button);
        host.Main().Sync();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

    // The pauses the requests of the last press had to make, in seconds.
    double MandatedPauses() const {
        double ms = 0;
        for (const auto& r : simulator.Requests()) {
            const bool slowQuery = r.bytes == "AT+CGDCONT?\r\n" || r.bytes == "AT+CGAUTH?\r\n";
            ms += 100 + (slowQuery ? 500 : 300);
        }
        return ms / 1000.0;
    }

    std::ostringstream log;
    sim::DtuSimulator simulator;
    cli::CConsoleHost host;
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
