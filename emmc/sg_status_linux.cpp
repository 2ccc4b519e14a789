#include "sg_status_linux.h"

#include <algorithm>

namespace tarnwick {
namespace {

constexpr std::uint16_t kDriverErrorMask = 0x0F;  // the DRIVER_* code; the upper bits are suggestions
constexpr std::uint16_t kDriverSense = 0x08;      // sense data was returned: not an error in itself

}  // namespace

ScsiResult ClassifySgCompletion(std::uint8_t scsiStatus, std::uint16_t hostStatus, std::uint16_t driverStatus,
                                std::size_t senseWritten, std::size_t senseCapacity) {
    ScsiResult result;
    result.status = scsiStatus;
    result.senseLength = std::min(senseWritten, senseCapacity);
    const std::uint16_t driverError = driverStatus & kDriverErrorMask;
    if (hostStatus != 0 || (driverError != 0 && driverError != kDriverSense)) {
        result.outcome = ScsiOutcome::kTransportFailed;
    } else if (scsiStatus != 0) {
        result.outcome = ScsiOutcome::kDeviceRejected;
    } else {
        result.outcome = ScsiOutcome::kGood;
    }
    return result;
}

}  // namespace tarnwick
