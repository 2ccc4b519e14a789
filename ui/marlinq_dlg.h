// CMarlinqDlg: the tool's main window and its controller. It owns the state the flows share, the
// log pane, and the routing of every button, menu command, timer and posted command.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "atlink/serial_port.h"
#include "discovery/device_scanner.h"
#include "discovery/manual_port.h"
#include "framework/control.h"
#include "framework/dialog.h"
#include "framework/worker_thread.h"
#include "platform/device_change.h"
#include "ui/mode_pages.h"
#include "ui/resource.h"
#include "ui/tab_sheet.h"

namespace marlinq {

using HTHREAD = std::shared_ptr<fw::CWorkerThread>;

// Set when a push worker was started and not yet ended by the ADB time-out.
extern std::atomic<int> g_bPushWorkerStarted;

// WM_ADDLOG: the word parameter points to a NUL-terminated text to be logged.
constexpr fw::UINT WM_ADDLOG = fw::WM_USER + 200;

class CMarlinqDlg : public fw::CDialog {
  public:
    explicit CMarlinqDlg(fw::CWindowThread& thread);
    ~CMarlinqDlg() override;

    // Appends text and CR LF to the log pane and scrolls to its end. Any thread; lines land whole
    // and in call order, and the pane is updated on the window thread.
    void AddLog(const std::string& text);
    // AddLog for a worker: dropped once the worker has been aborted.
    void AddLogFromWorker(const fw::CWorkerThread& worker, const std::string& text);
    // Runs fn on the window thread for a worker, unless the worker has been aborted by then.
    void PostFromWorker(const HTHREAD& worker, std::function<void()> fn);

    // Events that set the enable state of the operation buttons. Any thread.
    enum class DeviceEvent { ScanRestarted, NotReady, Ready, ManualPortOpened, ManualPortClosed };
    void SetOperationButtons(DeviceEvent event);

    // Restarts the device scan. Any thread.
    void OnBtnScanPort();

    // Starts a worker of this window; nullptr once the window is shutting down.
    HTHREAD StartWorker(fw::CWorkerThread::Body body);
    // Ends the push worker at the ADB time-out: it logs nothing more and changes no state.
    void AbortWorker(const HTHREAD& worker);

    void OnBtnResetDtu();
    void ResetThreadProc(fw::CWorkerThread& self);
    void OnBtnHelp();
    fw::LRESULT OnTabSelChange();
    int OnQueryDragIcon() const { return m_hIcon; }
    void InitParameterControls();

    // Operations that later parts of the tool supply; each logs its own name until then.
    virtual void StartScanThreads();
    virtual void WakeScanner();

    // AT command wrappers: each picks the port (the hand-opened one while m_bAutoPort is 0,
    // else the AT port found now) and returns the command's result unchanged.
    fw::BOOL AtSetDtuCfg(const std::string& strArg);
    fw::BOOL AtSetMultiSockCfg(const std::string& strArg);
    fw::BOOL AtSetModbusCfg(const std::string& strArg);
    fw::BOOL AtSetModbusCmd(const std::string& strArg);
    fw::BOOL AtSetDtuMode(const std::string& strArg);
    fw::BOOL AtSetHost(const std::string& strArg);
    fw::BOOL AtSetMqttCfg(const std::string& strArg);
    fw::BOOL AtSetSubTopic(const std::string& strArg);
    fw::BOOL AtSetPubTopic(const std::string& strArg);
    fw::BOOL AtSetCnmp(const std::string& strArg);
    fw::BOOL AtSetAuth(const std::string& strArg);
    fw::BOOL AtSetApn(const std::string& strArg);
    std::string AtQueryDtuCfg();
    std::string AtQueryCnmp();
    std::string AtQueryAuth();
    std::string AtQueryApn();
    fw::BOOL AtClearAuth();
    virtual fw::BOOL AtResetModule();
    virtual std::string AtQueryCimi();
    int AtQueryAdb();  // 0 no AT port, 1 ADB off or not reported, 2 ADB on
    fw::BOOL AtEnableAdb();
    fw::BOOL AtHideAdb();
    // The AT console: sends command to the AT port and logs the echoed command and the answer.
    void QuickQuery(const std::string& command);
    virtual void CloseManualPort();
    virtual void EnumRegistryPorts();
    virtual void FillPortList();
    virtual void LoadStartupConfig();
    virtual void SaveConfigOnExit();
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

    // State shared by the flows. The flags are single words, read and written whole.
    int m_hIcon = IDR_MAINFRAME;
    int m_hIconPortOpen = 0;
    int m_hIconPortClosed = 0;
    std::string m_strLog;  // window thread
    fw::CEdit m_editLog;
    int m_nCurModePage = 0;
    std::atomic<int> m_bAutoPort{1};
    CSerialPort m_serialPort;  // the manually opened port
    std::atomic<int> m_bDeviceReady{0};
    std::atomic<int> m_bNotReadyLogged{0};
    std::atomic<int> m_bStopThreads{0};
    std::atomic<int> m_bPendingPush{0};
    HTHREAD m_hScanThread;  // with m_hScanStartEvent, set by StartScanThreads
    HTHREAD m_hResetThread;
    HTHREAD m_hPushThread;
    // Program that opens the help file; empty for the desktop's own opener.
    std::string m_strHelpOpener;

    CTabSheet m_tabSheet;
    CDlgTCPMode m_dlgTcpMode;
    CDlgModBusMode m_dlgModBusMode;
    CDlgHTTPSMode m_dlgHttpsMode;
    CDlgMQTTMode m_dlgMqttMode;

  protected:
    fw::BOOL OnInitDialog() override;
    void OnTimer(fw::UINT id) override;
    void OnSysCommand(fw::UINT id, fw::LPARAM lParam) override;
    void OnDestroy() override;
    fw::BOOL PreTranslateMessage(fw::MSG& msg) override;

    void LogStub(const char* name);

  private:
    void BuildMessageMap();
    void FlushLog();
    void StopThreads();
    void OnAdbTimeout();

    void CreateDiscovery();

    std::unique_ptr<discovery::DeviceScanner> m_scanner;
    std::unique_ptr<discovery::IDialogControls> m_portControls;
    std::unique_ptr<discovery::ManualPortPanel> m_portPanel;
    platform::DeviceChangeMonitor m_deviceMonitor;

    std::mutex m_logMutex;
    std::string m_pendingLog;
    bool m_logFlushPosted = false;
    std::mutex m_workersMutex;
    std::vector<HTHREAD> m_workers;
};

}  // namespace marlinq
