// The process-wide device: the transport in use, the handle of the open drive and the buffer that
// receives the data of commands sent without a caller buffer. No lock: one command at a time.
#pragma once

#include <array>
#include <cstdint>

#include "scsi_transport.h"

namespace tarnwick {

inline constexpr std::uint32_t kSectorSize = 512;

// The platform's transport, defined by the OS backend.
ScsiTransport& PlatformTransport();

// The transport that commands use: the platform's unless one was installed.
ScsiTransport& Transport();
// Installs a transport in place of the platform's (null restores it). Closes nothing.
void InstallTransport(ScsiTransport* transport);

DeviceHandle CurrentDevice();
void SetCurrentDevice(DeviceHandle handle);

std::array<std::uint8_t, kSectorSize>& DefaultDataBuffer();

}  // namespace tarnwick
