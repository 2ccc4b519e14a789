// The ADB side of the main window: the window's services handed to the ADB transfer and the XML
// file commands (adb/), the push worker the ADB time-out may abort, and the time-out itself. The
// window owns one and its message map binds the ADB buttons to it.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "adb/adb_host.h"
#include "adb/adb_transfer.h"
#include "adb/xml_file_commands.h"

namespace marlinq {

class CMarlinqDlg;

class CMainWindowAdb : public adb::IAdbHost {
  public:
    explicit CMainWindowAdb(CMarlinqDlg& dlg);

    adb::AdbTransfer& Transfer() { return m_transfer; }
    adb::XmlFileCommands& Commands() { return m_commands; }

    // TIMER_ADB_TIMEOUT has fired: ends the push worker, logs the time-out and restarts the scan.
    // Window thread.
    void OnAdbTimeout();
    // Set while a push worker runs that the time-out has not ended.
    int PushWorkerStarted() const { return m_bPushWorkerStarted.load(); }
    adb::HTHREAD PushThread() const { return m_hPushThread; }  // window thread
    // Forgets the push worker at shutdown, once every worker has been joined.
    void ReleasePushThread() { m_hPushThread.reset(); }

    void AddLog(const std::string& text) override;
    void ShowMessageBox(const std::string& text, const std::string& caption, unsigned type) override;
    adb::AdbState AtQueryAdb() override;
    int AtEnableAdb() override;
    int AtResetModule() override;
    int AtHideAdb() override;
    void OnBtnScanPort() override;
    void ArmAdbTimeout() override;
    void DisarmAdbTimeout() override;
    adb::HTHREAD StartWorker(fw::CWorkerThread::Body body) override;
    adb::HTHREAD StartPushWorker(fw::CWorkerThread::Body body) override;
    int PendingPush() override;
    void SetPendingPush(int pending) override;
    std::string AppDirectory() override;

  private:
    CMarlinqDlg& m_dlg;
    adb::AdbTransfer m_transfer;
    adb::XmlFileCommands m_commands;
    adb::HTHREAD m_hPushThread;  // window thread
    std::atomic<int> m_bPushWorkerStarted{0};
};

}  // namespace marlinq
