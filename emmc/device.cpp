#include "device.h"

namespace tarnwick {
namespace {

ScsiTransport* g_installedTransport = nullptr;
DeviceHandle g_device = kNoDevice;
std::array<std::uint8_t, kSectorSize> g_defaultData{};

}  // namespace

ScsiTransport& Transport() {
    return g_installedTransport != nullptr ? *g_installedTransport : PlatformTransport();
}

void InstallTransport(ScsiTransport* transport) {
    g_installedTransport = transport;
}

DeviceHandle CurrentDevice() {
    return g_device;
}

void SetCurrentDevice(DeviceHandle handle) {
    g_device = handle;
}

std::array<std::uint8_t, kSectorSize>& DefaultDataBuffer() {
    return g_defaultData;
}

}  // namespace tarnwick
