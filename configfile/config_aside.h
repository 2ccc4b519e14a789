// Keeping a parameter file that could not be loaded: before anything is saved in its place it is
// renamed to "NAME.unreadable-<UTC time>" beside itself, so the exit save loses nothing.
#pragma once

#include <ctime>
#include <string>

namespace configfile {

// path + ".unreadable-" + the time as 20261209T201500Z.
std::string UnreadableCopyName(const std::string& path, const std::tm& utc);

// Renames path to its unreadable-copy name; when that name is taken, "-2", "-3", ... is appended
// until one is free. The new path, or empty with *error saying why the rename failed.
std::string SetAsideUnreadable(const std::string& path, const std::tm& utc, std::string* error);

}  // namespace configfile
