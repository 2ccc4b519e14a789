// The Windows transport: removable volumes found with GetLogicalDrives / GetDriveTypeA and the
// storage device descriptor, commands through IOCTL_SCSI_PASS_THROUGH_DIRECT.
// windows.h comes first: the other two headers depend on it.
#include <windows.h>

#include <winioctl.h>

#include <ntddscsi.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "debug_channel.h"
#include "device.h"
#include "device_text.h"
#include "scsi_transport.h"

namespace tarnwick {
namespace {

constexpr UCHAR kTargetId = 1;
constexpr UCHAR kSenseInfoLength = 24;
constexpr ULONG kTimeoutSeconds = 2;
constexpr DWORD kDescriptorArea = 551;
constexpr DWORD kReplyBytes = 512;

// The pass-through request: the structure, 4 zero bytes, then the 32-byte sense area. 80 bytes
// in a 32-bit build; a 64-bit build has a wider DataBuffer field and places the sense area at the
// offset the structure needs.
struct PassThroughRequest {
    SCSI_PASS_THROUGH_DIRECT sptd;
    ULONG filler;
    UCHAR sense[32];
};
static_assert(sizeof(void*) != 4 || sizeof(SCSI_PASS_THROUGH_DIRECT) == 44);
static_assert(sizeof(void*) != 4 || offsetof(PassThroughRequest, sense) == 48);
static_assert(sizeof(void*) != 4 || sizeof(PassThroughRequest) == 80);
static_assert(sizeof(PassThroughRequest) <= kReplyBytes);
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
        PassThroughRequest pass{};
        SCSI_PASS_THROUGH_DIRECT& sptd = pass.sptd;
        sptd.Length = sizeof(SCSI_PASS_THROUGH_DIRECT);
        sptd.TargetId = kTargetId;
        sptd.CdbLength = static_cast<UCHAR>(std::min<std::size_t>(request.cdb.size(), sizeof sptd.Cdb));
        sptd.SenseInfoLength = kSenseInfoLength;
        sptd.DataIn = request.direction == DataDirection::kIn ? SCSI_IOCTL_DATA_IN : SCSI_IOCTL_DATA_OUT;
        sptd.DataTransferLength = request.dataLength;
        sptd.TimeOutValue = kTimeoutSeconds;
        sptd.DataBuffer = request.data;
        sptd.SenseInfoOffset = offsetof(PassThroughRequest, sense);
        std::memcpy(sptd.Cdb, request.cdb.data(), sptd.CdbLength);

        DWORD returned = 0;
        reply_.fill(0);
        if (!DeviceIoControl(ToHandle(handle), IOCTL_SCSI_PASS_THROUGH_DIRECT, &pass, sizeof pass,
                             reply_.data(), kReplyBytes, &returned, nullptr)) {
            return ScsiResult{};
        }
        ScsiResult result;
        if (returned < sizeof(SCSI_PASS_THROUGH_DIRECT)) {
            return result;  // no status came back: treat as not completed
        }
        PassThroughRequest answer;
        std::memcpy(&answer, reply_.data(), std::min<std::size_t>(returned, sizeof answer));
        result.status = answer.sptd.ScsiStatus;
        result.outcome = result.status == 0 ? ScsiOutcome::kGood : ScsiOutcome::kDeviceRejected;
        if (returned >= sizeof answer) {
            const std::size_t length = std::min(
                {std::size_t{answer.sptd.SenseInfoLength}, sizeof answer.sense, request.sense.size()});
            std::memcpy(request.sense.data(), answer.sense, length);
            result.senseLength = length;
        }
        return result;
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
