// The process runner on Windows: command interpreter lines run as hidden children whose standard
// output and error share one pipe, the first block returned, a hanging child ended with all it
// started, and the adb commands run from the program's "adb" folder through a fake adb.exe.
#include <windows.h>

#include <gtest/gtest.h>

#include <sstream>
#include <thread>

#include "adb/adb_commands.h"
#include "adb/adb_output.h"
#include "adb/command_runner.h"
#include "platform/child_process.h"
#include "tests/adb/recording_host.h"
#include "tests/support/adb_outputs.h"
#include "tests/support/fake_adb.h"
#include "tests/support/poll.h"

namespace {

using namespace testsupport;
using platform::ChildCommand;
using platform::ChildStatus;

ChildCommand Line(const std::string& line) {
    ChildCommand command;
    command.interpreterLine = line;
    return command;
}

// Waits until the fake has written file (a completion signal, bounded so a fault cannot hang).
bool WaitForFile(const FakeAdbDir& dir, const std::string& name) {
    return PollUntil([&] { return dir.Exists(name); }, std::chrono::seconds(30));
}

TEST(Win32Runner, ReturnsTheFirstBlockOfStandardOutputAndError) {
    FakeAdbDir dir("blocks");
    const auto commands = adb::BuildAdbCommands(dir.AppDir(), "C:\\cfg\\Default.xml");

    // A device list written at once comes back whole.
    dir.Write("devices.out", kListOneDevice);
    auto result = platform::RunFirstBlock(commands.devices, nullptr);
    EXPECT_EQ(result.status, ChildStatus::Output);
    EXPECT_EQ(result.output, kListOneDevice);

    // Of two writes with a pause between them, only the first is returned; the second comes only
    // once the runner has returned.
    dir.Write("devices.out", "List of devices attached\r\n");
    dir.Write("devices.later", "0123456789ABCDEF\tdevice\r\n\r\n");
    result = platform::RunFirstBlock(commands.devices, nullptr);
    dir.Write("devices.go", "");
    EXPECT_EQ(result.output, "List of devices attached\r\n");

    // Standard error reaches the same pipe.
    dir.Write("reboot.err", "error: no devices/emulators found\n");
    result = platform::RunFirstBlock(commands.reboot, nullptr);
    EXPECT_EQ(result.output, "error: no devices/emulators found\n");
    EXPECT_EQ(dir.Calls().size(), 3u);
}

TEST(Win32Runner, NothingWrittenIsEmptyAndAnUnknownCommandGivesTheInterpretersError) {
    auto result = platform::RunFirstBlock(Line("cmd.exe /c rem"), nullptr);
    EXPECT_EQ(result.status, ChildStatus::Output);
    EXPECT_EQ(result.output, "");

    result = platform::RunFirstBlock(Line("cmd.exe /c marlinq-no-such-command"), nullptr);
    EXPECT_EQ(result.status, ChildStatus::Output);
    EXPECT_NE(result.output.find("marlinq-no-such-command"), std::string::npos) << result.output;

    // A missing adb folder: the interpreter's complaint is no device list.
    FakeAdbDir dir("missing");
    std::filesystem::remove_all(dir.AdbDir());
    result = platform::RunFirstBlock(adb::BuildAdbCommands(dir.AppDir(), "x.xml").devices, nullptr);
    EXPECT_FALSE(result.output.empty());
    EXPECT_EQ(adb::ClassifyAdbOutput(result.output, adb::AdbOutputKind::ListDevices), adb::AdbOutcome::NoList)
        << result.output;
}

TEST(Win32Runner, ACancelEndsAHangingAdbTogetherWithItsInterpreter) {
    FakeAdbDir dir("hang");
    dir.Write("devices.hang", "");
    const auto commands = adb::BuildAdbCommands(dir.AppDir(), "x.xml");
    platform::ChildCancel cancel;
    platform::ChildResult result;
    std::thread runner([&] { result = platform::RunFirstBlock(commands.devices, &cancel); });
    const bool started = WaitForFile(dir, "devices.pid");
    cancel.Cancel();
    runner.join();
    ASSERT_TRUE(started) << "the fake adb never ran";
    EXPECT_EQ(result.status, ChildStatus::Cancelled);
    EXPECT_EQ(result.output, "");

    std::istringstream ids(dir.Read("devices.pid"));
    DWORD adbPid = 0, parentPid = 0;
    std::string parentName;
    ids >> adbPid >> parentPid >> parentName;
    EXPECT_EQ(CharLowerA(parentName.data()), std::string("cmd.exe")) << "adb runs under the interpreter";
    EXPECT_TRUE(PollUntil([&] { return ProcessEnded(adbPid); })) << "adb still runs";
    EXPECT_TRUE(PollUntil([&] { return ProcessEnded(parentPid); })) << "cmd.exe still runs";

    // Once cancelled, nothing more starts.
    result = platform::RunFirstBlock(commands.devices, &cancel);
    EXPECT_EQ(result.status, ChildStatus::Cancelled);
    EXPECT_EQ(dir.Calls().size(), 1u);
}

TEST(Win32Runner, ALineOf1024BytesIsRefusedAndOneOf1023Runs) {
    FakeAdbDir dir("long");
    ChildCommand command = adb::BuildAdbCommands(dir.AppDir(), "x.xml").devices;
    const std::string head = command.interpreterLine + " ";
    ASSERT_LT(head.size(), 1000u);

    command.interpreterLine = head + std::string(1024 - head.size(), 'x');
    auto result = platform::RunFirstBlock(command, nullptr);
    EXPECT_EQ(result.status, ChildStatus::TooLong);
    EXPECT_TRUE(dir.Calls().empty()) << "nothing started";

    const std::string longest(1023 - head.size(), 'y');
    command.interpreterLine = head + longest;
    result = platform::RunFirstBlock(command, nullptr);
    EXPECT_EQ(result.status, ChildStatus::Output);
    EXPECT_EQ(dir.Calls(), std::vector<std::string>{"2 [devices] [" + longest + "]"});
}

// The program folder lies on C: (the temporary folder), the test's current directory on Z:, where a
// "cd" alone would not take the interpreter.
TEST(Win32Runner, AdbRunsInTheProgramsAdbFolderAndGetsAPathWithBlanksAsOneArgument) {
    FakeAdbDir dir("args");
    dir.Write("push.out", kPushKb);
    dir.Write("devices.out", kListOneDevice);
    const std::string xml = "C:\\my cfg\\Default & more.xml";
    const auto commands = adb::BuildAdbCommands(dir.AppDir(), xml);
    RecordingHost host;
    EXPECT_EQ(adb::RunCommandLine(commands.devices, nullptr, host), kListOneDevice);
    EXPECT_EQ(adb::RunCommandLine(commands.push, nullptr, host), kPushKb);
    EXPECT_EQ(adb::RunCommandLine(commands.reboot, nullptr, host), "");
    EXPECT_EQ(dir.Calls(),
              (std::vector<std::string>{"1 [devices]", "3 [push] [" + xml + "] [/cache]", "1 [reboot]"}));
    const std::string adbDir = dir.AppDir() + "adb";
    EXPECT_EQ(dir.Lines("cwd.log"), (std::vector<std::string>{adbDir, adbDir, adbDir}));
    EXPECT_TRUE(host.logged.empty());
    EXPECT_TRUE(host.boxes.empty());
}

TEST(Win32Runner, APathWithAQuoteOrPercentSignIsRefusedAndAFailedStartIsAMessageBox) {
    FakeAdbDir dir("refused");
    dir.Write("push.out", kPushKb);
    for (const std::string xml : {"C:\\cfg\\a\"b.xml", "C:\\cfg\\%PATH%.xml", "C:\\cfg\\50%.xml"}) {
        RecordingHost host;
        EXPECT_EQ(adb::RunCommandLine(adb::BuildAdbCommands(dir.AppDir(), xml).push, nullptr, host), "")
            << xml;
        ASSERT_EQ(host.logged.size(), 1u) << xml;
        EXPECT_NE(host.logged[0].find("double quote or a percent sign"), std::string::npos);
    }
    RecordingHost host;
    EXPECT_EQ(
        adb::RunCommandLine(adb::BuildAdbCommands(dir.AppDir() + "100%\\", "x.xml").devices, nullptr, host),
        "");
    EXPECT_EQ(host.logged.size(), 1u);
    EXPECT_TRUE(dir.Calls().empty()) << "nothing was started";

    // No such program: the start fails, with the box and caption of the runner.
    ChildCommand missing = Line("marlinq-missing-interpreter.exe /c echo x");
    const auto result = platform::RunFirstBlock(missing, nullptr);
    EXPECT_EQ(result.status, ChildStatus::StartFailed);
    EXPECT_EQ(result.error, ERROR_FILE_NOT_FOUND);
    RecordingHost boxes;
    EXPECT_EQ(adb::RunCommandLine(missing, nullptr, boxes), "");
    EXPECT_EQ(boxes.boxes, std::vector<std::string>{"CreateProcess Failed!|\x1b$)A\x0eLaJ>\x0f|48"});
}

}  // namespace
