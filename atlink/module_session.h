// ModuleSession: the state of one module in use and the AT client that talks to it.
//
// What it holds: the port opened by hand (with its transaction lock, see CSerialPort), whether the
// AT port is found automatically (1 while no port is open by hand), whether the module is ready,
// whether the not-ready line was logged for the current scan, whether an ADB flow waits for the
// module to come back (pending push), and how this module's AT port is found now.
//
// The main window owns one and hands it to the flows; a production station runs one per attached
// module. Sessions share nothing: each has its own port, flags, answer ledger and AT client, so
// two sessions may run commands at the same time from different threads, and a fault of one
// module never reaches another's session. The flags are single words, read and written whole from
// any thread.
//
// A session may be pinned to one COM number (a production station that runs one process per
// module): it then never looks for the AT port, and its client runs every command on that port,
// held open from the first command to the session's end (see AtClient).
#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "atlink/at_client.h"
#include "atlink/at_serial_port.h"
#include "atlink/win_types.h"

namespace atlink {

class ModuleSession {
  public:
    // The COM number of this module's AT port as present now; 0 when it is not there.
    using PortFinder = std::function<int()>;
    using LogSink = std::function<void(const std::string&)>;

    // The client logs its port-lookup messages to addLog; a session without a finder never finds
    // an AT port.
    ModuleSession(PortFinder findAtPort, LogSink addLog);
    ModuleSession(const ModuleSession&) = delete;
    ModuleSession& operator=(const ModuleSession&) = delete;

    AtClient& At() { return m_at; }
    int FindAtPort() const {
        const int pinned = m_pinnedCom.load();
        return pinned > 0 ? pinned : m_findAtPort();
    }

    // How the session's AT transactions are paced (atlink/at_pacing.h): its client, its
    // hand-opened port and its pinned port alike. Fixed until set; sessions may differ.
    void SetPacing(Pacing pacing) { m_at.SetPacing(pacing); }
    Pacing GetPacing() const { return m_at.GetPacing(); }

    // Pins the session to COM com (1..99999) before it is used; nothing is opened yet.
    void PinPort(int com) { m_pinnedCom = com; }
    // The COM number the session is pinned to; 0 when it finds its AT port by the lookup.
    int PinnedPort() const { return m_pinnedCom.load(); }
    // The pinned port's object, open while the session holds the port.
    const CSerialPort& PinnedHold() const { return m_pinnedHold; }

    // The hand-opened port and the automatic flag, for the port panel that opens and closes it.
    CSerialPort& ManualPort() { return m_manualPort; }
    std::atomic<BOOL>& AutoPortFlag() { return m_autoPort; }
    // What the scanner reads and writes while it looks for this module.
    std::atomic<BOOL>& NotReadyLoggedFlag() { return m_notReadyLogged; }
    std::atomic<BOOL>& PendingPushFlag() { return m_pendingPush; }

    int AutoPort() const { return m_autoPort.load(); }
    bool ManualPortIsOpen() const { return m_manualPort.IsOpen(); }
    int DeviceReady() const { return m_deviceReady.load(); }
    void SetDeviceReady(int ready) { m_deviceReady = ready; }
    int NotReadyLogged() const { return m_notReadyLogged.load(); }
    void SetNotReadyLogged(int logged) { m_notReadyLogged = logged; }
    int PendingPush() const { return m_pendingPush.load(); }
    // An ADB flow that needs the module again: the next ready pass of the scan continues the push
    // instead of announcing the module.
    void SetPendingPush(int pending) { m_pendingPush = pending; }

  private:
    PortFinder m_findAtPort;
    CSerialPort m_manualPort;
    CSerialPort m_pinnedHold;
    std::atomic<int> m_pinnedCom{0};
    std::atomic<BOOL> m_autoPort{1};
    std::atomic<BOOL> m_deviceReady{0};
    std::atomic<BOOL> m_notReadyLogged{0};
    std::atomic<BOOL> m_pendingPush{0};
    // Last: it refers to the port and the flag above.
    AtClient m_at;
};

}  // namespace atlink
