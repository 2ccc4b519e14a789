// A transport that behaves as removable drives backed by one in-memory disk, and records every
// command and trace line it sees.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "scsi_transport.h"

namespace tarnwick::testing {

struct RecordedCommand {
    std::vector<std::uint8_t> cdb;
    DataDirection direction = DataDirection::kOut;
    const std::uint8_t* data = nullptr;
    std::uint32_t dataLength = 0;
    std::vector<std::uint8_t> dataOut;  // copy of the bytes sent to the device
};

class FakeDisk final : public ScsiTransport {
  public:
    explicit FakeDisk(std::uint32_t sectors = 4096);

    // Drives reported by ListRemovableDrives; any of them can be opened.
    std::vector<DriveInfo> drives;
    // Command number (0-based) -> outcome forced for that command instead of executing it.
    std::map<std::size_t, ScsiOutcome> faults;

    std::vector<RecordedCommand> commands;
    std::vector<std::string> traces;
    std::vector<char> openAttempts;  // every letter asked for
    std::vector<char> opened;        // letters opened, in order
    std::vector<DeviceHandle> closed;
    std::vector<DeviceHandle> dismounted;
    std::set<DeviceHandle> openHandles;

    std::vector<std::uint8_t> storage;  // sectors * 512 bytes

    std::vector<DriveInfo> ListRemovableDrives() override { return drives; }
    DeviceHandle Open(char letter) override;
    void Dismount(DeviceHandle handle) override { dismounted.push_back(handle); }
    void Close(DeviceHandle handle) override;
    ScsiResult Send(DeviceHandle handle, const ScsiRequest& request) override;
    void Trace(const char* line) override { traces.emplace_back(line); }

  private:
    ScsiResult Execute(const ScsiRequest& request);
    DeviceHandle nextHandle_ = 100;
};

// The single eMMC disk on drive E.
DriveInfo EmmcDrive(char letter = 'E');

}  // namespace tarnwick::testing
