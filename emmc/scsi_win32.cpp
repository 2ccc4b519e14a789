// The Windows transport: removable volumes found with GetLogicalDrives / GetDriveTypeA and the
// storage device descriptor, commands through IOCTL_SCSI_PASS_THROUGH_DIRECT.
// windows.h comes first: the other two headers depend on it.
#include <windows.h>

#include <winioctl.h>

#include <ntddscsi.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "debug_channel.h"
#include "device.h"
#include "device_text.h"
#include "pass_through_layout.h"
#include "scsi_transport.h"

namespace tarnwick {
namespace {

constexpr DWORD kDescriptorArea = 551;
constexpr DWORD kReplyBytes = 512;

// The request as the Windows headers lay it out: the structure, a ULONG filler, the sense area.
// The bytes sent are written by BuildPassThroughRequest; this structure only proves that the
// builder's layout for this build's pointer width is the one the headers give.
struct PassThroughRequest {
    SCSI_PASS_THROUGH_DIRECT sptd;
    ULONG filler;
    UCHAR sense[kPtSenseAreaBytes];
};
constexpr PassThroughLayout kLayout = PassThroughLayoutFor(sizeof(void*));
static_assert(sizeof(SCSI_PASS_THROUGH_DIRECT) == kLayout.structLength);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, Length) == kPtLength);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, ScsiStatus) == kPtScsiStatus);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, PathId) == kPtPathId);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, TargetId) == kPtTargetId);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, Lun) == kPtLun);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, CdbLength) == kPtCdbLength);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, SenseInfoLength) == kPtSenseInfoLength);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, DataIn) == kPtDataIn);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, DataTransferLength) == kPtDataTransferLength);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, TimeOutValue) == kPtTimeOutValue);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, DataBuffer) == kLayout.dataBuffer);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, SenseInfoOffset) == kLayout.senseInfoOffset);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, Cdb) == kLayout.cdb);
static_assert(sizeof(SCSI_PASS_THROUGH_DIRECT::Cdb) == kPtCdbBytes);
static_assert(offsetof(PassThroughRequest, sense) == kLayout.senseArea);
static_assert(sizeof(PassThroughRequest) == kLayout.requestLength);
static_assert(SCSI_IOCTL_DATA_IN == kPtDataInValue && SCSI_IOCTL_DATA_OUT == kPtDataOutValue);
static_assert(kLayout.requestLength <= kReplyBytes);
static_assert(sizeof(STORAGE_PROPERTY_QUERY) == 12);

bool IsRemovableVolume(char letter) {
    char root[4];
    std::snprintf(root, sizeof root, "%c:\\", letter);
    return GetDriveTypeA(root) == DRIVE_REMOVABLE;
}

HANDLE OpenVolume(char letter) {
    char path[8];
    std::snprintf(path, sizeof path, "\\\\?\\%c:", letter);
    return CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, 0, nullptr);
}

HANDLE ToHandle(DeviceHandle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// A string of the device descriptor: absent when its offset is 0 or outside the bytes returned.
std::optional<std::string> DescriptorText(const unsigned char* area, DWORD returned, DWORD offset) {
    const DWORD valid = std::min(returned, kDescriptorArea);
    if (offset == 0 || offset >= valid) {
        return std::nullopt;
    }
    return DeviceText(std::string_view(reinterpret_cast<const char*>(area) + offset, valid - offset));
}

DriveInfo DescribeVolume(char letter, HANDLE volume) {
    STORAGE_PROPERTY_QUERY query{};
    query.PropertyId = StorageDeviceProperty;
    query.QueryType = PropertyStandardQuery;
    alignas(STORAGE_DEVICE_DESCRIPTOR) unsigned char area[kDescriptorArea] = {};
    auto* descriptor = reinterpret_cast<STORAGE_DEVICE_DESCRIPTOR*>(area);
    descriptor->Size = kDescriptorArea;
    DWORD returned = 0;
    DriveInfo info;
    info.letter = letter;
    if (DeviceIoControl(volume, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, area, kDescriptorArea,
                        &returned, nullptr) &&
        returned >= offsetof(STORAGE_DEVICE_DESCRIPTOR, ProductIdOffset) + sizeof(DWORD)) {
        info.vendor = DescriptorText(area, returned, descriptor->VendorIdOffset);
        info.product = DescriptorText(area, returned, descriptor->ProductIdOffset);
    }
    return info;
}

class Win32ScsiTransport final : public ScsiTransport {
  public:
    std::vector<DriveInfo> ListRemovableDrives() override {
        std::vector<DriveInfo> drives;
        const DWORD present = GetLogicalDrives();
        for (int bit = 0; bit < 26; ++bit) {
            const char letter = static_cast<char>('A' + bit);
            if ((present & (DWORD{1} << bit)) == 0 || !IsRemovableVolume(letter)) {
                continue;
            }
            HANDLE volume = OpenVolume(letter);
            if (volume == INVALID_HANDLE_VALUE) {
                continue;
            }
            drives.push_back(DescribeVolume(letter, volume));
            CloseHandle(volume);
        }
        return drives;
    }

    // Only removable volumes are opened, so that a wrong letter cannot dismount a fixed disk.
    DeviceHandle Open(char letter) override {
        if (!IsRemovableVolume(letter)) {
            return kNoDevice;
        }
        HANDLE volume = OpenVolume(letter);
        if (volume == INVALID_HANDLE_VALUE || volume == nullptr) {
            return kNoDevice;
        }
        return reinterpret_cast<DeviceHandle>(volume);
    }

    void Dismount(DeviceHandle handle) override {
        DWORD returned = 0;
        DeviceIoControl(ToHandle(handle), FSCTL_DISMOUNT_VOLUME, nullptr, 0, nullptr, 0, &returned, nullptr);
    }

    void Close(DeviceHandle handle) override { CloseHandle(ToHandle(handle)); }

    ScsiResult Send(DeviceHandle handle, const ScsiRequest& request) override {
        alignas(8) std::array<std::uint8_t, kLayout.requestLength> pass{};
        if (!BuildPassThroughRequest(kLayout, request.cdb, request.direction,
                                     reinterpret_cast<std::uintptr_t>(request.data), request.dataLength,
                                     pass)) {
            return ScsiResult{};
        }
        DWORD returned = 0;
        reply_.fill(0);
        if (!DeviceIoControl(ToHandle(handle), IOCTL_SCSI_PASS_THROUGH_DIRECT, pass.data(), pass.size(),
                             reply_.data(), kReplyBytes, &returned, nullptr)) {
            return ScsiResult{};
        }
        return ParsePassThroughReply(kLayout, reply_, returned, request.sense);
    }

    void Trace(const char* line) override { WriteDebugLine(line); }

  private:
    std::array<unsigned char, kReplyBytes> reply_{};  // receives the request back from the driver
};

}  // namespace

ScsiTransport& PlatformTransport() {
    static Win32ScsiTransport transport;
    return transport;
}

}  // namespace tarnwick
