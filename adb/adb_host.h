// What the ADB operations and flows need of the main window. The window implements it with
// one-line forwards; tests implement it over a simulator or with plain recordings.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "framework/worker_thread.h"

namespace adb {

using HTHREAD = std::shared_ptr<fw::CWorkerThread>;

// The module's ADB state as AT+CUSBADB? reports it; the values are the query wrapper's numbers.
enum class AdbState : int {
    NoAtPort = 0,  // no AT port was found; nothing was asked
    Off = 1,       // ADB is off, or the answer did not report it
    On = 2,
};

class IAdbHost {
  public:
    virtual ~IAdbHost() = default;

    // The log pane (AddLog). Any thread.
    virtual void AddLog(const std::string& text) = 0;
    // A message box owned by the main window, shown by the view. Any thread.
    virtual void ShowMessageBox(const std::string& text, const std::string& caption, unsigned type) = 0;

    // The AT wrappers: the ADB state; the others non-zero on success.
    virtual AdbState AtQueryAdb() = 0;
    virtual int AtEnableAdb() = 0;
    virtual int AtResetModule() = 0;
    virtual int AtHideAdb() = 0;

    // Restarts the device scan exactly as the Scan Port button does. Any thread.
    virtual void OnBtnScanPort() = 0;
    // TIMER_ADB_TIMEOUT: arming starts the 30000 ms afresh. Any thread.
    virtual void ArmAdbTimeout() = 0;
    virtual void DisarmAdbTimeout() = 0;

    // Starts a worker of the window; nullptr once the window is shutting down.
    virtual HTHREAD StartWorker(fw::CWorkerThread::Body body) = 0;
    // Starts the push worker: it becomes the window's m_hPushThread, the push-worker mark is set,
    // and the ADB time-out aborts it (which runs its abort hook).
    virtual HTHREAD StartPushWorker(fw::CWorkerThread::Body body) = 0;
    // m_bPendingPush: a push waits for the module; the scanner serves it when the module is ready.
    virtual int PendingPush() = 0;
    virtual void SetPendingPush(int pending) = 0;
    // The program directory with its trailing separator.
    virtual std::string AppDirectory() = 0;
};

}  // namespace adb
