// The main window's share of device discovery: the scanner, the port list with the manual port,
// and the device-change notices that keep both current.
#include "framework/control.h"
#include "ui/marlinq_dlg.h"

namespace marlinq {

namespace {

// The port panel's view of the main window's controls, by control id. Window thread only.
class DialogControls : public discovery::IDialogControls {
  public:
    explicit DialogControls(fw::CDialog& dlg) : m_dlg(dlg) {}

    void ResetContent(int comboId) override {
        if (auto* c = Combo(comboId)) {
            c->ResetContent();
        }
    }
    void AddString(int comboId, const std::string& text) override {
        if (auto* c = Combo(comboId)) {
            c->AddString(text);
        }
    }
    int GetCount(int comboId) const override {
        const auto* c = Combo(comboId);
        return c != nullptr ? c->GetCount() : 0;
    }
    std::string GetLBText(int comboId, int index) const override {
        const auto* c = Combo(comboId);
        return c != nullptr ? c->GetLBText(index) : std::string();
    }
    int GetCurSel(int comboId) const override {
        const auto* c = Combo(comboId);
        return c != nullptr ? c->GetCurSel() : -1;
    }
    void SetCurSel(int comboId, int index) override {
        if (auto* c = Combo(comboId)) {
            c->SetCurSel(index);
        }
    }
    void SetWindowText(int id, const std::string& text) override { m_dlg.SetDlgItemText(id, text); }
    void SetIcon(int staticId, int iconId) override {
        if (auto* s = m_dlg.GetItem<fw::CStatic>(staticId)) {
            s->SetIcon(iconId);
        }
    }
    void EnableWindow(int id, bool enable) override {
        if (auto* c = m_dlg.GetDlgItem(id)) {
            c->EnableWindow(enable ? fw::TRUE : fw::FALSE);
        }
    }

  private:
    fw::CComboBox* Combo(int id) const { return m_dlg.GetItem<fw::CComboBox>(id); }

    fw::CDialog& m_dlg;
};

}  // namespace

void CMarlinqDlg::CreateDiscovery() {
    auto addLog = [this](const std::string& text) { AddLog(text); };
    auto post = [this](std::function<void()> task) { RunOnWindowThread(std::move(task)); };

    discovery::ScannerCallbacks callbacks;
    callbacks.addLog = addLog;
    callbacks.postToWindow = post;
    callbacks.enableControl = [this](int id, bool enable) {
        if (auto* c = GetDlgItem(id)) {
            c->EnableWindow(enable ? fw::TRUE : fw::FALSE);
        }
    };
    callbacks.onCommand = [this](int command) { PostMessage(fw::WM_COMMAND, fw::MAKEWPARAM(command, 0), 0); };
    callbacks.readVersions = [this] { ReadVersions(); };
    m_scanner = std::make_unique<discovery::DeviceScanner>(
        std::move(callbacks),
        discovery::ScannerFlags{m_bPendingPush, m_bDeviceReady, m_bStopThreads, m_bNotReadyLogged});

    m_portControls = std::make_unique<DialogControls>(*this);
    m_portPanel = std::make_unique<discovery::ManualPortPanel>(discovery::ManualPortDeps{
        *m_portControls, m_serialPort, m_bAutoPort, m_bDeviceReady, addLog, post, {}});
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
