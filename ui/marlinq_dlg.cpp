// CMarlinqDlg: construction, message map, initialisation, system menu, keys, tabs, help, shutdown.
#include "ui/marlinq_dlg.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "discovery/at_port.h"
#include "framework/window_thread.h"
#include "platform/app_directory.h"
#include "platform/data_directory.h"
#include "platform/desktop_open.h"
#include "ui/about_dlg.h"
#include "ui/help_file.h"
#include "ui/strings.h"

namespace marlinq {

CMarlinqDlg::CMarlinqDlg(fw::CWindowThread& thread)
    : fw::CDialog(IDD_MARLINQ_DIALOG, thread),
      m_dlgTcpMode(this),
      m_dlgModBusMode(this),
      m_dlgHttpsMode(this),
      m_dlgMqttMode(this),
      m_mainControls(*this),
      m_pageControls{std::make_unique<fw::CDialogControlAccess>(m_dlgTcpMode),
                     std::make_unique<fw::CDialogControlAccess>(m_dlgModBusMode),
                     std::make_unique<fw::CDialogControlAccess>(m_dlgHttpsMode),
                     std::make_unique<fw::CDialogControlAccess>(m_dlgMqttMode)},
      m_atClient(
          atlink::AtClientDeps{m_serialPort, m_bAutoPort, [] { return FindAtPortNumber(); }, LogSink()}),
      m_configXml(
          {m_mainControls, *m_pageControls[MODE_PAGE_TCP], *m_pageControls[MODE_PAGE_MQTT]}, LogSink(),
          [this](const std::string& text) { MessageBox(text, "Marlinq", fw::MB_OK | fw::MB_ICONWARNING); }),
      m_configCommands(
          m_configXml, [this](const fw::FileDialogRequest& request) { return DoFileDialog(request); },
          LogSink(), platform::GetDataDirectory(),
          [](const std::string& line) {
              std::fprintf(stderr, "%s\n", line.c_str());
              std::fflush(stderr);
          }),
      m_versionReader(m_atClient, LogSink()),
      m_readFlow(m_mainControls, PageControls(MODE_PAGE_TCP), m_atClient, LogSink()),
      m_downloadFlow(
          {m_mainControls, PageControls(MODE_PAGE_TCP), PageControls(MODE_PAGE_MODBUS),
           PageControls(MODE_PAGE_HTTPS), PageControls(MODE_PAGE_MQTT)},
          m_atClient, LogSink(), [this](const std::string& text) { ShowInputWarning(text); },
          [this] { return m_nCurModePage; }) {
    m_strHelpDir = platform::ExecutableDirectory();
    BindControl(IDC_EDIT_LOG, m_editLog);
    BindControl(IDC_TAB_MODES, m_tabSheet);
    BuildMessageMap();
    CreateDiscovery();
    m_adb = std::make_unique<CMainWindowAdb>(*this);
}

CMarlinqDlg::~CMarlinqDlg() {
    // Normally done by OnDestroy; also here for a window that never ran.
    StopThreads();
}

void CMarlinqDlg::BuildMessageMap() {
    auto& map = m_messageMap;
    map.Command(IDC_BTN_GET, [this] { OnBtnGet(); });
    map.Command(IDC_BTN_DOWNLOAD, [this] { OnBtnDownload(); });
    map.Command(IDC_BTN_SCAN_PORT, [this] { OnBtnScanPort(); });
    map.Command(IDC_BTN_IMPORT_XML, [this] { OnBtnImportXml(); });
    map.Command(IDC_BTN_SAVE, [this] { OnBtnSave(); });
    map.Command(IDC_BTN_READ_EXT, [this] { ReadExtendedParams(); });
    map.Command(IDC_BTN_SET_EXT, [this] { DownloadExtendedParams(); });
    map.Command(IDC_BTN_RESET_DTU, [this] { OnBtnResetDtu(); });
    map.Command(IDC_BTN_FACTORY_RESET, [this] { OnBtnFactoryReset(); });
    map.Command(IDC_BTN_XML_SELECT, [this] { OnBtnXmlSelect(); });
    map.Command(IDC_BTN_XML_DOWNLOAD, [this] { OnBtnXmlDownload(); });
    map.Command(IDC_BTN_HELP, [this] { OnBtnHelp(); });
    map.Command(IDC_BTN_OPEN_PORT, [this] { OnBtnOpenPort(); });
    map.Command(IDC_BTN_SEND, [this] { OnBtnSend(); });
    map.Command(IDC_BTN_CSQ, [this] { OnBtnCsq(); });
    map.Command(IDC_BTN_NETWORK, [this] { OnBtnNetwork(); });
    map.Command(IDC_BTN_SIMCARD, [this] { OnBtnSimCard(); });
    map.Command(IDC_BTN_DTUCFG, [this] { OnBtnDtuCfg(); });
    map.Command(IDC_CHK_IMSI_REGISTER, [] {});  // the hidden check box has no behaviour
    map.Command(ID_ADB_PUSH_XML, [this] { OnAdbPushXml(); });
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

    InitParameterControls();
    m_mainControls.SetIcon(IDC_STATIC_PORT_ICON, m_hIconPortClosed);

    m_tabSheet.AppendPage(&m_dlgTcpMode, IDD_TCP_MODE, "TCP/UDP Mode");
    m_tabSheet.AppendPage(&m_dlgModBusMode, IDD_MODBUS_MODE, "MODBUS Mode");
    m_tabSheet.AppendPage(&m_dlgHttpsMode, IDD_HTTPS_MODE, "HTTPS Mode");
    m_tabSheet.AppendPage(&m_dlgMqttMode, IDD_MQTT_MODE, "MQTT Mode");
    m_tabSheet.CreatePages();
    m_nCurModePage = MODE_PAGE_TCP;

    EnumRegistryPorts();
    FillPortList();
    LoadStartupConfig();
    ReportTrafficLogProblem();
    AddLog("Scanning equipments...");
    SetTimer(TIMER_START_SCAN, TIMER_START_SCAN_MS);

    // Wait here for the first tick of the start timer, handling whatever else arrives meanwhile.
    // The wait blocks instead of polling, so the thread does not spin while it waits.
    fw::CWindowThread& thread = Thread();
    for (;;) {
        thread.WaitMessage();
        fw::MSG msg;
        if (!thread.Peek(msg)) {
            if (thread.IsClosed()) {
                break;
            }
            continue;
        }
        if (PreTranslateMessage(msg)) {
            continue;
        }
        if (msg.message == fw::WM_TIMER) {
            KillTimer(TIMER_START_SCAN);
            StartScanThreads();
            thread.Dispatch(msg);
            break;
        }
        thread.Dispatch(msg);
    }
    return fw::TRUE;
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
        OnAdbTimeout();
    }
    fw::CDialog::OnTimer(id);
}

void CMarlinqDlg::OnDestroy() {
    fw::CDialog::OnDestroy();
    StopThreads();
    SaveConfigOnExit();
}

}  // namespace marlinq
