// The adb commands: the device list, the push of an XML file into /cache and the reboot.
//
// adb is the program "adb" in the subdirectory "adb" of the program directory, and every command
// runs in that directory. Each command is an argument vector, so no character of a file name can
// run anything; the command interpreter line is kept for the platforms that start adb through it.
#pragma once

#include <string>

#include "platform/child_process.h"

namespace adb {

struct AdbCommands {
    platform::ChildCommand devices;
    platform::ChildCommand push;
    platform::ChildCommand reboot;
};

// appDir is the program directory with its trailing separator, xmlPath the file to push.
AdbCommands BuildAdbCommands(const std::string& appDir, const std::string& xmlPath);

// True when text can stand between double quotes of an interpreter line: the interpreter ends the
// quotes at a double quote and expands variables between percent signs.
bool SafeForInterpreterQuotes(const std::string& text);

}  // namespace adb
