// Reading the mount table to find the file systems mounted from a disk.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// The mount points, unescaped, of the entries of a /proc/self/mounts text whose source is the
// disk node itself or one of its partitions (the node followed by digits).
// Lines longer than 4096 bytes are skipped.
std::vector<std::string> MountPointsOfDisk(std::string_view mountsText, std::string_view diskNode);

// Undoes the octal escapes (\040 and the like) of a mount table field.
std::string UnescapeMountField(std::string_view field);

}  // namespace tarnwick
