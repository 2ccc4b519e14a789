// The main window's share of device discovery: the scanner, the port list with the manual port,
// and the device-change notices that keep both current.
#include "ui/marlinq_dlg.h"

#include "discovery/device_presence.h"

namespace marlinq {

void CMarlinqDlg::CreateScanner() {
    discovery::ScannerCallbacks callbacks;
    callbacks.addLog = m_logPane.Sink();
    callbacks.onEvent = [this](DeviceEvent event) { OnDeviceEvent(event); };
    callbacks.readVersions = [this] {
        if (m_bScanReadsVersions) {
            ReadVersions();
        }
    };
    callbacks.findAtPort = [this] { return m_session.FindAtPort(); };
    // A pinned port is there when it answers "AT"; the first one opens it for good.
    callbacks.isModulePresent = [this] {
        return m_session.PinnedPort() > 0 ? m_session.At().ProbeAt() : discovery::IsModulePresent();
    };
    m_scanner = std::make_unique<discovery::DeviceScanner>(
        std::move(callbacks), discovery::ScannerFlags{m_session.PendingPushFlag(), m_workers.StopFlag(),
                                                      m_session.NotReadyLoggedFlag()});
}

void CMarlinqDlg::PinSession(int com, bool readVersions) {
    m_session.PinPort(com);
    m_bScanReadsVersions = readVersions;
}

void CMarlinqDlg::CreateDiscovery() {
    auto onEvent = [this](DeviceEvent event) { OnDeviceEvent(event); };
    CreateScanner();

    const discovery::PortPanelIds ids{IDC_COMBO_PORT, IDC_BTN_OPEN_PORT, IDC_STATIC_PORT_ICON, IDI_PORT_OPEN,
                                      IDI_PORT_CLOSED};
    m_portPanel =
        std::make_unique<discovery::ManualPortPanel>(discovery::ManualPortDeps{m_mainControls,
                                                                               ids,
                                                                               m_session.ManualPort(),
                                                                               m_session.AutoPortFlag(),
                                                                               m_logPane.Sink(),
                                                                               onEvent,
                                                                               {}});
}

void CMarlinqDlg::StartScanThreads() {
    if (m_scanner->Started()) {
        return;
    }
    // Notices reach the window thread as its device-change message; the scanner hears of them at
    // once, so a module that is plugged in is announced without waiting out a pause.
    m_deviceMonitor.Start([this](const platform::DeviceChange& change) {
        RunOnWindowThread([this, change] {
            m_portPanel->HandleDeviceChange(change.event, change.devType,
                                            change.name.empty() ? nullptr : change.name.c_str());
        });
        m_scanner->NotifyDeviceChange();
    });
    m_scanner->StartScanThreads();
}

void CMarlinqDlg::WakeScanner() {
    m_scanner->Wake();
}

void CMarlinqDlg::OnBtnScanPort() {
    OnDeviceEvent(DeviceEvent::ScanRestarted);
    m_session.SetNotReadyLogged(0);
    AddLog("Scanning equipments...");
    WakeScanner();
}

}  // namespace marlinq
