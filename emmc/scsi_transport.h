// The operating-system side of the library: finding drives, opening them and carrying SCSI
// commands to them. One implementation per OS; tests substitute their own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tarnwick {

// Opaque OS handle of an open drive (a file descriptor or a volume handle).
using DeviceHandle = std::intptr_t;
inline constexpr DeviceHandle kNoDevice = -1;

inline bool IsUsableHandle(DeviceHandle handle) {
    return handle != kNoDevice && handle != 0;
}

// A removable drive as the OS describes it. A string the drive does not report is absent.
struct DriveInfo {
    char letter = 0;  // 'A' to 'Z'
    std::optional<std::string> vendor;
    std::optional<std::string> product;
};

enum class DataDirection : std::uint8_t {
    kIn,   // device to host
    kOut,  // host to device, also used for commands without data
};

struct ScsiRequest {
    std::span<const std::uint8_t> cdb;  // 6, 10 or 12 bytes
    DataDirection direction = DataDirection::kOut;
    std::uint8_t* data = nullptr;  // null when the command moves no data
    std::uint32_t dataLength = 0;
    std::span<std::uint8_t> sense;  // receives the sense data of a rejected command
};

enum class ScsiOutcome : std::uint8_t {
    kGood,            // the device completed the command with status GOOD
    kDeviceRejected,  // the device answered with another status (check condition, busy, ...)
    kTransportFailed  // the request did not complete: OS, host adapter or driver error, time-out
};

struct ScsiResult {
    ScsiOutcome outcome = ScsiOutcome::kTransportFailed;
    std::uint8_t status = 0;      // SCSI status byte as returned by the device
    std::size_t senseLength = 0;  // valid bytes in ScsiRequest::sense
};

class ScsiTransport {
  public:
    virtual ~ScsiTransport() = default;

    // The removable drives present now, in letter order.
    virtual std::vector<DriveInfo> ListRemovableDrives() = 0;
    // Opens the drive for raw read and write; kNoDevice on failure.
    virtual DeviceHandle Open(char letter) = 0;
    // Detaches the file systems on the drive; best effort, the outcome is not reported.
    virtual void Dismount(DeviceHandle handle) = 0;
    virtual void Close(DeviceHandle handle) = 0;
    // Sends one command synchronously.
    virtual ScsiResult Send(DeviceHandle handle, const ScsiRequest& request) = 0;
    // Writes one line to the platform's debug channel.
    virtual void Trace(const char* line) = 0;
};

}  // namespace tarnwick
