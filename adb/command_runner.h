// RunCommandLine: one adb command as a hidden child process, its first block of output as text.
#pragma once

#include <string>

#include "adb/adb_host.h"
#include "platform/child_process.h"

namespace adb {

// Caption of the runner's message boxes: the word for "notice" in ISO-2022-CN, 10 bytes.
inline constexpr char kRunnerCaption[] = "\x1b$)A\x0eLaJ>\x0f";
inline constexpr unsigned kRunnerBoxType = 0x30;  // exclamation icon, OK button

// Runs command and returns the first block it writes, or the empty text. A pipe or process that
// cannot be created is reported in a message box; a program or directory that does not exist
// yields an error text naming it, as a command interpreter would print; a command line that is too
// long or cannot be formed safely is logged and not started. cancel (may be null) ends the child
// from another thread, and the result is then empty.
std::string RunCommandLine(const platform::ChildCommand& command, platform::ChildCancel* cancel,
                           IAdbHost& host);

}  // namespace adb
