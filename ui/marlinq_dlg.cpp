// CMarlinqDlg: construction, message map, initialisation, device events, the AT console's Send,
// system menu, keys, tabs, help, timers and shutdown.
#include "ui/marlinq_dlg.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "discovery/at_port.h"
#include "framework/window_thread.h"
#include "parameters/parameter_controls.h"
#include "platform/app_directory.h"
#include "platform/data_directory.h"
#include "platform/desktop_open.h"
#include "ui/about_dlg.h"
#include "ui/help_file.h"
#include "ui/strings.h"

namespace marlinq {

CMarlinqDlg::CMarlinqDlg(fw::CWindowThread& thread)
    : fw::CDialog(IDD_MARLINQ_DIALOG, thread),
      m_logPane(*this, m_editLog),
      m_dlgTcpMode(this),
      m_dlgModBusMode(this),
      m_dlgHttpsMode(this),
      m_dlgMqttMode(this),
      m_mainControls(*this),
      m_pageControls{std::make_unique<fw::CDialogControlAccess>(m_dlgTcpMode),
                     std::make_unique<fw::CDialogControlAccess>(m_dlgModBusMode),
                     std::make_unique<fw::CDialogControlAccess>(m_dlgHttpsMode),
                     std::make_unique<fw::CDialogControlAccess>(m_dlgMqttMode)},
      m_session([] { return FindAtPortNumber(); }, m_logPane.Sink()),
      m_workers([this](std::function<void()> fn) { RunOnWindowThread(std::move(fn)); }, m_logPane.Sink()),
      m_buttons(m_mainControls, m_session),
      m_configXml(
          {m_mainControls, *m_pageControls[MODE_PAGE_TCP], *m_pageControls[MODE_PAGE_MQTT]}, m_logPane.Sink(),
          [this](const std::string& text) { MessageBox(text, "Marlinq", fw::MB_OK | fw::MB_ICONWARNING); }),
      m_configCommands(
          m_configXml, [this](const fw::FileDialogRequest& request) { return DoFileDialog(request); },
          m_logPane.Sink(), platform::GetDataDirectory(),
          [](const std::string& line) {
              std::fprintf(stderr, "%s\n", line.c_str());
              std::fflush(stderr);
          }),
      m_versionReader(m_session.At(), m_logPane.Sink()),
      m_readFlow(m_mainControls, PageControls(MODE_PAGE_TCP), m_session.At(), m_logPane.Sink()),
      m_downloadFlow(
          {m_mainControls, PageControls(MODE_PAGE_TCP), PageControls(MODE_PAGE_MODBUS),
           PageControls(MODE_PAGE_HTTPS), PageControls(MODE_PAGE_MQTT)},
          m_session.At(), m_logPane.Sink(),
          // The modal box of a refused download: caption "\x1bMarlinq", exclamation icon, OK.
          [this](const std::string& text) {
              MessageBox(text, "\x1bMarlinq", fw::MB_OK | fw::MB_ICONEXCLAMATION);
          },
          [this] { return m_nCurModePage; }) {
    m_strHelpDir = platform::ExecutableDirectory();
    BindControl(IDC_EDIT_LOG, m_editLog);
    BindControl(IDC_TAB_MODES, m_tabSheet);
    CreateDiscovery();
    m_adb = std::make_unique<CMainWindowAdb>(*this);
    m_resetDtu = std::make_unique<CResetDtu>(ResetDtuDeps{
        m_workers, m_logPane.Sink(), [this] { return m_session.At().ResetModule() != fw::FALSE; },
        [this] { m_portPanel->CloseManualPort(); }, [this] { OnBtnScanPort(); },
        [this] { return m_session.GetPacing() == atlink::Pacing::Answer; },
        [this] {
            const int pinned = m_session.PinnedPort();
            return pinned > 0 ? IsComPresent(pinned) : m_session.FindAtPort() > 0;
        },
        [this] { return m_session.At().ProbeAt(); }});
    BuildMessageMap();
}

CMarlinqDlg::~CMarlinqDlg() {
    // Normally done by OnDestroy; also here for a window that never ran.
    StopThreads();
}

void CMarlinqDlg::BuildMessageMap() {
    auto& map = m_messageMap;
    auto console = [this](const char* command) {
        return [this, command] { At().SendConsoleCommand(command); };
    };
    map.Command(IDC_BTN_GET, [this] { OnBtnGet(); });
    map.Command(IDC_BTN_DOWNLOAD, [this] { OnBtnDownload(); });
    map.Command(IDC_BTN_SCAN_PORT, [this] { OnBtnScanPort(); });
    map.Command(IDC_BTN_IMPORT_XML, [this] { m_configCommands.OnBtnImportXml(); });
    map.Command(IDC_BTN_SAVE, [this] { m_configCommands.OnBtnSave(); });
    map.Command(IDC_BTN_READ_EXT, [this] { ReadExtendedParams(); });
    map.Command(IDC_BTN_SET_EXT, [this] { DownloadExtendedParams(); });
    map.Command(IDC_BTN_RESET_DTU, [this] { m_resetDtu->OnBtnResetDtu(); });
    map.Command(IDC_BTN_FACTORY_RESET, [this] { m_adb->Commands().OnBtnFactoryReset(); });
    map.Command(IDC_BTN_XML_SELECT, [this] { m_adb->Commands().OnBtnXmlSelect(); });
    map.Command(IDC_BTN_XML_DOWNLOAD, [this] { m_adb->Commands().OnBtnXmlDownload(); });
    map.Command(IDC_BTN_HELP, [this] { OnBtnHelp(); });
    map.Command(IDC_BTN_OPEN_PORT, [this] { m_portPanel->OnBtnOpenPort(); });
    map.Command(IDC_BTN_SEND, [this] { OnBtnSend(); });
    map.Command(IDC_BTN_CSQ, console("AT+CSQ"));
    map.Command(IDC_BTN_NETWORK, console("AT+CPSI?"));
    map.Command(IDC_BTN_SIMCARD, console("AT+CPIN?"));
    map.Command(IDC_BTN_DTUCFG, console("AT+DTUCFG?"));
    map.Command(IDC_CHK_IMSI_REGISTER, [] {});  // the hidden check box has no behaviour
    map.Command(ID_ADB_PUSH_XML, [this] { m_adb->Transfer().OnAdbPushXml(); });
    map.Notify(IDC_TAB_MODES, fw::TCN_SELCHANGE, [this](const fw::NMHDR&) { return OnTabSelChange(); });
    map.Message(WM_ADDLOG, [this](fw::WPARAM wParam, fw::LPARAM) -> fw::LRESULT {
        if (wParam != 0) {
            AddLog(reinterpret_cast<const char*>(wParam));
        }
        return 0;
    });
    // Button 1 "Exit", Escape and the close box end the modal run through the default handlers.
}

fw::BOOL CMarlinqDlg::OnInitDialog() {
    fw::CDialog::OnInitDialog();

    if (fw::CMenu* menu = GetSystemMenu(fw::FALSE)) {
        const std::string help = LoadString(IDS_HELP);
        if (!help.empty()) {
            menu->AppendMenu(fw::CMenu::MF_SEPARATOR);
            menu->AppendMenu(fw::CMenu::MF_STRING, IDM_SYS_HELP, help);
        }
        const std::string about = LoadString(IDS_ABOUTBOX);
        if (!about.empty()) {
            menu->AppendMenu(fw::CMenu::MF_SEPARATOR);
            menu->AppendMenu(fw::CMenu::MF_STRING, IDM_SYS_ABOUT, about);
        }
    }
    SetIcon(m_hIcon, fw::TRUE);
    SetIcon(m_hIcon, fw::FALSE);

    parameters::InitParameterControls(m_mainControls);
    m_mainControls.SetIcon(IDC_STATIC_PORT_ICON, IDI_PORT_CLOSED);

    m_tabSheet.AppendPage(&m_dlgTcpMode, IDD_TCP_MODE, "TCP/UDP Mode");
    m_tabSheet.AppendPage(&m_dlgModBusMode, IDD_MODBUS_MODE, "MODBUS Mode");
    m_tabSheet.AppendPage(&m_dlgHttpsMode, IDD_HTTPS_MODE, "HTTPS Mode");
    m_tabSheet.AppendPage(&m_dlgMqttMode, IDD_MQTT_MODE, "MQTT Mode");
    m_tabSheet.CreatePages();
    m_nCurModePage = MODE_PAGE_TCP;

    m_portPanel->EnumRegistryPorts();
    m_portPanel->FillPortList();
    m_configCommands.LoadStartupConfig();
    m_logPane.ReportTrafficLogProblem();
    AddLog("Scanning equipments...");
    // The window is shown as soon as this returns; the first tick starts the scanner (OnTimer), so
    // the scan's first line always follows it. A pinned session has no module to wait for.
    SetTimer(TIMER_START_SCAN, m_session.PinnedPort() > 0 ? 0 : TIMER_START_SCAN_MS);
    return fw::TRUE;
}

void CMarlinqDlg::OnDeviceEvent(DeviceEvent event) {
    if (event == DeviceEvent::PushPending) {
        // Continues the waiting push on the window thread; the buttons stay as they are.
        PostMessage(fw::WM_COMMAND, fw::MAKEWPARAM(ID_ADB_PUSH_XML, 0), 0);
        return;
    }
    m_buttons.NoteReadiness(event);
    RunOnWindowThread([this, event] { m_buttons.Apply(event); });
}

void CMarlinqDlg::OnBtnSend() {
    const std::string text = GetDlgItemText(IDC_EDIT_AT_COMMAND);
    if (!text.empty()) {
        At().SendConsoleCommand(text);
    }
}

void CMarlinqDlg::OnSysCommand(fw::UINT id, fw::LPARAM lParam) {
    switch (id & 0xFFF0u) {
        case IDM_SYS_ABOUT: {
            CAboutDlg about(this);
            about.DoModal();
            break;
        }
        case IDM_SYS_HELP:
            OnBtnHelp();
            break;
        default:
            fw::CDialog::OnSysCommand(id, lParam);
            break;
    }
}

fw::BOOL CMarlinqDlg::PreTranslateMessage(fw::MSG& msg) {
    if (msg.message == fw::WM_KEYDOWN && msg.wParam == fw::VK_RETURN) {
        // Enter sends the AT command when the command edit has the focus, and never reaches the
        // default button, so it never closes the window.
        if (Thread().FocusWindow() == GetSafeHwnd() && Thread().FocusControl() == IDC_EDIT_AT_COMMAND) {
            OnBtnSend();
        }
        return fw::TRUE;
    }
    return fw::CDialog::PreTranslateMessage(msg);
}

fw::LRESULT CMarlinqDlg::OnTabSelChange() {
    const int sel = m_tabSheet.GetCurSel();
    if (sel >= MODE_PAGE_TCP && sel < MODE_PAGE_COUNT) {
        m_nCurModePage = sel;
    }
    return 0;
}

void CMarlinqDlg::OnBtnHelp() {
    // Without a help file nothing happens and nothing is logged.
    const std::string help =
        ChooseHelpFile(HelpFileCandidates(ThisSystemHelpLayout(), m_strHelpDir), HelpFileExists);
    if (!help.empty()) {
        platform::OpenWithDesktop(help, m_strHelpOpener);
    }
}

void CMarlinqDlg::OnTimer(fw::UINT id) {
    if (id == TIMER_START_SCAN) {
        KillTimer(TIMER_START_SCAN);
        StartScanThreads();
    } else if (id == TIMER_ADB_TIMEOUT) {
        m_adb->OnAdbTimeout();
    }
    fw::CDialog::OnTimer(id);
}

void CMarlinqDlg::OnDestroy() {
    fw::CDialog::OnDestroy();
    StopThreads();
    if (m_saveConfigOnExit) {
        m_configCommands.SaveConfigOnExit();
    }
}

void CMarlinqDlg::StopThreads() {
    m_workers.StopFlag() = 1;
    m_deviceMonitor.Stop();
    if (m_scanner) {
        m_scanner->Stop();  // wakes it so that it sees the stop flag, and joins it
    }
    if (m_adb) {
        m_adb->Transfer().CancelCommands();  // a worker waiting for adb returns at once
    }
    m_workers.StopAll();
    if (m_adb) {
        m_adb->ReleasePushThread();
    }
}

}  // namespace marlinq
