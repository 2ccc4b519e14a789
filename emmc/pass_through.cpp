#include "pass_through.h"

#include <array>
#include <span>
#include <string>

#include "device.h"
#include "trace_line.h"

namespace tarnwick {
namespace {

constexpr std::size_t kSenseBytes = 32;

bool IsSupportedCdbLength(unsigned int length) {
    return length == 6 || length == 10 || length == 12;
}

}  // namespace

int SendScsiPassThrough(DeviceHandle handle, const std::uint8_t* cdb, unsigned int cdbLength,
                        std::uint8_t* data, std::uint32_t dataLength, DataDirection direction) {
    if (!IsUsableHandle(handle) || cdb == nullptr || !IsSupportedCdbLength(cdbLength)) {
        return -1;
    }
    if (data != nullptr && dataLength % kSectorSize != 0) {
        return -1;
    }
    const std::span<const std::uint8_t> cdbBytes(cdb, cdbLength);
    ScsiTransport& transport = Transport();
    transport.Trace(FormatCommandTrace(cdbBytes).c_str());

    std::array<std::uint8_t, kSenseBytes> sense{};
    ScsiRequest request;
    request.cdb = cdbBytes;
    request.direction = direction;
    request.sense = sense;
    if (data != nullptr) {
        request.data = data;
        request.dataLength = dataLength;
    } else if (direction == DataDirection::kIn) {
        request.data = DefaultDataBuffer().data();
        request.dataLength = kSectorSize;
    }

    const ScsiResult result = transport.Send(handle, request);
    if (result.outcome == ScsiOutcome::kGood) {
        return 0;
    }
    transport.Trace(FormatFailureTrace(result, sense).c_str());
    return -1;
}

}  // namespace tarnwick
