// The adb commands: argument vectors run in <program dir>/adb, and the interpreter line kept exactly
// for the platforms that use it, with the names it cannot carry safely refused.
#include "adb/adb_commands.h"

#include <gtest/gtest.h>

namespace adb {
namespace {

TEST(AdbCommands, AreArgumentVectorsRunInTheAdbDirectory) {
    const auto c = BuildAdbCommands("/opt/marlinq/", "/home/op/cfg/Default.xml");
    for (const auto* command : {&c.devices, &c.push, &c.reboot}) {
        EXPECT_EQ(command->program, "/opt/marlinq/adb/adb");
        EXPECT_EQ(command->workingDirectory, "/opt/marlinq/adb");
    }
    EXPECT_EQ(c.devices.args, (std::vector<std::string>{"devices"}));
    EXPECT_EQ(c.push.args, (std::vector<std::string>{"push", "/home/op/cfg/Default.xml", "/cache"}));
    EXPECT_EQ(c.reboot.args, (std::vector<std::string>{"reboot"}));
}

TEST(AdbCommands, KeepTheInterpreterLineAndRefuseQuotesAndPercentSigns) {
    const auto c = BuildAdbCommands("C:\\Tools\\", "D:\\cfg\\Default.xml");
    EXPECT_EQ(c.push.interpreterLine,
              "cmd.exe /c cd \"C:\\Tools\\adb\" && adb push \"D:\\cfg\\Default.xml\" /cache");
    EXPECT_EQ(c.devices.interpreterLine, "cmd.exe /c cd \"C:\\Tools\\adb\" && adb devices");
    EXPECT_EQ(c.reboot.interpreterLine, "cmd.exe /c cd \"C:\\Tools\\adb\" && adb reboot");
    EXPECT_EQ(c.push.program, "C:\\Tools\\adb\\adb");

    for (const char* bad : {"D:\\a\"b.xml", "D:\\%PATH%.xml", "D:\\50%.xml"}) {
        const auto refused = BuildAdbCommands("C:\\Tools\\", bad);
        EXPECT_EQ(refused.push.interpreterLine, "") << bad;
        EXPECT_NE(refused.devices.interpreterLine, "") << "only the command holding the path is refused";
        EXPECT_EQ(refused.push.args[1], bad) << "the argument vector carries any name";
    }
    EXPECT_EQ(BuildAdbCommands("C:\\100%\\", "x.xml").devices.interpreterLine, "");
}

}  // namespace
}  // namespace adb
