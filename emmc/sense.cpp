#include "sense.h"

namespace tarnwick {

std::optional<SenseSummary> DecodeSense(std::span<const std::uint8_t> sense) {
    if (sense.empty()) {
        return std::nullopt;
    }
    const std::uint8_t responseCode = sense[0] & 0x7F;
    if (responseCode == 0x70 || responseCode == 0x71) {
        if (sense.size() < 14) {
            return std::nullopt;
        }
        return SenseSummary{static_cast<std::uint8_t>(sense[2] & 0x0F), sense[12], sense[13]};
    }
    if (responseCode == 0x72 || responseCode == 0x73) {
        if (sense.size() < 4) {
            return std::nullopt;
        }
        return SenseSummary{static_cast<std::uint8_t>(sense[1] & 0x0F), sense[2], sense[3]};
    }
    return std::nullopt;
}

}  // namespace tarnwick
