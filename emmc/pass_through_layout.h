// The bytes of a direct SCSI pass-through request (the Windows SCSI_PASS_THROUGH_DIRECT structure,
// a ULONG filler and the sense area) and of the driver's answer, for 32-bit and 64-bit builds.
// Pure byte work, so that both layouts can be checked on any host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "scsi_transport.h"

namespace tarnwick {

struct PassThroughLayout {
    std::size_t pointerWidth;     // 4 or 8
    std::size_t structLength;     // the structure's size, also its Length field
    std::size_t dataBuffer;       // offset of the DataBuffer pointer
    std::size_t senseInfoOffset;  // offset of the SenseInfoOffset field
    std::size_t cdb;              // offset of the 16-byte Cdb array
    std::size_t senseArea;        // offset of the sense area in the request
    std::size_t requestLength;    // the whole request, rounded to the structure's alignment
};

// Fields before DataBuffer sit at the same offsets in both layouts.
inline constexpr std::size_t kPtLength = 0;  // USHORT
inline constexpr std::size_t kPtScsiStatus = 2;
inline constexpr std::size_t kPtPathId = 3;
inline constexpr std::size_t kPtTargetId = 4;
inline constexpr std::size_t kPtLun = 5;
inline constexpr std::size_t kPtCdbLength = 6;
inline constexpr std::size_t kPtSenseInfoLength = 7;
inline constexpr std::size_t kPtDataIn = 8;
inline constexpr std::size_t kPtDataTransferLength = 12;  // ULONG
inline constexpr std::size_t kPtTimeOutValue = 16;        // ULONG

inline constexpr std::size_t kPtCdbBytes = 16;
inline constexpr std::size_t kPtSenseAreaBytes = 32;
inline constexpr std::uint8_t kPtTargetIdValue = 1;
inline constexpr std::uint8_t kPtSenseInfoLengthValue = 24;
inline constexpr std::uint32_t kPtTimeOutSeconds = 2;
inline constexpr std::uint8_t kPtDataInValue = 1;   // device to host
inline constexpr std::uint8_t kPtDataOutValue = 0;  // host to device, or no data
inline constexpr std::uint8_t kScsiStatusCheckCondition = 0x02;

// 32-bit: 44-byte structure, sense area at 48, 80 bytes. 64-bit: the pointer is 8-aligned, so the
// structure is 56 bytes, the sense area at 60 and the request 96 bytes.
constexpr PassThroughLayout PassThroughLayoutFor(std::size_t pointerWidth) {
    const std::size_t dataBuffer = pointerWidth == 8 ? 24 : 20;
    const std::size_t senseInfoOffset = dataBuffer + pointerWidth;
    const std::size_t cdb = senseInfoOffset + 4;
    const std::size_t structLength = (cdb + kPtCdbBytes + pointerWidth - 1) / pointerWidth * pointerWidth;
    const std::size_t senseArea = structLength + 4;
    const std::size_t requestLength =
        (senseArea + kPtSenseAreaBytes + pointerWidth - 1) / pointerWidth * pointerWidth;
    return {pointerWidth, structLength, dataBuffer, senseInfoOffset, cdb, senseArea, requestLength};
}

// The largest request of either layout.
inline constexpr std::size_t kMaxPassThroughRequest = PassThroughLayoutFor(8).requestLength;

// Zero-fills `out` and writes the request: Length, TargetId 1, the CDB length and bytes,
// SenseInfoLength 24, the direction, the data length, a 2 s time-out, the data address (its low
// bytes for a 32-bit layout) and SenseInfoOffset pointing at the sense area. False, with nothing
// written, when `out` is shorter than the request or the CDB longer than 16 bytes.
bool BuildPassThroughRequest(const PassThroughLayout& layout, std::span<const std::uint8_t> cdb,
                             DataDirection direction, std::uint64_t dataAddress, std::uint32_t dataLength,
                             std::span<std::uint8_t> out);

// Reads the driver's answer: the request as returned, of which `returned` bytes are valid. No
// status without the whole structure. With a check condition, the SenseInfoLength bytes at
// SenseInfoOffset are copied into `sense` (at most its size) when they lie within `returned`.
ScsiResult ParsePassThroughReply(const PassThroughLayout& layout, std::span<const std::uint8_t> reply,
                                 std::size_t returned, std::span<std::uint8_t> sense);

}  // namespace tarnwick
