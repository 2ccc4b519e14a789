// The platform's channel for debug lines: the system log at debug level on Linux, the debugger
// output on Windows.
#pragma once

namespace tarnwick {

void WriteDebugLine(const char* line);

}  // namespace tarnwick
