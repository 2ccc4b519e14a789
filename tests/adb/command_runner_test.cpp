// RunCommandLine on POSIX: the adb commands run as argument vectors through fake adb programs, and
// the runner's outcomes as the adb operations see them.
#include "adb/command_runner.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include "adb/adb_commands.h"
#include "adb/adb_output.h"
#include "tests/adb/recording_host.h"
#include "tests/support/fake_adb.h"

namespace adb {
namespace {

using namespace testsupport;

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
    EXPECT_EQ(
        ParseAdbOutput(out, AdbOutputKind::ListDevices, [&](const std::string& t) { logged.push_back(t); }),
        AdbOutcome::NoList);
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
