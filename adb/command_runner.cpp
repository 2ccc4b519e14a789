#include "adb/command_runner.h"

#include <system_error>

namespace adb {

std::string RunCommandLine(const platform::ChildCommand& command, platform::ChildCancel* cancel,
                           IAdbHost& host) {
    const platform::ChildResult result = platform::RunFirstBlock(command, cancel);
    switch (result.status) {
        case platform::ChildStatus::Output:
            return result.output;
        case platform::ChildStatus::PipeFailed:
            host.ShowMessageBox("CreatePipe Failed!", kRunnerCaption, kRunnerBoxType);
            return {};
        case platform::ChildStatus::StartFailed:
            host.ShowMessageBox("CreateProcess Failed!", kRunnerCaption, kRunnerBoxType);
            return {};
        case platform::ChildStatus::NotFound:
            return command.program + ": cannot run in " + command.workingDirectory + ": " +
                   std::generic_category().message(result.error) + "\n";
        case platform::ChildStatus::TooLong:
            host.AddLog("The adb command line is too long (" +
                        std::to_string(platform::CommandLineText(command).size()) + " bytes, at most " +
                        std::to_string(platform::kCommandLineLimit - 1) + ")!");
            return {};
        case platform::ChildStatus::Refused:
            host.AddLog("The adb command was not run: a path holds a double quote or a percent sign!");
            return {};
        case platform::ChildStatus::Cancelled:
            return {};
    }
    return {};
}

}  // namespace adb
