// The port list (combo box 1052) and the manual port toggled by button 1054.
//
// The main window owns one ManualPortPanel and routes to it: the port toggle, its device-change
// message and, from the Reset DTU worker, CloseManualPort. AT command wrappers that use the manual
// port take m_serialPort.LockTransaction() and then check m_bAutoPort, so the port is never
// closed under a transaction.
#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "atlink/serial_port.h"
#include "platform/present_devices.h"

namespace discovery {

inline constexpr int kPortCombo = 1052;
inline constexpr int kPortToggle = 1054;
inline constexpr int kPortIcon = 1055;
inline constexpr int kIconPortClosed = 130;
inline constexpr int kIconPortOpen = 131;
// The buttons that need a port: Get, Download and the AT console.
inline constexpr int kPortButtons[5] = {1033, 1034, 1043, 1044, 1046};
// The arrival name is held in a buffer of this many bytes, terminator included.
inline constexpr std::size_t kArrivalNameBytes = 10;

// The controls the panel works on, addressed by control id. Window thread only.
class IDialogControls {
  public:
    virtual ~IDialogControls() = default;
    virtual void ResetContent(int comboId) = 0;
    virtual void AddString(int comboId, const std::string& text) = 0;  // appended at the end
    virtual int GetCount(int comboId) const = 0;
    virtual std::string GetLBText(int comboId, int index) const = 0;
    virtual int GetCurSel(int comboId) const = 0;  // -1 when nothing is selected
    virtual void SetCurSel(int comboId, int index) = 0;
    virtual void SetWindowText(int id, const std::string& text) = 0;
    virtual void SetIcon(int staticId, int iconId) = 0;
    virtual void EnableWindow(int id, bool enable) = 0;
};

struct PortSources {
    // Every serial port name ("COMn"); empty: platform::ListSerialPortNames.
    std::function<std::vector<std::string>()> serialPortNames;
    // The present serial devices, nullopt when they cannot be listed;
    // empty: platform::ListPresentSerialDevices.
    std::function<std::optional<std::vector<platform::PresentSerialDevice>>()> presentDevices;
};

struct ManualPortDeps {
    IDialogControls& controls;
    CSerialPort& serialPort;         // m_serialPort
    std::atomic<BOOL>& autoPort;     // m_bAutoPort
    std::atomic<BOOL>& deviceReady;  // m_bDeviceReady
    std::function<void(const std::string&)> addLog;
    std::function<void(std::function<void()>)> postToWindow;  // queue to the window thread
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
    // Returns to the automatic port when a manual port is open. Any thread: the control changes
    // are posted to the window thread.
    void CloseManualPort();
    // The device-change message. name is the port name of a port notice (may be null).
    void HandleDeviceChange(unsigned event, unsigned devType, const char* name);

    const std::vector<std::string>& RegistryPorts() const { return m_arrRegistryPorts; }
    int ManualPort() const { return m_nManualPort.load(); }

  private:
    void EnablePortButtons(bool enable);

    ManualPortDeps m_deps;
    std::vector<std::string> m_arrRegistryPorts;
    std::atomic<int> m_nManualPort{1};
};

}  // namespace discovery
