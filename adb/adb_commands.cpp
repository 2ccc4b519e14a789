#include "adb/adb_commands.h"

namespace adb {

namespace {

platform::ChildCommand Command(const std::string& appDir, std::vector<std::string> args,
                               const std::string& interpreterTail, bool safe) {
    const char separator = appDir.empty() ? '/' : appDir.back();
    platform::ChildCommand command;
    command.workingDirectory = appDir + "adb";
    command.program = command.workingDirectory + separator + "adb";
    command.args = std::move(args);
    if (safe) {
        command.interpreterLine = "cmd.exe /c cd \"" + appDir + "adb\"" + interpreterTail;
    }
    return command;
}

}  // namespace

bool SafeForInterpreterQuotes(const std::string& text) {
    return text.find_first_of("\"%") == std::string::npos;
}

AdbCommands BuildAdbCommands(const std::string& appDir, const std::string& xmlPath) {
    const bool dirSafe = SafeForInterpreterQuotes(appDir);
    AdbCommands commands;
    commands.devices = Command(appDir, {"devices"}, " && adb devices", dirSafe);
    commands.push = Command(appDir, {"push", xmlPath, "/cache"}, " && adb push \"" + xmlPath + "\" /cache",
                            dirSafe && SafeForInterpreterQuotes(xmlPath));
    commands.reboot = Command(appDir, {"reboot"}, " && adb reboot", dirSafe);
    return commands;
}

}  // namespace adb
