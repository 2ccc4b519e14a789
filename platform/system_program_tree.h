// The folders where a package manager or an administrator installs programs for every user.
#pragma once

#include <string>

namespace platform {

// True when the absolute, resolved path lies in /usr, /opt, /bin, /sbin, /lib, /lib32, /lib64 or
// /libx32 (or is one of them). Programs there are shared by every user: their files belong in each user's own
// folder, even when the user (root) could write beside them.
bool InSystemProgramTree(const std::string& resolvedPath);

}  // namespace platform
