// What the scanner and the manual-port panel report to the main window. The window decides what
// each event does to its controls (which operation buttons it enables), so no control id lives
// here.
#pragma once

#include <functional>

namespace discovery {

enum class DeviceEvent {
    ScanRestarted,     // the scan starts a new episode
    NotReady,          // first absent pass of a scan episode
    Ready,             // the module is present on its AT port (the versions have been read)
    PushPending,       // the module is present and an ADB push waits for it
    ManualPortOpened,  // the operator opened a port by hand
    ManualPortClosed,  // the operator closed the hand-opened port, or it failed to open
};

// Called on the thread that saw the event (the scanner's, or the window's for the panel).
using DeviceEventSink = std::function<void(DeviceEvent)>;

}  // namespace discovery
