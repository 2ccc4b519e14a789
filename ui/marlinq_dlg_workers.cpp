// Threads that act on the main window: the operation buttons, the scan restart, the Reset DTU
// worker, the ADB time-out and the stopping of every worker at shutdown.
#include "framework/window_thread.h"
#include "platform/clock.h"
#include "ui/marlinq_dlg.h"

namespace marlinq {

namespace {

// The operation buttons, enabled and disabled as a group.
constexpr int kOperationButtons[] = {IDC_BTN_SCAN_PORT,     IDC_BTN_GET,         IDC_BTN_DOWNLOAD,
                                     IDC_BTN_READ_EXT,      IDC_BTN_SET_EXT,     IDC_BTN_RESET_DTU,
                                     IDC_BTN_FACTORY_RESET, IDC_BTN_XML_DOWNLOAD};
// The buttons that need a port, switched by the manual port.
constexpr int kPortButtons[] = {IDC_BTN_GET, IDC_BTN_DOWNLOAD, IDC_BTN_READ_EXT, IDC_BTN_SET_EXT,
                                IDC_BTN_RESET_DTU};
constexpr std::uint32_t kResetWaitMs = 20000;

}  // namespace

void CMarlinqDlg::OnDeviceEvent(DeviceEvent event) {
    switch (event) {
        case DeviceEvent::NotReady:
            m_bDeviceReady = 0;
            break;
        case DeviceEvent::Ready:
            m_bDeviceReady = 1;
            break;
        case DeviceEvent::PushPending:
            // Continues the waiting push on the window thread; the buttons stay as they are.
            PostMessage(fw::WM_COMMAND, fw::MAKEWPARAM(ID_ADB_PUSH_XML, 0), 0);
            return;
        default:
            break;
    }
    RunOnWindowThread([this, event] { ApplyButtonState(event); });
}

void CMarlinqDlg::ApplyButtonState(DeviceEvent event) {
    auto enable = [this](const auto& ids, auto on) {
        for (int id : ids) {
            m_mainControls.EnableWindow(id, on(id));
        }
    };
    switch (event) {
        case DeviceEvent::ScanRestarted:
            enable(kOperationButtons, [](int) { return false; });
            break;
        case DeviceEvent::NotReady:
            enable(kOperationButtons, [](int id) { return id == IDC_BTN_SCAN_PORT; });
            break;
        case DeviceEvent::Ready:
            enable(kOperationButtons, [](int) { return true; });
            break;
        case DeviceEvent::ManualPortOpened:
            enable(kPortButtons, [](int) { return true; });
            break;
        case DeviceEvent::ManualPortClosed:
            if (m_bDeviceReady == 0) {
                enable(kPortButtons, [](int) { return false; });
            }
            break;
        case DeviceEvent::PushPending:
            break;
    }
}

std::vector<int> CMarlinqDlg::OperationButtonIds() {
    return {std::begin(kOperationButtons), std::end(kOperationButtons)};
}

void CMarlinqDlg::OnBtnScanPort() {
    OnDeviceEvent(DeviceEvent::ScanRestarted);
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

HTHREAD CMarlinqDlg::StartPushWorker(fw::CWorkerThread::Body body) {
    HTHREAD worker = StartWorker(std::move(body));
    if (worker) {
        RunOnWindowThread([this, worker] { m_hPushThread = worker; });
        m_bPushWorkerStarted = 1;
    }
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
    if (m_bPushWorkerStarted.exchange(0) != 0) {
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
    if (m_adb) {
        m_adb->Transfer().CancelCommands();  // a worker waiting for adb returns at once
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
    m_hResetThread.reset();
    m_hPushThread.reset();
}

}  // namespace marlinq
