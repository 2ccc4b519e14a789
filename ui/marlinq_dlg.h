// CMarlinqDlg: the tool's main window and its controller. It owns the state the flows share, the
// log pane, and the routing of every button, menu command, timer and posted command. It holds no
// logic of the subsystems: each handler forwards to the object that serves it.
//
// How a flow plugs in (parameters, Config.xml, ADB): the flow is a class of its own folder whose
// constructor takes only what it uses, and the window owns one instance and routes to it in one
// line. What the window hands out:
//  - MainControls() and PageControls(MODE_PAGE_...): one fw::IControlAccess per dialog (template
//    102 and the mode pages 132, 134, 135, 133). Flows read and write the parameters there; the
//    controls are the only copy. Control ids come from ui/resource.h, handed in by the window.
//  - At(): the atlink::AtClient, which runs every AT command on the right port (the hand-opened
//    one or the AT port found now) and logs the port-lookup messages; the At... wrappers below
//    forward to it.
//  - LogSink(): AddLog as a function, callable from any thread; lines land whole, in call order.
//  - RunOnWindowThread (fw::CDialog): queues work to the window thread; a worker started with
//    StartWorker / StartPushWorker uses PostFromWorker and AddLogFromWorker, which drop whatever
//    it says once the ADB time-out has aborted it.
//  - OnBtnScanPort, OnDeviceEvent, SetPendingPush and CurModePage for the flows that restart the
//    scan, switch the operation buttons, wait for the module or download the shown page.
// Window-thread flows (Get, Download, Save) are called from their handler; worker flows get the
// same objects and must not block the window thread waiting for them.
#pragma once

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "atlink/at_client.h"
#include "atlink/at_serial_port.h"
#include "configfile/config_commands.h"
#include "configfile/config_xml.h"
#include "discovery/device_events.h"
#include "discovery/device_scanner.h"
#include "discovery/manual_port.h"
#include "framework/control.h"
#include "framework/control_access.h"
#include "framework/dialog.h"
#include "framework/worker_thread.h"
#include "parameters/download_flow.h"
#include "parameters/read_flow.h"
#include "platform/device_change.h"
#include "ui/main_window_adb.h"
#include "ui/mode_pages.h"
#include "ui/resource.h"
#include "ui/tab_sheet.h"

namespace marlinq {

using HTHREAD = std::shared_ptr<fw::CWorkerThread>;

// WM_ADDLOG: the word parameter points to a NUL-terminated text to be logged.
constexpr fw::UINT WM_ADDLOG = fw::WM_USER + 200;

// The mode pages in tab order; also the values of m_nCurModePage.
enum ModePage {
    MODE_PAGE_TCP = 0,
    MODE_PAGE_MODBUS = 1,
    MODE_PAGE_HTTPS = 2,
    MODE_PAGE_MQTT = 3,
    MODE_PAGE_COUNT = 4
};

class CMarlinqDlg : public fw::CDialog {
  public:
    using DeviceEvent = discovery::DeviceEvent;

    explicit CMarlinqDlg(fw::CWindowThread& thread);
    ~CMarlinqDlg() override;

    // Appends text and CR LF to the log pane and scrolls to its end. Any thread; lines land whole
    // and in call order, and the pane is updated on the window thread.
    void AddLog(const std::string& text);
    std::function<void(const std::string&)> LogSink();
    // AddLog for a worker: dropped once the worker has been aborted.
    void AddLogFromWorker(const fw::CWorkerThread& worker, const std::string& text);
    // Runs fn on the window thread for a worker, unless the worker has been aborted by then.
    void PostFromWorker(const HTHREAD& worker, std::function<void()> fn);

    // What the scanner, the port panel and the flows report; the one place that decides which
    // operation buttons each event enables. Any thread: the controls change on the window thread.
    void OnDeviceEvent(DeviceEvent event);

    // Restarts the device scan. Any thread.
    void OnBtnScanPort();

    // Starts a worker of this window; nullptr once the window is shutting down.
    HTHREAD StartWorker(fw::CWorkerThread::Body body);
    // Starts the ADB push worker: it becomes m_hPushThread and the ADB time-out may abort it.
    HTHREAD StartPushWorker(fw::CWorkerThread::Body body);
    // Ends the push worker at the ADB time-out: it logs nothing more and changes no state.
    void AbortWorker(const HTHREAD& worker);

    void OnBtnResetDtu();
    void ResetThreadProc(fw::CWorkerThread& self);
    void OnBtnHelp();
    fw::LRESULT OnTabSelChange();
    int OnQueryDragIcon() const { return m_hIcon; }
    void InitParameterControls();

    // The scanner thread; a test window may hold it back.
    virtual void StartScanThreads();
    virtual void WakeScanner();

    // AT command wrappers: each forwards to the AT client, which picks the port.
    fw::BOOL AtSetDtuCfg(const std::string& strArg) { return m_atClient.SetDtuCfg(strArg); }
    fw::BOOL AtSetMultiSockCfg(const std::string& strArg) { return m_atClient.SetMultiSockCfg(strArg); }
    fw::BOOL AtSetModbusCfg(const std::string& strArg) { return m_atClient.SetModbusCfg(strArg); }
    fw::BOOL AtSetModbusCmd(const std::string& strArg) { return m_atClient.SetModbusCmd(strArg); }
    fw::BOOL AtSetDtuMode(const std::string& strArg) { return m_atClient.SetDtuMode(strArg); }
    fw::BOOL AtSetHost(const std::string& strArg) { return m_atClient.SetHost(strArg); }
    fw::BOOL AtSetMqttCfg(const std::string& strArg) { return m_atClient.SetMqttCfg(strArg); }
    fw::BOOL AtSetSubTopic(const std::string& strArg) { return m_atClient.SetSubTopic(strArg); }
    fw::BOOL AtSetPubTopic(const std::string& strArg) { return m_atClient.SetPubTopic(strArg); }
    fw::BOOL AtSetCnmp(const std::string& strArg) { return m_atClient.SetCnmp(strArg); }
    fw::BOOL AtSetAuth(const std::string& strArg) { return m_atClient.SetAuth(strArg); }
    fw::BOOL AtSetApn(const std::string& strArg) { return m_atClient.SetApn(strArg); }
    std::string AtQueryDtuCfg() { return m_atClient.QueryDtuCfg(); }
    std::string AtQueryCnmp() { return m_atClient.QueryCnmp(); }
    std::string AtQueryAuth() { return m_atClient.QueryAuth(); }
    std::string AtQueryApn() { return m_atClient.QueryApn(); }
    fw::BOOL AtClearAuth() { return m_atClient.ClearAuth(); }
    virtual fw::BOOL AtResetModule() { return m_atClient.ResetModule(); }
    virtual std::string AtQueryCimi() { return m_atClient.QueryCimi(); }
    int AtQueryAdb() { return m_atClient.QueryAdb(); }  // 0 no AT port, 1 ADB off or not reported, 2 ADB on
    fw::BOOL AtEnableAdb() { return m_atClient.EnableAdb(); }
    fw::BOOL AtHideAdb() { return m_atClient.HideAdb(); }
    // The AT console: sends command to the AT port and logs the echoed command and the answer.
    void QuickQuery(const std::string& command) { m_atClient.SendConsoleCommand(command); }

    virtual void CloseManualPort();
    virtual void EnumRegistryPorts();
    virtual void FillPortList();
    // Parameter files: each forwards to the configuration-file commands.
    virtual void LoadStartupConfig();
    virtual void SaveConfigOnExit();
    fw::BOOL SaveXmlConfig(const std::string& path) { return m_configXml.SaveXmlConfig(path); }
    fw::BOOL LoadXmlConfig(const std::string& path) { return m_configXml.LoadXmlConfig(path); }
    // Why the last SaveXmlConfig or LoadXmlConfig failed ("not UTF-8 at byte 2041").
    const std::string& LastConfigFailure() const { return m_configXml.LastFailure(); }
    // Logs that the traffic log cannot be written, when its file is there but not a regular file.
    void ReportTrafficLogProblem();
    virtual void OnBtnGet();
    virtual void OnBtnDownload();
    virtual void OnBtnSave();
    virtual void OnBtnImportXml();
    virtual void ReadExtendedParams();
    virtual void DownloadExtendedParams();
    virtual void OnBtnFactoryReset();
    virtual void OnBtnXmlSelect();
    virtual void OnBtnXmlDownload();
    virtual void OnBtnOpenPort();
    virtual void OnBtnSend();
    virtual void OnBtnCsq();
    virtual void OnBtnNetwork();
    virtual void OnBtnSimCard();
    virtual void OnBtnDtuCfg();
    virtual void OnAdbPushXml();
    // The device-change message: a port or interface arrived or went away (name "COMn" or empty).
    virtual void HandleDeviceChange(unsigned event, unsigned devType, const std::string& name);
    // Reads the module's versions when the scan finds it; runs on the scanner thread.
    virtual void ReadVersions();

    // What the flows are built from (see the top of this file).
    fw::IControlAccess& MainControls() { return m_mainControls; }
    fw::IControlAccess& PageControls(ModePage page) {
        return *m_pageControls[static_cast<std::size_t>(page)];
    }
    atlink::AtClient& At() { return m_atClient; }
    CMainWindowAdb& Adb() { return *m_adb; }
    // The operation buttons in the order in which a push disables them.
    static std::vector<int> OperationButtonIds();

    // How the last Get or Download press ended, what it sent of the values the module reports
    // back, and what the last Get read of them. Window thread.
    const parameters::FlowOutcome& LastFlowOutcome() const { return m_lastFlowOutcome; }
    parameters::ModuleValues SentToModule() const { return m_downloadFlow.Sent(); }
    parameters::ModuleValues ReadFromModule() const { return m_readFlow.Read(); }

    // The shared state, read by flows and tests. The flags are single words, read whole.
    int CurModePage() const { return m_nCurModePage; }
    const std::string& LogText() const { return m_strLog; }  // window thread
    int AutoPort() const { return m_bAutoPort.load(); }
    bool ManualPortIsOpen() const { return m_serialPort.IsOpen(); }
    int DeviceReady() const { return m_bDeviceReady.load(); }
    int NotReadyLogged() const { return m_bNotReadyLogged.load(); }
    int PendingPush() const { return m_bPendingPush.load(); }
    // An ADB flow that needs the module again: the next ready pass of the scan posts
    // ID_ADB_PUSH_XML instead of announcing the module.
    void SetPendingPush(int pending) { m_bPendingPush = pending; }
    int PushWorkerStarted() const { return m_bPushWorkerStarted.load(); }
    HTHREAD PushThread() const { return m_hPushThread; }  // window thread
    CTabSheet& TabSheet() { return m_tabSheet; }
    // Program that opens the help file; empty for the desktop's own opener.
    void SetHelpOpener(const std::string& opener) { m_strHelpOpener = opener; }
    // The folder whose help files Help opens, with its trailing separator; the program's folder
    // unless set.
    void SetHelpDirectory(const std::string& directory) { m_strHelpDir = directory; }

  protected:
    fw::BOOL OnInitDialog() override;
    void OnTimer(fw::UINT id) override;
    void OnSysCommand(fw::UINT id, fw::LPARAM lParam) override;
    void OnDestroy() override;
    fw::BOOL PreTranslateMessage(fw::MSG& msg) override;

  private:
    void BuildMessageMap();
    void FlushLog();
    void StopThreads();
    void OnAdbTimeout();
    void ApplyButtonState(DeviceEvent event);
    // The modal box of a refused download: caption "\x1bMarlinq", exclamation icon, OK.
    void ShowInputWarning(const std::string& text);

    void CreateDiscovery();

    // The state the flows share.
    int m_hIcon = IDR_MAINFRAME;
    int m_hIconPortClosed = IDI_PORT_CLOSED;
    std::string m_strLog;  // window thread
    fw::CEdit m_editLog;
    int m_nCurModePage = MODE_PAGE_TCP;
    std::atomic<int> m_bAutoPort{1};
    atlink::CSerialPort m_serialPort;  // the manually opened port
    std::atomic<int> m_bDeviceReady{0};
    std::atomic<int> m_bNotReadyLogged{0};
    std::atomic<int> m_bStopThreads{0};
    std::atomic<int> m_bPendingPush{0};
    // Set when a push worker was started and not yet ended by the ADB time-out.
    std::atomic<int> m_bPushWorkerStarted{0};
    HTHREAD m_hResetThread;
    HTHREAD m_hPushThread;
    std::string m_strHelpOpener;
    std::string m_strHelpDir;

    CTabSheet m_tabSheet;
    CDlgTCPMode m_dlgTcpMode;
    CDlgModBusMode m_dlgModBusMode;
    CDlgHTTPSMode m_dlgHttpsMode;
    CDlgMQTTMode m_dlgMqttMode;

    // What the window hands to the subsystems.
    fw::CDialogControlAccess m_mainControls;
    std::array<std::unique_ptr<fw::CDialogControlAccess>, MODE_PAGE_COUNT> m_pageControls;
    atlink::AtClient m_atClient;
    configfile::CConfigXml m_configXml;
    configfile::CConfigCommands m_configCommands;
    parameters::VersionReader m_versionReader;
    parameters::ReadFlow m_readFlow;
    parameters::DownloadFlow m_downloadFlow;
    parameters::FlowOutcome m_lastFlowOutcome;
    std::unique_ptr<CMainWindowAdb> m_adb;
    std::unique_ptr<discovery::DeviceScanner> m_scanner;
    std::unique_ptr<discovery::ManualPortPanel> m_portPanel;
    platform::DeviceChangeMonitor m_deviceMonitor;

    std::mutex m_logMutex;
    std::string m_pendingLog;
    bool m_logFlushPosted = false;
    std::mutex m_workersMutex;
    std::vector<HTHREAD> m_workers;
};

}  // namespace marlinq
