// The single path by which every command reaches the device.
#pragma once

#include <cstdint>

#include "scsi_transport.h"

namespace tarnwick {

// Sends one CDB to the drive and returns 0 when the device completed it with status GOOD, -1
// otherwise. Refused before anything is sent: an unusable handle, a null CDB, a CDB length other
// than 6, 10 or 12, a data length that is not a multiple of 512. Without a caller buffer, data in
// lands in the default data buffer (512 bytes) and data out moves nothing.
int SendScsiPassThrough(DeviceHandle handle, const std::uint8_t* cdb, unsigned int cdbLength,
                        std::uint8_t* data, std::uint32_t dataLength, DataDirection direction);

}  // namespace tarnwick
