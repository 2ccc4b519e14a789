#include "fake_disk.h"

#include <algorithm>
#include <cstring>

namespace tarnwick::testing {
namespace {

constexpr std::uint32_t kSector = 512;

std::uint32_t BigEndian32(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | bytes[3];
}

void PutBigEndian32(std::uint8_t* bytes, std::uint32_t value) {
    bytes[0] = static_cast<std::uint8_t>(value >> 24);
    bytes[1] = static_cast<std::uint8_t>(value >> 16);
    bytes[2] = static_cast<std::uint8_t>(value >> 8);
    bytes[3] = static_cast<std::uint8_t>(value);
}

// CHECK CONDITION with fixed-format sense data.
ScsiResult CheckCondition(const ScsiRequest& request, std::uint8_t key, std::uint8_t asc, std::uint8_t ascq) {
    std::uint8_t sense[18] = {0x70, 0, key, 0, 0, 0, 0, 10, 0, 0, 0, 0, asc, ascq, 0, 0, 0, 0};
    const std::size_t length = std::min(sizeof sense, request.sense.size());
    std::memcpy(request.sense.data(), sense, length);
    return ScsiResult{ScsiOutcome::kDeviceRejected, 0x02, length};
}

}  // namespace

FakeDisk::FakeDisk(std::uint32_t sectors) : storage(static_cast<std::size_t>(sectors) * kSector, 0) {}

DeviceHandle FakeDisk::Open(char letter) {
    openAttempts.push_back(letter);
    const bool known =
        std::any_of(drives.begin(), drives.end(), [&](const DriveInfo& d) { return d.letter == letter; });
    if (!known) {
        return kNoDevice;
    }
    opened.push_back(letter);
    openHandles.insert(nextHandle_);
    return nextHandle_++;
}

void FakeDisk::Close(DeviceHandle handle) {
    closed.push_back(handle);
    openHandles.erase(handle);
}

ScsiResult FakeDisk::Send(DeviceHandle handle, const ScsiRequest& request) {
    RecordedCommand record{
        {request.cdb.begin(), request.cdb.end()}, request.direction, request.data, request.dataLength, {}};
    if (request.direction == DataDirection::kOut && request.data != nullptr) {
        record.dataOut.assign(request.data, request.data + request.dataLength);
    }
    commands.push_back(std::move(record));
    if (openHandles.count(handle) == 0) {
        return ScsiResult{};
    }
    if (auto fault = faults.find(commands.size() - 1); fault != faults.end()) {
        if (fault->second == ScsiOutcome::kDeviceRejected) {
            return CheckCondition(request, 0x03, 0x0C, 0x00);  // MEDIUM ERROR, write error
        }
        return ScsiResult{fault->second, 0, 0};
    }
    return Execute(request);
}

ScsiResult FakeDisk::Execute(const ScsiRequest& request) {
    const std::uint8_t* cdb = request.cdb.data();
    const auto sectors = static_cast<std::uint32_t>(storage.size() / kSector);
    const bool dataIn = request.direction == DataDirection::kIn && request.data != nullptr;
    switch (cdb[0]) {
        case 0x00:  // TEST UNIT READY
        case 0x1E:  // PREVENT ALLOW MEDIUM REMOVAL
        case 0x35:  // SYNCHRONIZE CACHE(10)
            return ScsiResult{ScsiOutcome::kGood, 0, 0};
        case 0x25:  // READ CAPACITY(10)
            if (!dataIn || request.dataLength < 8) {
                return CheckCondition(request, 0x05, 0x24, 0x00);
            }
            PutBigEndian32(request.data, sectors - 1);
            PutBigEndian32(request.data + 4, kSector);
            return ScsiResult{ScsiOutcome::kGood, 0, 0};
        case 0x1A: {  // MODE SENSE(6): header and one block descriptor
            if (!dataIn) {
                return CheckCondition(request, 0x05, 0x24, 0x00);
            }
            std::uint8_t reply[12] = {11, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0x02, 0x00};
            PutBigEndian32(reply + 4, sectors);
            std::memcpy(request.data, reply,
                        std::min<std::size_t>({sizeof reply, cdb[4], request.dataLength}));
            return ScsiResult{ScsiOutcome::kGood, 0, 0};
        }
        case 0x28:    // READ(10)
        case 0x2A: {  // WRITE(10)
            const std::uint32_t lba = BigEndian32(cdb + 2);
            const std::uint32_t count = (std::uint32_t{cdb[7]} << 8) | cdb[8];
            if (std::uint64_t{lba} + count > sectors) {
                return CheckCondition(request, 0x05, 0x21, 0x00);  // LBA out of range
            }
            const bool wantsIn = cdb[0] == 0x28;
            if (request.data == nullptr || request.dataLength != count * kSector ||
                (request.direction == DataDirection::kIn) != wantsIn) {
                return CheckCondition(request, 0x05, 0x24, 0x00);  // invalid field in CDB
            }
            std::uint8_t* disk = storage.data() + static_cast<std::size_t>(lba) * kSector;
            if (wantsIn) {
                std::memcpy(request.data, disk, request.dataLength);
            } else {
                std::memcpy(disk, request.data, request.dataLength);
            }
            return ScsiResult{ScsiOutcome::kGood, 0, 0};
        }
        default:
            return CheckCondition(request, 0x05, 0x20, 0x00);  // invalid command operation code
    }
}

DriveInfo EmmcDrive(char letter) {
    return DriveInfo{letter, "Qualcomm", "MMC Storage"};
}

}  // namespace tarnwick::testing
