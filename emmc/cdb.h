// The fixed command descriptor blocks the library sends.
#pragma once

#include <array>
#include <cstdint>

namespace tarnwick {

using Cdb6 = std::array<std::uint8_t, 6>;
using Cdb10 = std::array<std::uint8_t, 10>;

// READ CAPACITY(10).
constexpr Cdb10 ReadCapacity10Cdb() {
    return {0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0};
}
// MODE SENSE(6), all pages (3F), allocation length 12.
constexpr Cdb6 ModeSenseAllPagesCdb() {
    return {0x1A, 0, 0x3F, 0, 0x0C, 0};
}
// SYNCHRONIZE CACHE(10) of the whole medium.
constexpr Cdb10 SynchronizeCache10Cdb() {
    return {0x35, 0, 0, 0, 0, 0, 0, 0, 0, 0};
}
// PREVENT ALLOW MEDIUM REMOVAL with prevent set.
constexpr Cdb6 PreventMediumRemovalCdb() {
    return {0x1E, 0, 0, 0, 0x01, 0};
}

namespace detail {
constexpr Cdb10 Transfer10Cdb(std::uint8_t opcode, std::uint32_t lba, std::uint8_t sectors) {
    return {opcode,
            0,
            static_cast<std::uint8_t>(lba >> 24),
            static_cast<std::uint8_t>(lba >> 16),
            static_cast<std::uint8_t>(lba >> 8),
            static_cast<std::uint8_t>(lba),
            0,
            0,
            sectors,
            0};
}
}  // namespace detail

// READ(10): LBA most significant byte first in bytes 2-5, sector count in byte 8.
constexpr Cdb10 Read10Cdb(std::uint32_t lba, std::uint8_t sectors) {
    return detail::Transfer10Cdb(0x28, lba, sectors);
}
// WRITE(10), laid out as READ(10).
constexpr Cdb10 Write10Cdb(std::uint32_t lba, std::uint8_t sectors) {
    return detail::Transfer10Cdb(0x2A, lba, sectors);
}

}  // namespace tarnwick
