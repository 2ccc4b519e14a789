// The headless main window against a simulator of its own, on the real clock, for the benchmarks
// of the flows: every command of the full form filled in, a press timed to the end of its flow.
#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>

#include "atlink/at_log.h"
#include "atlink/at_pacing.h"
#include "cli/console_host.h"
#include "simulator/dtu_simulator.h"
#include "ui/marlinq_app.h"
#include "ui/marlinq_dlg.h"
#include "ui/resource.h"

namespace benchrun {

struct BenchWindow {
    explicit BenchWindow(atlink::Pacing pacing = atlink::Pacing::Fixed) : host(log) {
        std::string error;
        if (!simulator.Start({}, &error)) {
            std::fprintf(stderr, "simulator: %s\n", error.c_str());
            std::exit(1);
        }
        atlink::SetAtLogDirectoryOverride(std::filesystem::temp_directory_path().string() + "/");
        host.Host().App().SetPacing(pacing);
        host.Start();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!host.Main().Enabled(marlinq::IDC_BTN_GET) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        FillEveryCommand();
    }
    ~BenchWindow() {
        host.Close();
        simulator.Stop();
    }
    BenchWindow(const BenchWindow&) = delete;
    BenchWindow& operator=(const BenchWindow&) = delete;

    // Servers 2-4, five MODBUS commands and credentials, so that a download sends every command
    // of the full form except HOST (HTTPS on would skip the extended parameters).
    void FillEveryCommand() {
        using namespace marlinq;
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

    // Whether the flow of the last press went well.
    bool LastFlowOk() {
        return host.Main().Call([](fw::CDialog* d) {
            return d != nullptr && static_cast<marlinq::CMarlinqDlg*>(d)->LastFlowOutcome().Ok();
        });
    }

    std::ostringstream log;
    sim::DtuSimulator simulator;
    marlinq::cli::CConsoleHost host;
};

}  // namespace benchrun
