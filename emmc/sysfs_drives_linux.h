// The removable SCSI disks /dev/sda to /dev/sdz as sysfs describes them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "scsi_transport.h"

namespace tarnwick {

// The text of a sysfs attribute, cleaned up as DeviceText does; absent when the file cannot be
// read or holds no text.
std::optional<std::string> ReadSysfsText(const std::string& path);

// The sysfs block name ("sda") of a drive letter, or empty for a character that is not a letter.
std::string DiskNameOfLetter(char letter);

// True when <sysBlockDir>/<disk>/removable reads "1".
bool IsRemovableDisk(const std::string& sysBlockDir, const std::string& disk);

// The removable disks named sd<a-z> under sysBlockDir, in name order, with their vendor and model.
std::vector<DriveInfo> ListRemovableScsiDisks(const std::string& sysBlockDir);

}  // namespace tarnwick
