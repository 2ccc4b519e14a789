// Decoding of the SCSI sense data that a device returns with a rejected command.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace tarnwick {

struct SenseSummary {
    std::uint8_t key = 0;
    std::uint8_t asc = 0;   // additional sense code
    std::uint8_t ascq = 0;  // additional sense code qualifier
};

// The key and codes of fixed-format (0x70/0x71) or descriptor-format (0x72/0x73) sense data;
// nothing when the bytes are too short or of another format.
std::optional<SenseSummary> DecodeSense(std::span<const std::uint8_t> sense);

}  // namespace tarnwick
