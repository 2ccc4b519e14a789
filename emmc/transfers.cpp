#include "transfers.h"

#include <cstring>
#include <vector>

#include "cdb.h"
#include "device.h"
#include "pass_through.h"

namespace tarnwick {
namespace {

constexpr std::uint32_t kChunkSectors = 128;
constexpr std::uint32_t kChunkBytes = kChunkSectors * kSectorSize;  // 65536
constexpr unsigned long long kLbaLimit = 1ULL << 32;

}  // namespace

bool FitsLba32(unsigned long long firstSector, unsigned long long sectorCount) {
    return firstSector < kLbaLimit && sectorCount <= kLbaLimit - firstSector;
}

int ReadSectors(unsigned long firstSector, std::uint8_t* buffer, std::uint8_t sectorCount) {
    if (buffer == nullptr || sectorCount == 0 || !FitsLba32(firstSector, sectorCount)) {
        return -1;
    }
    const Cdb10 cdb = Read10Cdb(static_cast<std::uint32_t>(firstSector), sectorCount);
    return SendScsiPassThrough(CurrentDevice(), cdb.data(), cdb.size(), buffer, sectorCount * kSectorSize,
                               DataDirection::kIn);
}

int WriteSectors(std::uint32_t lba, std::uint8_t* buffer, std::uint8_t sectorCount) {
    if (buffer == nullptr || sectorCount == 0) {
        return -1;
    }
    const Cdb10 cdb = Write10Cdb(lba, sectorCount);
    return SendScsiPassThrough(CurrentDevice(), cdb.data(), cdb.size(), buffer, sectorCount * kSectorSize,
                               DataDirection::kOut);
}

int WriteFile(unsigned long firstSector, const std::uint8_t* data, unsigned long length) {
    if (length == 0) {
        return 0;
    }
    const unsigned long long sectors =
        (static_cast<unsigned long long>(length) + kSectorSize - 1) / kSectorSize;
    if (data == nullptr || !FitsLba32(firstSector, sectors)) {
        return -1;
    }
    // The range check above keeps every LBA below 2^32.
    auto lba = static_cast<std::uint32_t>(firstSector);
    unsigned long done = 0;
    // The command layer takes a mutable pointer because data in and out share it; WRITE(10) only
    // reads from it.
    auto* cursor = const_cast<std::uint8_t*>(data);
    while (length - done >= kChunkBytes) {
        if (WriteSectors(lba, cursor + done, kChunkSectors) != 0) {
            return -1;
        }
        lba += kChunkSectors;
        done += kChunkBytes;
    }
    const unsigned long rest = length - done;
    if (rest == 0) {
        return 0;
    }
    const auto tailSectors = static_cast<std::uint8_t>((rest + kSectorSize - 1) / kSectorSize);
    std::vector<std::uint8_t> tail(static_cast<std::size_t>(tailSectors) * kSectorSize, 0);
    std::memcpy(tail.data(), cursor + done, rest);
    return WriteSectors(lba, tail.data(), tailSectors);
}

}  // namespace tarnwick
