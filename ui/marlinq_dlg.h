// CMarlinqDlg: the tool's main window. It owns the module session and the parts the flows are
// built from, and routes every button, menu command, timer and posted command to them (its message
// map binds most buttons to their part directly). It holds no logic of the subsystems.
//
// The parts, each a class of its own:
//  - Session(): the atlink::ModuleSession of the module in use: the hand-opened port and its lock,
//    the automatic-port flag, readiness, the pending push, how the AT port is found, and the
//    atlink::AtClient (At()) that runs every AT command on the right port and logs the port-lookup
//    messages. Flows that talk to the module get the session or its client, never the window.
//  - MainControls() and PageControls(MODE_PAGE_...): one fw::IControlAccess per dialog (template
//    102 and the mode pages 132, 134, 135, 133). Flows read and write the parameters there; the
//    controls are the only copy. Control ids come from ui/resource.h, handed in by the window.
//  - the log pane (CLogPane): AddLog from any thread; lines land whole, in call order.
//  - Workers() (fw::CWorkerRegistry): starts the window's worker threads, carries what they post
//    (dropped once the ADB time-out has aborted one) and joins them all at shutdown.
//  - the button policy (CButtonPolicy): which operation buttons each device event enables;
//    OnDeviceEvent is the one entry, from any thread.
//  - the Reset DTU worker (CResetDtu), the ADB side (Adb(): transfer, XML file commands, the push
//    worker and its time-out), the port panel (Ports()), the configuration-file commands and the
//    parameter flows (Get, Download and the extended pair).
// Window-thread flows (Get, Download, Save) are called from their handler; worker flows get the
// same objects and must not block the window thread waiting for them.
//
// Start-up: OnInitDialog builds the controls, loads "Config.xml", logs "Scanning equipments..."
// and arms the start timer; the window is shown as soon as it returns, and the first tick of the
// timer starts the scanner.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "atlink/module_session.h"
#include "configfile/config_commands.h"
#include "configfile/config_xml.h"
#include "discovery/device_events.h"
#include "discovery/device_scanner.h"
#include "discovery/manual_port.h"
#include "framework/control.h"
#include "framework/control_access.h"
#include "framework/dialog.h"
#include "framework/worker_registry.h"
#include "parameters/download_flow.h"
#include "parameters/read_flow.h"
#include "platform/device_change.h"
#include "ui/button_policy.h"
#include "ui/log_pane.h"
#include "ui/main_window_adb.h"
#include "ui/mode_pages.h"
#include "ui/reset_dtu.h"
#include "ui/resource.h"
#include "ui/tab_sheet.h"

namespace marlinq {

using HTHREAD = fw::HTHREAD;

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
    void AddLog(const std::string& text) { m_logPane.AddLog(text); }
    const std::string& LogText() const { return m_logPane.Text(); }  // window thread

    // What the scanner, the port panel and the flows report; the button policy decides which
    // operation buttons each event enables. Any thread: the controls change on the window thread.
    void OnDeviceEvent(DeviceEvent event);
    // Restarts the device scan. Any thread.
    void OnBtnScanPort();
    // Pins the window's session to COM com before the window runs (marlinq-cli --port): the scan
    // starts at once instead of at the start timer, and its pass asks COM com for "AT" instead of
    // looking for the module; it reads the versions when readVersions is set (a command whose
    // flow reads them itself leaves that to the flow).
    void PinSession(int com, bool readVersions);
    // The scanner thread; a test window may hold it back.
    virtual void StartScanThreads();
    virtual void WakeScanner();

    // The parameter buttons; each keeps how it ended for LastFlowOutcome.
    void OnBtnGet();
    void OnBtnDownload();
    void ReadExtendedParams();
    void DownloadExtendedParams();
    // Reads the module's versions when the scan finds it; runs on the scanner thread.
    void ReadVersions();
    // The AT console's Send: the command edit's text to the AT port.
    void OnBtnSend();

    // Parameter files as Import and Save read and write them; LastConfigFailure says why the last
    // one failed ("not UTF-8 at byte 2041").
    fw::BOOL SaveXmlConfig(const std::string& path) { return m_configXml.SaveXmlConfig(path); }
    fw::BOOL LoadXmlConfig(const std::string& path) { return m_configXml.LoadXmlConfig(path); }
    const std::string& LastConfigFailure() const { return m_configXml.LastFailure(); }

    // What the flows are built from (see the top of this file).
    atlink::ModuleSession& Session() { return m_session; }
    atlink::AtClient& At() { return m_session.At(); }
    fw::IControlAccess& MainControls() { return m_mainControls; }
    fw::IControlAccess& PageControls(ModePage page) {
        return *m_pageControls[static_cast<std::size_t>(page)];
    }
    fw::CWorkerRegistry& Workers() { return m_workers; }
    CMainWindowAdb& Adb() { return *m_adb; }
    discovery::ManualPortPanel& Ports() { return *m_portPanel; }
    CTabSheet& TabSheet() { return m_tabSheet; }

    // How the last Get or Download press ended, and what it sent of the values the module reports
    // back. Window thread.
    const parameters::FlowOutcome& LastFlowOutcome() const { return m_lastFlowOutcome; }
    parameters::ModuleValues SentToModule() const { return m_downloadFlow.Sent(); }
    // What the last Get read: the values a download sends (Read), the controls it set from the
    // module (ReadRows; those of failed reads left out) and the IMSI. Window thread.
    const parameters::ReadFlow& LastGet() const { return m_readFlow; }
    int CurModePage() const { return m_nCurModePage; }

    // Whether closing the window saves "Config.xml" into the data directory (the default). A
    // front end whose commands only borrow the window (marlinq-cli's get, convert, ...) turns it
    // off before the window runs, so that the file stays as it was. Window thread, or before Run.
    void SetSaveConfigOnExit(bool save) { m_saveConfigOnExit = save; }

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
    void CreateDiscovery();
    void CreateScanner();
    void StopThreads();
    void OnBtnHelp();
    fw::LRESULT OnTabSelChange();

    int m_hIcon = IDR_MAINFRAME;
    int m_nCurModePage = MODE_PAGE_TCP;
    bool m_bScanReadsVersions = true;
    bool m_saveConfigOnExit = true;
    std::string m_strHelpOpener;
    std::string m_strHelpDir;

    fw::CEdit m_editLog;
    CLogPane m_logPane;
    CTabSheet m_tabSheet;
    CDlgTCPMode m_dlgTcpMode;
    CDlgModBusMode m_dlgModBusMode;
    CDlgHTTPSMode m_dlgHttpsMode;
    CDlgMQTTMode m_dlgMqttMode;

    // What the window hands to the subsystems.
    fw::CDialogControlAccess m_mainControls;
    std::array<std::unique_ptr<fw::CDialogControlAccess>, MODE_PAGE_COUNT> m_pageControls;
    atlink::ModuleSession m_session;
    fw::CWorkerRegistry m_workers;
    CButtonPolicy m_buttons;
    configfile::CConfigXml m_configXml;
    configfile::CConfigCommands m_configCommands;
    parameters::VersionReader m_versionReader;
    parameters::ReadFlow m_readFlow;
    parameters::DownloadFlow m_downloadFlow;
    parameters::FlowOutcome m_lastFlowOutcome;
    std::unique_ptr<CMainWindowAdb> m_adb;
    std::unique_ptr<CResetDtu> m_resetDtu;
    std::unique_ptr<discovery::DeviceScanner> m_scanner;
    std::unique_ptr<discovery::ManualPortPanel> m_portPanel;
    platform::DeviceChangeMonitor m_deviceMonitor;
};

}  // namespace marlinq
