// The ADB side of the main window: the window's services handed to the ADB transfer and the XML
// file commands (adb/), which the window owns through this object and routes to in one line.
#pragma once

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
};

}  // namespace marlinq
