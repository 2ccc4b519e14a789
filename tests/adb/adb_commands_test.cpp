// The adb commands: argument vectors run in <program dir>/adb, the interpreter line kept exactly
// for the platforms that use it, and the runner's outcomes as the adb operations see them.
#include "adb/adb_commands.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <mutex>

#include "adb/adb_output.h"
#include "adb/command_runner.h"
#include "tests/support/fake_adb.h"

namespace adb {
namespace {

using namespace testsupport;

// Records what the runner reports.
struct RecordingHost : IAdbHost {
    void AddLog(const std::string& text) override { logged.push_back(text); }
    void ShowMessageBox(const std::string& text, const std::string& caption, unsigned type) override {
        boxes.push_back(text + "|" + caption + "|" + std::to_string(type));
    }
    int AtQueryAdb() override { return 0; }
    int AtEnableAdb() override { return 0; }
    int AtResetModule() override { return 0; }
    int AtHideAdb() override { return 0; }
    void OnBtnScanPort() override {}
    void ArmAdbTimeout() override {}
    void DisarmAdbTimeout() override {}
    HTHREAD StartWorker(fw::CWorkerThread::Body) override { return nullptr; }
    HTHREAD StartPushWorker(fw::CWorkerThread::Body) override { return nullptr; }
    int PendingPush() override { return 0; }
    void SetPendingPush(int) override {}
    std::string AppDirectory() override { return {}; }
    std::vector<std::string> logged;
    std::vector<std::string> boxes;
};

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

TEST(RunCommandLine, APathWithBlanksQuotesAndShellSyntaxReachesAdbAsOneArgument) {
    FakeAdbDir dir("args");
    dir.Write("push.out", kPushMb);
    const auto marker = dir.AdbDir() / "injected";
    const std::string path = "/tmp/my cfg/it's \"quoted\"; touch " + marker.string() + " $(touch " +
                             marker.string() + ") `touch " + marker.string() + "` & | > 配置 é.xml";
    RecordingHost host;
    const auto commands = BuildAdbCommands(dir.AppDir(), path);
    EXPECT_EQ(RunCommandLine(commands.push, nullptr, host), kPushMb);
    ASSERT_EQ(dir.Calls().size(), 1u);
    EXPECT_EQ(dir.Calls()[0], "3 [push] [" + path + "] [/cache]");
    EXPECT_FALSE(std::filesystem::exists(marker)) << "nothing of the name ran";
    EXPECT_TRUE(host.logged.empty());
    EXPECT_TRUE(host.boxes.empty());
}

TEST(RunCommandLine, AMissingAdbGivesAnErrorTextThatIsNoDeviceList) {
    FakeAdbDir dir("missing");
    std::filesystem::remove_all(dir.AdbDir());
    RecordingHost host;
    const auto commands = BuildAdbCommands(dir.AppDir(), "/tmp/x.xml");
    const std::string out = RunCommandLine(commands.devices, nullptr, host);
    EXPECT_NE(out.find(dir.AppDir() + "adb/adb"), std::string::npos) << out;
    EXPECT_NE(out.find("No such file or directory"), std::string::npos) << out;
    std::vector<std::string> logged;
    EXPECT_EQ(ParseAdbOutput(out, ADB_LIST_DEVICES, [&](const std::string& t) { logged.push_back(t); }),
              ADB_NO_LIST);
    EXPECT_EQ(logged, std::vector<std::string>{out});
    EXPECT_TRUE(host.boxes.empty());
}

TEST(RunCommandLine, ATooLongCommandIsLoggedAndNotRun) {
    FakeAdbDir dir("long");
    RecordingHost host;
    const auto commands = BuildAdbCommands(dir.AppDir(), "/tmp/" + std::string(1100, 'x') + ".xml");
    EXPECT_EQ(RunCommandLine(commands.push, nullptr, host), "");
    EXPECT_TRUE(dir.Calls().empty());
    ASSERT_EQ(host.logged.size(), 1u);
    EXPECT_NE(host.logged[0].find("too long"), std::string::npos);
}

TEST(RunCommandLine, FirstBurstOnly) {
    FakeAdbDir dir("burst");
    dir.Write("devices.out", "List of devices attached\n");
    dir.Write("devices.later", "0123456789ABCDEF\tdevice\n\n");
    RecordingHost host;
    // The second burst comes only after the runner has returned.
    EXPECT_EQ(RunCommandLine(BuildAdbCommands(dir.AppDir(), "").devices, nullptr, host),
              "List of devices attached\n");
    dir.Write("devices.go", "");
}

TEST(RunCommandLine, APipeOrProcessThatCannotBeCreatedIsAMessageBox) {
    FakeAdbDir dir("boxes");
    dir.Write("devices.out", kListOneDevice);
    const auto commands = BuildAdbCommands(dir.AppDir(), "/tmp/x.xml");
    const std::string caption = "\x1b$)A\x0eLaJ>\x0f";

    // A program that is open for writing cannot be started.
    RecordingHost busy;
    const int writer = ::open((dir.AdbDir() / "adb").c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    EXPECT_EQ(RunCommandLine(commands.devices, nullptr, busy), "");
    ::close(writer);
    EXPECT_EQ(busy.boxes, std::vector<std::string>{"CreateProcess Failed!|" + caption + "|48"});

    // No descriptor left for the pipe.
    RecordingHost noPipe;
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    const int lowestFree = ::dup(0);
    ASSERT_GE(lowestFree, 0);
    ::close(lowestFree);
    rlimit tight = limit;
    tight.rlim_cur = static_cast<rlim_t>(lowestFree);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &tight), 0);
    const std::string out = RunCommandLine(commands.devices, nullptr, noPipe);
    ::setrlimit(RLIMIT_NOFILE, &limit);
    EXPECT_EQ(out, "");
    EXPECT_EQ(noPipe.boxes, std::vector<std::string>{"CreatePipe Failed!|" + caption + "|48"});
    EXPECT_TRUE(dir.Calls().empty()) << "nothing ran";
}

}  // namespace
}  // namespace adb
