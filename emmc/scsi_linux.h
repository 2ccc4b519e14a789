// The Linux transport: removable SCSI disks found through sysfs, commands through SG_IO.
#pragma once

#include <map>
#include <string>

#include "scsi_transport.h"

namespace tarnwick {

class LinuxScsiTransport final : public ScsiTransport {
  public:
    // The directories are parameters so that tests can lay out a tree of their own.
    explicit LinuxScsiTransport(std::string sysBlockDir = "/sys/block", std::string devDir = "/dev",
                                std::string mountsFile = "/proc/self/mounts");

    std::vector<DriveInfo> ListRemovableDrives() override;
    // Opens /dev/sd<letter> read-write; refuses disks that are not removable and nodes that are
    // not block devices.
    DeviceHandle Open(char letter) override;
    // Lazily detaches every file system mounted from the disk or its partitions.
    void Dismount(DeviceHandle handle) override;
    void Close(DeviceHandle handle) override;
    // SG_IO with a 2 s time-out.
    ScsiResult Send(DeviceHandle handle, const ScsiRequest& request) override;
    void Trace(const char* line) override;

  private:
    std::string sysBlockDir_;
    std::string devDir_;
    std::string mountsFile_;
    std::map<DeviceHandle, std::string> openNodes_;  // device node of each open handle
};

}  // namespace tarnwick
