#include "platform/virtual_device_changes.h"

#include "platform/virtual_devices.h"

namespace platform {

VirtualDeviceChanges::Snapshot VirtualDeviceChanges::Take() {
    Snapshot snapshot;
    for (const auto& dev : ListVirtualDevices()) {
        snapshot[dev.file] = {dev.com, dev.adb};
    }
    return snapshot;
}

DeviceChange VirtualDeviceChanges::ChangeFor(unsigned event, const Entry& entry) {
    if (entry.adb || entry.com <= 0) {
        return {event, kDevTypeInterface, {}};
    }
    return {event, kDevTypePort, "COM" + std::to_string(entry.com)};
}

void VirtualDeviceChanges::Reset() {
    m_snapshot = Take();
}

void VirtualDeviceChanges::Report(const DeviceChangeMonitor::Callback& callback) {
    Snapshot now = Take();
    for (const auto& [file, entry] : m_snapshot) {
        auto it = now.find(file);
        if (it == now.end() || !(it->second == entry)) {
            callback(ChangeFor(kDeviceRemoveComplete, entry));
        }
    }
    for (const auto& [file, entry] : now) {
        auto it = m_snapshot.find(file);
        if (it == m_snapshot.end() || !(it->second == entry)) {
            callback(ChangeFor(kDeviceArrival, entry));
        }
    }
    m_snapshot = std::move(now);
}

}  // namespace platform
