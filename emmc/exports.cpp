// The exported C functions: argument checks and the fixed commands, on top of the command layer.
// Each body runs inside Guarded, so that no exception reaches the C caller.
#include <array>
#include <cstddef>
#include <cstdint>

#include "cdb.h"
#include "device.h"
#include "drive_lookup.h"
#include "guarded.h"
#include "pass_through.h"
#include "tarnwick.h"
#include "transfers.h"

using tarnwick::CurrentDevice;
using tarnwick::DataDirection;
using tarnwick::SendScsiPassThrough;

namespace {

bool IsDriveLetter(char letter) {
    return (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
}

template <std::size_t N>
int SendFixed(const std::array<std::uint8_t, N>& cdb, DataDirection direction) {
    return SendScsiPassThrough(CurrentDevice(), cdb.data(), N, nullptr, 0, direction);
}

int SendWithBuffer(unsigned char* cdb, unsigned int cdbLength, unsigned char* buffer,
                   unsigned int bufferLength, DataDirection direction) {
    if (buffer == nullptr || bufferLength == 0) {
        return -1;
    }
    return SendScsiPassThrough(CurrentDevice(), cdb, cdbLength, buffer, bufferLength, direction);
}

}  // namespace

extern "C" {

int OpenUsbMassStorageDevice(char driveLetter) {
    return tarnwick::Guarded([&] {
        if (!IsDriveLetter(driveLetter)) {
            return -1;
        }
        tarnwick::ScsiTransport& transport = tarnwick::Transport();
        const tarnwick::DeviceHandle handle = transport.Open(driveLetter);
        if (!tarnwick::IsUsableHandle(handle)) {
            return -1;
        }
        // One device at a time: the earlier drive is closed rather than leaked.
        const tarnwick::DeviceHandle previous = CurrentDevice();
        if (tarnwick::IsUsableHandle(previous)) {
            transport.Close(previous);
        }
        tarnwick::SetCurrentDevice(handle);
        transport.Dismount(handle);
        return 0;
    });
}

int OpenUsbEMMCDevice(void) {
    return tarnwick::Guarded([&] {
        const auto letter = tarnwick::FindMassStorageDrive(tarnwick::Transport(), tarnwick::kEmmcVendor,
                                                           tarnwick::kEmmcProduct);
        return letter ? OpenUsbMassStorageDevice(*letter) : -1;
    });
}

int CloseUsbEMMCDevice(void) {
    return tarnwick::Guarded([&] {
        const tarnwick::DeviceHandle handle = CurrentDevice();
        if (tarnwick::IsUsableHandle(handle)) {
            tarnwick::Transport().Close(handle);
            tarnwick::SetCurrentDevice(tarnwick::kNoDevice);
        }
        return 0;
    });
}

int IsEMMCUDiskExist(void) {
    return tarnwick::Guarded([&] {
        return tarnwick::FindMassStorageDrive(tarnwick::Transport(), tarnwick::kEmmcVendor,
                                              tarnwick::kEmmcProduct)
                   ? 0
                   : -1;
    });
}

int IsUsbMassStorageExist(char* vendor, char* product) {
    return tarnwick::Guarded([&] {
        if (vendor == nullptr || product == nullptr) {
            return -1;
        }
        return tarnwick::FindMassStorageDrive(tarnwick::Transport(), vendor, product) ? 0 : -1;
    });
}

int SendSCSI(unsigned char* cdb, unsigned int cdbLength) {
    return tarnwick::Guarded(
        [&] { return SendScsiPassThrough(CurrentDevice(), cdb, cdbLength, nullptr, 0, DataDirection::kIn); });
}

int SendSCSIDataToDevice(unsigned char* cdb, unsigned int cdbLength) {
    return tarnwick::Guarded([&] {
        return SendScsiPassThrough(CurrentDevice(), cdb, cdbLength, nullptr, 0, DataDirection::kOut);
    });
}

int SendSCSIWithBufferToRead(unsigned char* cdb, unsigned int cdbLength, unsigned char* buffer,
                             unsigned int bufferLength) {
    return tarnwick::Guarded(
        [&] { return SendWithBuffer(cdb, cdbLength, buffer, bufferLength, DataDirection::kIn); });
}

int SendSCSIWithBufferToWrite(unsigned char* cdb, unsigned int cdbLength, unsigned char* buffer,
                              unsigned int bufferLength) {
    return tarnwick::Guarded(
        [&] { return SendWithBuffer(cdb, cdbLength, buffer, bufferLength, DataDirection::kOut); });
}

int SendReadCapacityCommand(unsigned char* buffer, unsigned int bufferLength) {
    return tarnwick::Guarded([&] {
        auto cdb = tarnwick::ReadCapacity10Cdb();
        return SendWithBuffer(cdb.data(), cdb.size(), buffer, bufferLength, DataDirection::kIn);
    });
}

int SendModeSense3FCommand(void) {
    return tarnwick::Guarded([&] { return SendFixed(tarnwick::ModeSenseAllPagesCdb(), DataDirection::kIn); });
}

int SendSyncCacheCommand(void) {
    return tarnwick::Guarded(
        [&] { return SendFixed(tarnwick::SynchronizeCache10Cdb(), DataDirection::kOut); });
}

int SendMediaRemovalCommand(void) {
    return tarnwick::Guarded(
        [&] { return SendFixed(tarnwick::PreventMediumRemovalCdb(), DataDirection::kOut); });
}

int ReadFromEMMC(unsigned long firstSector, unsigned char* buffer, unsigned char sectorCount) {
    return tarnwick::Guarded([&] { return tarnwick::ReadSectors(firstSector, buffer, sectorCount); });
}

int WriteFileToEMMC(unsigned long firstSector, unsigned char* data, unsigned long length) {
    return tarnwick::Guarded([&] { return tarnwick::WriteFile(firstSector, data, length); });
}

}  // extern "C"
