// The marlinq program as an installed copy: started in its own folder that is not the user's own
// (as a menu entry may start it), it keeps that folder free of files and saves into the user's data
// folder, scratch container included; a portable copy started in its folder saves there.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "tests/support/poll.h"
#include "tests/support/run_process.h"

namespace {

namespace fs = std::filesystem;

bool HoldsSigterm(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("SigBlk:", 0) == 0) {
            return (std::stoull(line.substr(7), nullptr, 16) & (1ull << (SIGTERM - 1))) != 0;
        }
    }
    return false;
}

class InstalledCopy : public ::testing::Test {
  protected:
    void SetUp() override {
        m_root = fs::temp_directory_path() / ("marlinq-installed-" + std::to_string(::getpid()));
        fs::create_directories(m_root / "app");
        fs::copy_file(MARLINQ_EXE, m_root / "app" / "marlinq");
    }
    void TearDown() override {
        ::chmod((m_root / "app").c_str(), 0700);
        fs::remove_all(m_root);
    }
    // Starts the copy with its own folder as the current directory, lets it come up, and closes
    // its window with SIGTERM (which saves Config.xml on the way out).
    void RunInItsFolderAndClose() {
        const std::string command = "cd '" + (m_root / "app").string() + "' && QT_QPA_PLATFORM=offscreen " +
                                    "XDG_DATA_HOME='" + (m_root / "xdg").string() + "' exec ./marlinq";
        testsupport::ChildProcess marlinq("/bin/sh", {"-c", command});
        testsupport::PollUntil([&] { return HoldsSigterm(marlinq.Pid()); });
        ASSERT_EQ(::kill(marlinq.Pid(), SIGTERM), 0);
        const auto end = marlinq.Wait();
        ASSERT_EQ(end.exitCode, 0) << end.err;
    }

    fs::path m_root;
};

TEST_F(InstalledCopy, StartedInItsReadOnlyFolderItSavesEverythingInTheDataFolder) {
    ::chmod((m_root / "app").c_str(), 0555);
    RunInItsFolderAndClose();
    const fs::path data = m_root / "xdg" / "marlinq";
    EXPECT_TRUE(fs::exists(data / "Config.xml"));
    EXPECT_TRUE(fs::exists(data / "CompoundFile.cmp")) << "the save's current directory is the data folder";
    EXPECT_EQ(fs::directory_iterator(m_root / "app")->path().filename(), "marlinq");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_root / "app"), fs::directory_iterator()), 1);
}

TEST_F(InstalledCopy, APortableCopyStartedInItsFolderSavesThere) {
    RunInItsFolderAndClose();
    EXPECT_TRUE(fs::exists(m_root / "app" / "Config.xml"));
    EXPECT_TRUE(fs::exists(m_root / "app" / "CompoundFile.cmp"));
    EXPECT_FALSE(fs::exists(m_root / "xdg"));
}

}  // namespace
