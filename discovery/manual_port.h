// The port list and the manual port toggled by the port button.
//
// The main window owns one ManualPortPanel, hands it the ids of the panel's controls, and routes
// to it: the port toggle, its device-change message and, from the Reset DTU worker,
// CloseManualPort. The panel reports a port opened or closed by the toggle through onEvent; the
// window decides what that does to its buttons. The AT client takes m_serialPort's transaction
// lock and then checks m_bAutoPort, so the port is never closed under a transaction.
#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "atlink/at_serial_port.h"
#include "discovery/device_events.h"
#include "framework/control_access.h"
#include "platform/present_devices.h"

namespace discovery {

// The arrival name is held in a buffer of this many bytes, terminator included.
inline constexpr std::size_t kArrivalNameBytes = 10;

// The panel's controls and icons, handed in by the window that shows them.
struct PortPanelIds {
    int portCombo;   // the port list
    int toggle;      // the open/close button
    int icon;        // the static showing the port state
    int iconOpen;    // shown while a port is open by hand
    int iconClosed;  // shown otherwise
};

struct PortSources {
    // Every serial port name ("COMn"); empty: platform::ListSerialPortNames.
    std::function<std::vector<std::string>()> serialPortNames;
    // The present serial devices, nullopt when they cannot be listed;
    // empty: platform::ListPresentSerialDevices.
    std::function<std::optional<std::vector<platform::PresentSerialDevice>>()> presentDevices;
};

struct ManualPortDeps {
    fw::IControlAccess& controls;  // the dialog that holds the panel
    PortPanelIds ids;
    atlink::CSerialPort& serialPort;      // m_serialPort
    std::atomic<atlink::BOOL>& autoPort;  // m_bAutoPort
    std::function<void(const std::string&)> addLog;
    DeviceEventSink onEvent;  // ManualPortOpened, ManualPortClosed
    PortSources sources;
};

class ManualPortPanel {
  public:
    explicit ManualPortPanel(ManualPortDeps deps);

    void EnumRegistryPorts();
    // Adds the entries of the present ports in sorted order and selects the first. The combo box
    // is empty before the call. Nothing is added when the devices cannot be listed.
    void FillPortList();
    void RefreshPortList();
    void SelectManualPort();
    void OnBtnOpenPort();
    // Returns to the automatic port when a manual port is open; reports no event (the buttons stay
    // as they are). Any thread: the control changes take effect on the window thread.
    void CloseManualPort();
    // The device-change message. name is the port name of a port notice (may be null).
    void HandleDeviceChange(unsigned event, unsigned devType, const char* name);

    int ManualPort() const { return m_nManualPort.load(); }

  private:
    ManualPortDeps m_deps;
    std::vector<std::string> m_arrRegistryPorts;
    std::atomic<int> m_nManualPort{1};
};

}  // namespace discovery
