// Sector reads and writes with READ(10) / WRITE(10).
#pragma once

#include <cstdint>

namespace tarnwick {

// True when sectorCount sectors from firstSector on all have 32-bit LBAs.
bool FitsLba32(unsigned long long firstSector, unsigned long long sectorCount);

// READ(10) of 1-255 sectors into buffer; -1 for a count of 0, a null buffer or a range beyond
// the 32-bit LBA, before anything is sent.
int ReadSectors(unsigned long firstSector, std::uint8_t* buffer, std::uint8_t sectorCount);

// WRITE(10) of 1-255 sectors from buffer.
int WriteSectors(std::uint32_t lba, std::uint8_t* buffer, std::uint8_t sectorCount);

// Writes length bytes from firstSector on in chunks of 128 sectors, the last sector padded with
// zeros; stops at the first failed chunk. Length 0 sends nothing.
int WriteFile(unsigned long firstSector, const std::uint8_t* data, unsigned long length);

}  // namespace tarnwick
