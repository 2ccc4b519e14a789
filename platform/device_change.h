// Device-change notices: arrival and removal of serial ports (and of other device interfaces),
// delivered to a callback on the monitor's own thread. The main window turns them into its
// device-change message.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace platform {

// Event and device-type codes of the device-change message.
inline constexpr unsigned kDeviceArrival = 0x8000;         // a device arrived
inline constexpr unsigned kDeviceRemoveComplete = 0x8004;  // a device is gone
inline constexpr unsigned kDevTypePort = 3;                // a serial port; name is "COMn"
inline constexpr unsigned kDevTypeInterface = 5;           // another interface (ADB); name is empty

struct DeviceChange {
    unsigned event = 0;
    unsigned devType = 0;
    std::string name;
};

class DeviceChangeMonitor {
  public:
    using Callback = std::function<void(const DeviceChange&)>;

    DeviceChangeMonitor();
    ~DeviceChangeMonitor();  // stops the monitor
    DeviceChangeMonitor(const DeviceChangeMonitor&) = delete;
    DeviceChangeMonitor& operator=(const DeviceChangeMonitor&) = delete;

    // Starts watching; callback runs on the monitor's thread, one notice at a time. False when
    // no source of notices could be opened or the monitor runs already.
    bool Start(Callback callback);
    // Ends the monitor's thread; no callback runs after it returns. Safe to call twice.
    void Stop();

  private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace platform
