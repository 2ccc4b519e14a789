// Opens a file with the program the desktop associates with it.
#pragma once

#include <string>

namespace platform {

// Starts the desktop's opener for `path` and returns at once, without waiting for the opened
// program. The path is handed over as one argument, never through a shell. `opener` replaces the
// desktop's opener program when it is not empty (the program gets `path` as its only argument).
// Returns false when no process could be started; what the opener then does is its own affair.
bool OpenWithDesktop(const std::string& path, const std::string& opener = {});

}  // namespace platform
