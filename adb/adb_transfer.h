// The ADB transfer: switching ADB on in the module when needed, pushing the XML file with adb on a
// worker (up to three runs), hiding ADB again and rebooting the module.
//
// The main window owns one AdbTransfer and routes to it: the factory reset and the file download
// call StartAdbTransfer, the posted ID_ADB_PUSH_XML calls OnAdbPushXml. The push worker is the
// window's (StartPushWorker), so the ADB time-out aborts it; the abort ends the adb child the
// worker waits for, so the worker returns at once and logs nothing more.
#pragma once

#include <atomic>
#include <mutex>
#include <set>
#include <string>

#include "adb/adb_host.h"
#include "platform/child_process.h"

namespace adb {

// How one run of the push procedure ended; the values are the procedure's numbers.
enum class PushRun : int {
    NotCompleted = 0,  // no device was listed, or the worker was ended
    Completed = 1,     // a device was listed and the push, hide and reboot steps ran
};

// The outcome of the last push step.
enum class PushOutcome : int {
    None = -1,   // no push step ran yet
    Failed = 0,  // "ADB PUSH XML failed!"
    Pushed = 1,  // "ADB PUSH XML successfully!"
};

class AdbTransfer {
  public:
    explicit AdbTransfer(IAdbHost& host);
    ~AdbTransfer();
    AdbTransfer(const AdbTransfer&) = delete;
    AdbTransfer& operator=(const AdbTransfer&) = delete;

    // m_strXmlPath: the file the next push sends; a relative path is stored made absolute against
    // the current directory.
    void SetXmlPath(const std::string& path);
    std::string XmlPath() const;
    // m_bModuleReset: the module was reset to switch ADB on; the push then hides ADB again.
    bool ModuleReset() const { return m_bModuleReset.load() != 0; }

    // Window thread: asks the ADB state and starts the push worker (ADB on, a push pending) or the
    // enable-ADB worker (ADB off); with no AT port the request stays pending.
    void StartAdbTransfer();
    // Window thread, the handler of ID_ADB_PUSH_XML: pauses 5000 ms, then starts the push worker.
    void OnAdbPushXml();

    // The worker bodies.
    void EnableAdbThreadProc(fw::CWorkerThread& self);
    void PushThreadProc(fw::CWorkerThread& self);
    // One run of the push procedure.
    PushRun AdbPushXml(fw::CWorkerThread& self, platform::ChildCancel& cancel);

    PushOutcome LastPushOutcome() const { return m_lastPushOutcome.load(); }

    // Shutdown: ends every adb child a worker waits for; commands started later do not run.
    void CancelCommands();

  private:
    void StartPushWorker();
    void Say(const fw::CWorkerThread& self, const std::string& text);
    std::string RunTimed(fw::CWorkerThread& self, const platform::ChildCommand& command,
                         platform::ChildCancel& cancel);
    std::shared_ptr<platform::ChildCancel> NewCancel();
    void DropCancel(const std::shared_ptr<platform::ChildCancel>& cancel);

    IAdbHost& m_host;
    mutable std::mutex m_mutex;
    std::string m_strXmlPath;
    HTHREAD m_hEnableAdbThread;  // the last enable-ADB worker started
    std::set<std::shared_ptr<platform::ChildCancel>> m_cancels;
    bool m_cancelAll = false;
    std::atomic<int> m_bModuleReset{0};
    std::atomic<PushOutcome> m_lastPushOutcome{PushOutcome::None};
};

}  // namespace adb
