// Whether a file-system node exists, device nodes included (a terminal, a COM device).
#pragma once

#include <string>

namespace platform {

// True when `path` names an existing file, folder or device. On Windows a device that the file
// attributes call refuses (a COM port, or a Unix terminal seen through Wine) counts as present
// when it can be opened for no access or is held by someone else.
bool DeviceNodeExists(const std::string& path);

}  // namespace platform
