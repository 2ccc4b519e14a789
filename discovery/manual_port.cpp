#include "discovery/manual_port.h"

#include <cstring>

#include "discovery/port_list.h"
#include "platform/device_change.h"

namespace discovery {

using atlink::BOOL;
using atlink::FALSE;
using atlink::TRUE;

namespace {

constexpr std::size_t kMaxRegistryNameBytes = 255;

// The comma is the full-width one (U+FF0C), in UTF-8 as every text of the Linux build.
constexpr const char* kOpenFailedFormat =
    "Port %d open failed\xEF\xBC\x8C"
    "Please check whether the port occupied!";

std::string TrimRight(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' ||
                             text.back() == '\n' || text.back() == '\v' || text.back() == '\f')) {
        text.pop_back();
    }
    return text;
}

std::string PortLine(const char* format, int port) {
    std::string text = format;
    text.replace(text.find("%d"), 2, std::to_string(port));
    return text;
}

}  // namespace

ManualPortPanel::ManualPortPanel(ManualPortDeps deps) : m_deps(std::move(deps)) {
    if (!m_deps.addLog) {
        m_deps.addLog = [](const std::string&) {};
    }
    if (!m_deps.onEvent) {
        m_deps.onEvent = [](DeviceEvent) {};
    }
    if (!m_deps.sources.serialPortNames) {
        m_deps.sources.serialPortNames = [] { return platform::ListSerialPortNames(); };
    }
    if (!m_deps.sources.presentDevices) {
        m_deps.sources.presentDevices = [] {
            return std::optional<std::vector<platform::PresentSerialDevice>>(
                platform::ListPresentSerialDevices());
        };
    }
}

void ManualPortPanel::EnumRegistryPorts() {
    m_arrRegistryPorts.clear();
    for (auto name : m_deps.sources.serialPortNames()) {
        if (name.size() > kMaxRegistryNameBytes) {
            name.resize(kMaxRegistryNameBytes);
        }
        m_arrRegistryPorts.push_back(std::move(name));
    }
}

void ManualPortPanel::FillPortList() {
    const auto devices = m_deps.sources.presentDevices();
    if (!devices) {
        return;
    }
    std::vector<std::string> friendlyNames;
    for (const auto& dev : *devices) {
        friendlyNames.push_back(dev.friendly);
    }
    const auto entries = BuildPortList(friendlyNames, m_arrRegistryPorts);
    for (const auto& entry : entries) {
        m_deps.controls.AddString(m_deps.ids.portCombo, entry);
    }
    if (!entries.empty()) {
        m_deps.controls.SetCurSel(m_deps.ids.portCombo, 0);
    }
}

void ManualPortPanel::RefreshPortList() {
    m_deps.controls.ResetContent(m_deps.ids.portCombo);
    EnumRegistryPorts();
    FillPortList();
    SelectManualPort();
}

void ManualPortPanel::SelectManualPort() {
    const std::string key = "COM" + std::to_string(m_nManualPort.load());
    const int count = m_deps.controls.GetCount(m_deps.ids.portCombo);
    for (int i = 0; i < count; ++i) {
        if (TrimRight(m_deps.controls.GetLBText(m_deps.ids.portCombo, i)).find(key) != std::string::npos) {
            m_deps.controls.SetCurSel(m_deps.ids.portCombo, i);
            return;
        }
    }
    if (!m_deps.autoPort.load()) {
        OnBtnOpenPort();  // the manual port is gone from the list: close it
    }
}

void ManualPortPanel::OnBtnOpenPort() {
    auto lock = m_deps.serialPort.LockTransaction();
    const BOOL nowAuto = m_deps.autoPort.load() ? FALSE : TRUE;
    m_deps.autoPort.store(nowAuto);
    if (nowAuto) {
        m_deps.serialPort.ClosePort();
        lock.unlock();
        m_deps.controls.SetWindowText(m_deps.ids.toggle, "Open Port");
        m_deps.addLog(PortLine("Port %d closed!", m_nManualPort.load()));
        m_deps.controls.SetIcon(m_deps.ids.icon, m_deps.ids.iconClosed);
        m_deps.onEvent(DeviceEvent::ManualPortClosed);
        return;
    }
    const int selected = m_deps.controls.GetCurSel(m_deps.ids.portCombo);
    if (selected >= 0 && selected < m_deps.controls.GetCount(m_deps.ids.portCombo)) {
        m_nManualPort.store(PortNumberFromEntry(m_deps.controls.GetLBText(m_deps.ids.portCombo, selected)));
    }
    const int port = m_nManualPort.load();
    if (m_deps.serialPort.OpenPort(port)) {
        lock.unlock();
        m_deps.controls.SetWindowText(m_deps.ids.toggle, "Close Port");
        m_deps.controls.SetIcon(m_deps.ids.icon, m_deps.ids.iconOpen);
        m_deps.addLog(PortLine("Port %d opened!", port));
        m_deps.onEvent(DeviceEvent::ManualPortOpened);
        return;
    }
    m_deps.autoPort.store(TRUE);
    lock.unlock();
    m_deps.controls.SetWindowText(m_deps.ids.toggle, "Open Port");
    m_deps.addLog(PortLine(kOpenFailedFormat, port));
    m_deps.controls.SetIcon(m_deps.ids.icon, m_deps.ids.iconClosed);
    m_deps.onEvent(DeviceEvent::ManualPortClosed);
}

void ManualPortPanel::CloseManualPort() {
    {
        // Waits for a transaction on the port to end, so the port is never closed under it.
        auto lock = m_deps.serialPort.LockTransaction();
        if (m_deps.autoPort.load()) {
            return;
        }
        m_deps.autoPort.store(TRUE);
        m_deps.serialPort.ClosePort();
    }
    m_deps.controls.SetWindowText(m_deps.ids.toggle, "Open Port");
    m_deps.addLog(PortLine("Port %d Closed!", m_nManualPort.load()));
    m_deps.controls.SetIcon(m_deps.ids.icon, m_deps.ids.iconClosed);
}

void ManualPortPanel::HandleDeviceChange(unsigned event, unsigned devType, const char* name) {
    if (devType != platform::kDevTypePort) {
        return;
    }
    if (event == platform::kDeviceArrival) {
        char buffer[kArrivalNameBytes] = {};
        const std::size_t length = name != nullptr ? strnlen(name, kArrivalNameBytes) : 0;
        std::memcpy(buffer, name != nullptr ? name : "", std::min(length, kArrivalNameBytes - 1));
        // A name that does not fit the buffer refreshes the list anyway: the cut name could lose
        // the digits that tell a real port, and a needless refresh costs nothing.
        if (length >= kArrivalNameBytes || PortNumberFromName(buffer) != 0) {
            RefreshPortList();
        }
    } else if (event == platform::kDeviceRemoveComplete) {
        RefreshPortList();
    }
}

}  // namespace discovery
