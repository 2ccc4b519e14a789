// The operating system's own description of one of its error codes (errno, or GetLastError on
// Windows), for messages that say why a file operation failed.
#pragma once

#include <string>

namespace platform {

// The last error code of the calling thread.
int LastSystemError();

// The description of code, for example "No such file or directory"; empty for 0.
std::string SystemErrorText(int code);

}  // namespace platform
