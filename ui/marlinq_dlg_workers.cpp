// Threads that act on the main window: the operation buttons, the scan restart, the Reset DTU
// worker, the ADB time-out and the stopping of every worker at shutdown.
#include "framework/window_thread.h"
#include "platform/clock.h"
#include "ui/marlinq_dlg.h"

namespace marlinq {

namespace {

// The button groups are those of the scanner and the port panel, so both sides agree.
using discovery::kOperationButtons;
using discovery::kPortButtons;
constexpr std::uint32_t kResetWaitMs = 20000;

}  // namespace

void CMarlinqDlg::SetOperationButtons(DeviceEvent event) {
    if (event == DeviceEvent::NotReady) {
        m_bDeviceReady = 0;
    } else if (event == DeviceEvent::Ready) {
        m_bDeviceReady = 1;
    }
    RunOnWindowThread([this, event] {
        auto enable = [this](int id, bool on) {
            if (auto* c = GetDlgItem(id)) {
                c->EnableWindow(on ? fw::TRUE : fw::FALSE);
            }
        };
        switch (event) {
            case DeviceEvent::ScanRestarted:
                for (int id : kOperationButtons) {
                    enable(id, false);
                }
                break;
            case DeviceEvent::NotReady:
                for (int id : kOperationButtons) {
                    enable(id, id == IDC_BTN_SCAN_PORT);
                }
                break;
            case DeviceEvent::Ready:
                for (int id : kOperationButtons) {
                    enable(id, true);
                }
                break;
            case DeviceEvent::ManualPortOpened:
                for (int id : kPortButtons) {
                    enable(id, true);
                }
                break;
            case DeviceEvent::ManualPortClosed:
                if (m_bDeviceReady == 0) {
                    for (int id : kPortButtons) {
                        enable(id, false);
                    }
                }
                break;
        }
    });
}

void CMarlinqDlg::OnBtnScanPort() {
    SetOperationButtons(DeviceEvent::ScanRestarted);
    m_bNotReadyLogged = 0;
    AddLog("Scanning equipments...");
    WakeScanner();
}

HTHREAD CMarlinqDlg::StartWorker(fw::CWorkerThread::Body body) {
    std::lock_guard lock(m_workersMutex);
    if (m_bStopThreads != 0) {
        return nullptr;
    }
    std::erase_if(m_workers, [](const HTHREAD& w) { return w->IsFinished(); });
    auto worker = std::make_shared<fw::CWorkerThread>();
    worker->Start(std::move(body));
    m_workers.push_back(worker);
    return worker;
}

void CMarlinqDlg::PostFromWorker(const HTHREAD& worker, std::function<void()> fn) {
    // The check runs on the window thread, where the abort happens, so nothing slips past it.
    RunOnWindowThread([worker, fn = std::move(fn)] {
        if (worker && !worker->IsAborted()) {
            fn();
        }
    });
}

void CMarlinqDlg::AbortWorker(const HTHREAD& worker) {
    if (worker) {
        worker->Abort();
    }
}

void CMarlinqDlg::OnBtnResetDtu() {
    AddLog("Resetting...");
    if (auto worker = StartWorker([this](fw::CWorkerThread& self) { ResetThreadProc(self); })) {
        m_hResetThread = worker;
    }
}

void CMarlinqDlg::ResetThreadProc(fw::CWorkerThread& self) {
    if (AtResetModule()) {
        if (!self.Wait(kResetWaitMs)) {
            return;  // the window is closing: nothing more to do for it
        }
    }
    if (self.ShouldEnd()) {
        return;
    }
    CloseManualPort();
    OnBtnScanPort();
}

void CMarlinqDlg::OnAdbTimeout() {
    KillTimer(TIMER_ADB_TIMEOUT);
    if (g_bPushWorkerStarted.exchange(0) != 0) {
        // The worker is ended where it waits (its abort hook ends the adb child it waits for) and
        // from now on says and changes nothing; it is joined at shutdown.
        AbortWorker(m_hPushThread);
        m_hPushThread.reset();
    }
    AddLog("ADB cmd timeout, please check ADB device and retry later!");
    OnBtnScanPort();
}

void CMarlinqDlg::StopThreads() {
    m_bStopThreads = 1;
    m_deviceMonitor.Stop();
    if (m_scanner) {
        m_scanner->Stop();  // wakes it so that it sees the stop flag, and joins it
    }
    std::vector<HTHREAD> workers;
    {
        std::lock_guard lock(m_workersMutex);
        workers.swap(m_workers);
    }
    for (auto& w : workers) {
        w->RequestStop();
    }
    for (auto& w : workers) {
        w->Join();
    }
    m_hScanThread.reset();
    m_hResetThread.reset();
    m_hPushThread.reset();
}

}  // namespace marlinq
