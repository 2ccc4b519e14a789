// The main window's share of device discovery: the scanner, the port list with the manual port,
// and the device-change notices that keep both current.
#include "ui/marlinq_dlg.h"

namespace marlinq {

void CMarlinqDlg::CreateDiscovery() {
    auto onEvent = [this](DeviceEvent event) { OnDeviceEvent(event); };

    discovery::ScannerCallbacks callbacks;
    callbacks.addLog = LogSink();
    callbacks.onEvent = onEvent;
    callbacks.readVersions = [this] { ReadVersions(); };
    m_scanner = std::make_unique<discovery::DeviceScanner>(
        std::move(callbacks), discovery::ScannerFlags{m_bPendingPush, m_bStopThreads, m_bNotReadyLogged});

    const discovery::PortPanelIds ids{IDC_COMBO_PORT, IDC_BTN_OPEN_PORT, IDC_STATIC_PORT_ICON, IDI_PORT_OPEN,
                                      IDI_PORT_CLOSED};
    m_portPanel = std::make_unique<discovery::ManualPortPanel>(
        discovery::ManualPortDeps{m_mainControls, ids, m_serialPort, m_bAutoPort, LogSink(), onEvent, {}});
}

void CMarlinqDlg::StartScanThreads() {
    if (m_scanner->Started()) {
        return;
    }
    // Notices reach the window thread as its device-change message; the scanner hears of them at
    // once, so a module that is plugged in is announced without waiting out a pause.
    m_deviceMonitor.Start([this](const platform::DeviceChange& change) {
        RunOnWindowThread([this, change] { HandleDeviceChange(change.event, change.devType, change.name); });
        m_scanner->NotifyDeviceChange();
    });
    m_scanner->StartScanThreads();
}

void CMarlinqDlg::WakeScanner() {
    m_scanner->Wake();
}

void CMarlinqDlg::EnumRegistryPorts() {
    m_portPanel->EnumRegistryPorts();
}

void CMarlinqDlg::FillPortList() {
    m_portPanel->FillPortList();
}

void CMarlinqDlg::OnBtnOpenPort() {
    m_portPanel->OnBtnOpenPort();
}

void CMarlinqDlg::CloseManualPort() {
    m_portPanel->CloseManualPort();
}

void CMarlinqDlg::HandleDeviceChange(unsigned event, unsigned devType, const std::string& name) {
    m_portPanel->HandleDeviceChange(event, devType, name.empty() ? nullptr : name.c_str());
}

}  // namespace marlinq
