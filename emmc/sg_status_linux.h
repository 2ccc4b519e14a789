// Classifying the completion of an SG_IO request.
#pragma once

#include <cstddef>
#include <cstdint>

#include "scsi_transport.h"

namespace tarnwick {

// host_status != 0 or a driver error other than "sense data present" means the request did not
// complete; otherwise a SCSI status other than GOOD means the device rejected it.
// senseWritten is clamped to senseCapacity.
ScsiResult ClassifySgCompletion(std::uint8_t scsiStatus, std::uint16_t hostStatus, std::uint16_t driverStatus,
                                std::size_t senseWritten, std::size_t senseCapacity);

}  // namespace tarnwick
