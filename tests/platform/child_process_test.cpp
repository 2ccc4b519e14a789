// The child process runner: first block only, merged standard error, the end without output, a
// child that never ends ended through its cancel, limits, working directory and start failures.
#include "platform/child_process.h"
#include "tests/support/poll.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace platform {
namespace {

namespace fs = std::filesystem;

ChildCommand Shell(const std::string& script, const std::string& dir = {}) {
    ChildCommand command;
    command.program = "/bin/sh";
    command.args = {"-c", script};
    command.workingDirectory = dir;
    return command;
}

class TempDir {
  public:
    TempDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_path = fs::temp_directory_path() /
                 ("marlinq-child-" + std::string(info->name()) + "-" + std::to_string(::getpid()));
        fs::remove_all(m_path);
        fs::create_directories(m_path);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    const fs::path& Path() const { return m_path; }

  private:
    fs::path m_path;
};

std::string ReadText(const fs::path& path) {
    std::ifstream in(path);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// True once the process is gone or only waits to be collected.
bool Ended(long pid) {
    const std::string stat = ReadText("/proc/" + std::to_string(pid) + "/stat");
    if (stat.empty()) {
        return true;
    }
    const auto close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() &&
           (stat[close + 2] == 'Z' || stat[close + 2] == 'X');
}

using testsupport::PollUntil;

TEST(ChildProcess, ReturnsTheFirstBlockOnlyWithStandardErrorOnTheSamePipe) {
    TempDir dir;
    const auto go = (dir.Path() / "go").string();
    // The second write comes only once the runner has returned.
    const auto first = RunFirstBlock(
        Shell("printf 'List of devices attached\\n0123456789ABCDEF\\tdevice\\n\\n'; i=0; while [ ! -f '" +
              go + "' ] && [ $i -lt 1000 ]; do sleep 0.01; i=$((i+1)); done; echo later"),
        nullptr);
    std::ofstream(go).put('\n');
    EXPECT_EQ(first.status, ChildStatus::Output);
    EXPECT_EQ(first.output, "List of devices attached\n0123456789ABCDEF\tdevice\n\n");

    const auto err = RunFirstBlock(Shell("echo 'adb: error: no devices/emulators found' >&2"), nullptr);
    EXPECT_EQ(err.status, ChildStatus::Output);
    EXPECT_EQ(err.output, "adb: error: no devices/emulators found\n");

    const auto big = RunFirstBlock(Shell("head -c 10000 /dev/zero | tr '\\0' x"), nullptr);
    EXPECT_EQ(big.status, ChildStatus::Output);
    EXPECT_GT(big.output.size(), 0u);
    EXPECT_LE(big.output.size(), kFirstBlockLimit);
}

TEST(ChildProcess, ACommandThatPrintsNothingAndEndsGivesTheEmptyText) {
    const auto result = RunFirstBlock(Shell("exit 3"), nullptr);
    EXPECT_EQ(result.status, ChildStatus::Output);
    EXPECT_EQ(result.output, "");
}

TEST(ChildProcess, ACancelEndsAChildThatNeverEndsAndWhatItStarted) {
    TempDir dir;
    ChildCancel cancel;
    const auto pids = dir.Path() / "pids";
    std::thread timeout([&] {
        // The time-out of the caller: it fires once the child runs.
        ASSERT_TRUE(PollUntil([&] { return ReadText(pids).find('\n') != std::string::npos; }));
        cancel.Cancel();
    });
    const auto result =
        RunFirstBlock(Shell("sleep 1000 & echo $$ $! > '" + pids.string() + "'; wait"), &cancel);
    timeout.join();
    EXPECT_EQ(result.status, ChildStatus::Cancelled);
    EXPECT_EQ(result.output, "");
    std::istringstream in(ReadText(pids));
    long shell = 0, sleeper = 0;
    in >> shell >> sleeper;
    ASSERT_GT(shell, 0);
    ASSERT_GT(sleeper, 0);
    EXPECT_TRUE(PollUntil([&] {
        ReapEndedChildren();
        return Ended(shell) && Ended(sleeper);
    }));

    // Once cancelled, nothing more starts.
    const auto marker = dir.Path() / "ran";
    const auto again = RunFirstBlock(Shell("touch '" + marker.string() + "'"), &cancel);
    EXPECT_EQ(again.status, ChildStatus::Cancelled);
    EXPECT_FALSE(fs::exists(marker));
}

TEST(ChildProcess, ACommandLineOf1024BytesOrMoreIsRefusedBeforeAnythingStarts) {
    TempDir dir;
    const auto marker = (dir.Path() / "ran").string();
    const std::string base = "touch '" + marker + "' #";
    auto padded = [&](std::size_t length) {
        auto command = Shell(base);
        const std::size_t now = CommandLineText(command).size();
        command.args[1] += std::string(length - now, 'x');
        EXPECT_EQ(CommandLineText(command).size(), length);
        return command;
    };
    EXPECT_EQ(RunFirstBlock(padded(1024), nullptr).status, ChildStatus::TooLong);
    EXPECT_EQ(RunFirstBlock(padded(5000), nullptr).status, ChildStatus::TooLong);
    EXPECT_FALSE(fs::exists(marker));
    EXPECT_EQ(RunFirstBlock(padded(1023), nullptr).status, ChildStatus::Output);
    EXPECT_TRUE(fs::exists(marker));
}

TEST(ChildProcess, RunsInItsWorkingDirectoryAndInheritsNoOtherDescriptor) {
    TempDir dir;
    const int stray = ::open("/dev/null", O_RDONLY);  // deliberately inheritable
    ASSERT_GE(stray, 3);
    const auto result =
        RunFirstBlock(Shell("pwd; ls /proc/$$/fd | tr '\\n' ' '", dir.Path().string()), nullptr);
    ::close(stray);
    EXPECT_EQ(result.status, ChildStatus::Output);
    std::istringstream lines(result.output);
    std::string pwd, fds;
    std::getline(lines, pwd);
    std::getline(lines, fds);
    EXPECT_EQ(fs::path(pwd), fs::canonical(dir.Path()));
    EXPECT_EQ(fds.find(" " + std::to_string(stray) + " "), std::string::npos) << fds;
}

TEST(ChildProcess, AMissingProgramOrWorkingDirectoryIsReportedAsNotFound) {
    TempDir dir;
    ChildCommand missing;
    missing.program = (dir.Path() / "adb" / "adb").string();
    missing.args = {"devices"};
    const auto noProgram = RunFirstBlock(missing, nullptr);
    EXPECT_EQ(noProgram.status, ChildStatus::NotFound);
    EXPECT_EQ(noProgram.error, ENOENT);

    const auto noDir = RunFirstBlock(Shell("echo ran", (dir.Path() / "absent").string()), nullptr);
    EXPECT_EQ(noDir.status, ChildStatus::NotFound);
    EXPECT_EQ(noDir.output, "");
}

}  // namespace
}  // namespace platform
