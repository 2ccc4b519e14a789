// Turns the virtual device files into device-change notices: each look compares the devices now
// with those of the last look and reports removals, then arrivals. Shared by the notice monitors
// of every OS, which look whenever the directory may have changed.
#pragma once

#include <map>
#include <string>

#include "platform/device_change.h"

namespace platform {

class VirtualDeviceChanges {
  public:
    // Takes the devices present now as the starting point; they are not reported.
    void Reset();
    // Reports every change since the last look through callback.
    void Report(const DeviceChangeMonitor::Callback& callback);

  private:
    struct Entry {
        int com = 0;
        bool adb = false;
        bool operator==(const Entry&) const = default;
    };
    using Snapshot = std::map<std::string, Entry>;
    static Snapshot Take();
    static DeviceChange ChangeFor(unsigned event, const Entry& entry);

    Snapshot m_snapshot;
};

}  // namespace platform
