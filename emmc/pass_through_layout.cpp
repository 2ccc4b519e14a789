#include "pass_through_layout.h"

#include <algorithm>
#include <cstring>

namespace tarnwick {
namespace {

void PutLittleEndian(std::span<std::uint8_t> out, std::size_t offset, std::uint64_t value,
                     std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) {
        out[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::uint32_t GetLittleEndian32(std::span<const std::uint8_t> in, std::size_t offset) {
    return std::uint32_t{in[offset]} | (std::uint32_t{in[offset + 1]} << 8) |
           (std::uint32_t{in[offset + 2]} << 16) | (std::uint32_t{in[offset + 3]} << 24);
}

}  // namespace

bool BuildPassThroughRequest(const PassThroughLayout& layout, std::span<const std::uint8_t> cdb,
                             DataDirection direction, std::uint64_t dataAddress, std::uint32_t dataLength,
                             std::span<std::uint8_t> out) {
    if (out.size() < layout.requestLength || cdb.size() > kPtCdbBytes) {
        return false;
    }
    std::fill(out.begin(), out.end(), std::uint8_t{0});
    PutLittleEndian(out, kPtLength, layout.structLength, 2);
    out[kPtTargetId] = kPtTargetIdValue;
    out[kPtCdbLength] = static_cast<std::uint8_t>(cdb.size());
    out[kPtSenseInfoLength] = kPtSenseInfoLengthValue;
    out[kPtDataIn] = direction == DataDirection::kIn ? kPtDataInValue : kPtDataOutValue;
    PutLittleEndian(out, kPtDataTransferLength, dataLength, 4);
    PutLittleEndian(out, kPtTimeOutValue, kPtTimeOutSeconds, 4);
    PutLittleEndian(out, layout.dataBuffer, dataAddress, layout.pointerWidth);
    PutLittleEndian(out, layout.senseInfoOffset, layout.senseArea, 4);
    if (!cdb.empty()) {
        std::memcpy(out.data() + layout.cdb, cdb.data(), cdb.size());
    }
    return true;
}

ScsiResult ParsePassThroughReply(const PassThroughLayout& layout, std::span<const std::uint8_t> reply,
                                 std::size_t returned, std::span<std::uint8_t> sense) {
    ScsiResult result;
    const std::size_t valid = std::min(returned, reply.size());
    if (valid < layout.structLength) {
        return result;  // no status came back: treat as not completed
    }
    result.status = reply[kPtScsiStatus];
    result.outcome = result.status == 0 ? ScsiOutcome::kGood : ScsiOutcome::kDeviceRejected;
    if (result.status != kScsiStatusCheckCondition) {
        return result;
    }
    // The driver reports the sense offset plus the sense bytes it filled in as returned.
    const std::size_t offset = GetLittleEndian32(reply, layout.senseInfoOffset);
    const std::size_t length = reply[kPtSenseInfoLength];
    if (offset < layout.structLength || offset > valid || length > valid - offset) {
        return result;
    }
    const std::size_t copied = std::min(length, sense.size());
    std::copy_n(reply.begin() + static_cast<std::ptrdiff_t>(offset), copied, sense.begin());
    result.senseLength = copied;
    return result;
}

}  // namespace tarnwick
