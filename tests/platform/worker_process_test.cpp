#include "platform/worker_process.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace platform {
namespace {

std::unique_ptr<WorkerProcess> Shell(const std::string& script) {
    ChildCommand command;
    command.program = "/bin/sh";
    command.args = {"-c", script};
    std::string error;
    auto process = WorkerProcess::Start(command, &error);
    EXPECT_NE(process, nullptr) << error;
    return process;
}

std::vector<std::string> AllLines(WorkerProcess& process) {
    std::vector<std::string> lines;
    std::string line;
    while (process.ReadLine(&line)) {
        lines.push_back(line);
    }
    return lines;
}

TEST(WorkerProcess, LinesOfBothStreamsArriveInOrderAndTheExitCodeComesBack) {
    auto process = Shell("printf 'one\\r\\ntwo\\n'; echo three >&2; echo; printf 'last without end'; exit 7");
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(AllLines(*process), (std::vector<std::string>{"one", "two", "three", "", "last without end"}));
    EXPECT_EQ(process->Wait(), 7);
    EXPECT_EQ(process->Wait(), 7);  // asked again, same answer
}

TEST(WorkerProcess, AnOverlongLineIsCutAndTheNextLineStaysWhole) {
    const std::size_t n = kWorkerLineLimit + 5000;
    auto process = Shell("head -c " + std::to_string(n) + " /dev/zero | tr '\\0' x; echo; echo next");
    ASSERT_NE(process, nullptr);
    const auto lines = AllLines(*process);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(kWorkerLineLimit, 'x'));
    EXPECT_EQ(lines[1], "next");
    EXPECT_EQ(process->Wait(), 0);
}

TEST(WorkerProcess, TheChildGetsAnEmptyInputNoOtherDescriptorAndAGroupOfItsOwn) {
    // The child lists its open descriptors: 0, 1, 2 and the one ls itself opens to read the folder.
    auto process = Shell("cat; echo pgid=$(ps -o pgid= $$ | tr -d ' ') pid=$$; ls /proc/self/fd | wc -l");
    ASSERT_NE(process, nullptr);
    const auto lines = AllLines(*process);
    ASSERT_EQ(lines.size(), 2u);
    const auto pid = lines[0].substr(lines[0].find("pid=") + 4);
    EXPECT_EQ(lines[0], "pgid=" + pid + " pid=" + pid);
    EXPECT_EQ(lines[1], "4");
    EXPECT_EQ(process->Wait(), 0);
}

TEST(WorkerProcess, KillFromAnotherThreadEndsTheChildAndWhatItStarted) {
    // A grandchild holds the pipe open as well: the output ends only when both are gone.
    auto process = Shell("sleep 300 & echo started; wait");
    ASSERT_NE(process, nullptr);
    std::string line;
    ASSERT_TRUE(process->ReadLine(&line));
    EXPECT_EQ(line, "started");
    std::thread killer([&process] { process->Kill(); });
    EXPECT_FALSE(process->ReadLine(&line));
    killer.join();
    EXPECT_EQ(process->Wait(), -1);
    process->Kill();  // after the end: harmless
}

TEST(WorkerProcess, AProgramThatDoesNotExistIsReportedAndNothingRuns) {
    ChildCommand command;
    command.program = "/nonexistent/marlinq-worker";
    std::string error;
    EXPECT_EQ(WorkerProcess::Start(command, &error), nullptr);
    EXPECT_NE(error.find("cannot start /nonexistent/marlinq-worker"), std::string::npos) << error;
}

TEST(WorkerProcess, ADestroyedWorkerLeavesNoChildRunning) {
    std::string pid;
    {
        auto process = Shell("echo $$; exec sleep 300");
        ASSERT_NE(process, nullptr);
        ASSERT_TRUE(process->ReadLine(&pid));
    }
    // Collected: the number names no process of ours any more (a zombie would still be there).
    const std::string status = "/proc/" + pid + "/status";
    FILE* f = std::fopen(status.c_str(), "r");
    if (f != nullptr) {
        char buffer[256] = {};
        std::string text;
        while (std::fgets(buffer, sizeof buffer, f) != nullptr) {
            text += buffer;
        }
        std::fclose(f);
        EXPECT_EQ(text.find("PPid:\t" + std::to_string(::getpid())), std::string::npos) << text;
    }
}

}  // namespace
}  // namespace platform
