#include "ui/main_window_adb.h"

#include "configfile/config_value_check.h"
#include "platform/app_directory.h"
#include "ui/marlinq_dlg.h"

namespace marlinq {

CMainWindowAdb::CMainWindowAdb(CMarlinqDlg& dlg)
    : m_dlg(dlg),
      m_transfer(*this),
      m_commands(
          *this, m_transfer, dlg.MainControls(),
          adb::XmlFileControlIds{IDC_EDIT_XML_PATH, CButtonPolicy::OperationButtonIds()},
          [&dlg](const std::string& path) { return dlg.LoadXmlConfig(path); },
          [&dlg](const fw::FileDialogRequest& request) { return dlg.DoFileDialog(request); },
          [](const std::string& path) { return configfile::ConfigFileValuesFault(path); }) {}

void CMainWindowAdb::OnAdbTimeout() {
    m_dlg.KillTimer(TIMER_ADB_TIMEOUT);
    if (m_bPushWorkerStarted.exchange(0) != 0) {
        // The worker is ended where it waits (its abort hook ends the adb child it waits for) and
        // from now on says and changes nothing; it is joined at shutdown.
        fw::CWorkerRegistry::AbortWorker(m_hPushThread);
        m_hPushThread.reset();
    }
    m_dlg.AddLog("ADB cmd timeout, please check ADB device and retry later!");
    m_dlg.OnBtnScanPort();
}

std::string CMainWindowAdb::AppDirectory() {
    return platform::GetAppDirectory();
}

void CMainWindowAdb::AddLog(const std::string& text) {
    m_dlg.AddLog(text);
}
void CMainWindowAdb::ShowMessageBox(const std::string& text, const std::string& caption, unsigned type) {
    m_dlg.MessageBox(text, caption, type);
}
adb::AdbState CMainWindowAdb::AtQueryAdb() {
    switch (m_dlg.At().QueryAdb()) {
        case 2:
            return adb::AdbState::On;
        case 1:
            return adb::AdbState::Off;
        default:
            return adb::AdbState::NoAtPort;
    }
}
int CMainWindowAdb::AtEnableAdb() {
    return m_dlg.At().EnableAdb();
}
int CMainWindowAdb::AtResetModule() {
    return m_dlg.At().ResetModule();
}
int CMainWindowAdb::AtHideAdb() {
    return m_dlg.At().HideAdb();
}
void CMainWindowAdb::OnBtnScanPort() {
    m_dlg.OnBtnScanPort();
}
void CMainWindowAdb::ArmAdbTimeout() {
    m_dlg.SetTimer(TIMER_ADB_TIMEOUT, TIMER_ADB_TIMEOUT_MS);
}
void CMainWindowAdb::DisarmAdbTimeout() {
    m_dlg.KillTimer(TIMER_ADB_TIMEOUT);
}
adb::HTHREAD CMainWindowAdb::StartWorker(fw::CWorkerThread::Body body) {
    return m_dlg.Workers().StartWorker(std::move(body));
}
adb::HTHREAD CMainWindowAdb::StartPushWorker(fw::CWorkerThread::Body body) {
    adb::HTHREAD worker = m_dlg.Workers().StartWorker(std::move(body));
    if (worker) {
        m_dlg.RunOnWindowThread([this, worker] { m_hPushThread = worker; });
        m_bPushWorkerStarted = 1;
    }
    return worker;
}
int CMainWindowAdb::PendingPush() {
    return m_dlg.Session().PendingPush();
}
void CMainWindowAdb::SetPendingPush(int pending) {
    m_dlg.Session().SetPendingPush(pending);
}

}  // namespace marlinq
