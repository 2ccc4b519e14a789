// Atomic replacement: temporary names, stale leftovers, and the old file kept on every failure.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/atomic_file.h"
#include "platform/process_alive.h"
#include "tests/support/read_file.h"

namespace {

namespace fs = std::filesystem;

struct Dir {
    Dir() : path(fs::temp_directory_path() / ("marlinq-atomic-" + std::to_string(::getpid()))) {
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~Dir() { fs::remove_all(path); }
    fs::path path;
};

std::size_t Entries(const fs::path& dir) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) {
        ++n;
    }
    return n;
}

TEST(AtomicFile, TempNamesEncodeTheirOwner) {
    const std::string name = platform::AtomicTempName("Config.xml", 4321, 7);
    EXPECT_EQ(name.front(), '.');
    EXPECT_EQ(platform::AtomicTempOwner(name, "Config.xml"), 4321);
    EXPECT_EQ(platform::AtomicTempOwner(name, "Other.xml"), -1);
    for (const char* other : {"Config.xml", ".Config.xml.tmp", ".Config.xml.12.tmp", ".Config.xml.-1-2.tmp",
                              ".Config.xml.12-.tmp", ".Config.xml.x-1.tmp", ".Config.xml.1-2.tmpx"}) {
        EXPECT_EQ(platform::AtomicTempOwner(other, "Config.xml"), -1) << other;
    }
}

TEST(AtomicFile, WritesAreInvisibleUntilCommit) {
    Dir dir;
    const fs::path target = dir.path / "Config.xml";
    std::ofstream(target) << "old";
    platform::AtomicFileWriter writer;
    ASSERT_TRUE(writer.Open(target.string()));
    ASSERT_TRUE(writer.Write("new ", 4));
    ASSERT_TRUE(writer.Write("content", 7));
    EXPECT_EQ(testsupport::ReadFile(target), "old");
    EXPECT_TRUE(fs::exists(writer.TempPath()));
    EXPECT_EQ(fs::path(writer.TempPath()).parent_path(), dir.path);
    ASSERT_TRUE(writer.Commit());
    EXPECT_EQ(testsupport::ReadFile(target), "new content");
    EXPECT_EQ(Entries(dir.path), 1u);
    // An abandoned replacement leaves nothing behind.
    {
        platform::AtomicFileWriter dropped;
        ASSERT_TRUE(dropped.Open(target.string()));
        ASSERT_TRUE(dropped.Write("x", 1));
    }
    EXPECT_EQ(testsupport::ReadFile(target), "new content");
    EXPECT_EQ(Entries(dir.path), 1u);
}

TEST(AtomicFile, LeftoversOfEndedProcessesAreRemovedOthersKept) {
    Dir dir;
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    ASSERT_GT(child, 0);
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    ASSERT_FALSE(platform::ProcessAlive(child));
    const fs::path dead = dir.path / platform::AtomicTempName("Config.xml", child, 0);
    const fs::path alive = dir.path / platform::AtomicTempName("Config.xml", ::getppid(), 3);
    const fs::path otherTarget = dir.path / platform::AtomicTempName("Other.xml", child, 0);
    for (const auto& p : {dead, alive, otherTarget}) {
        std::ofstream(p) << "partial";
    }
    platform::AtomicFileWriter writer;
    ASSERT_TRUE(writer.Open((dir.path / "Config.xml").string()));
    EXPECT_FALSE(fs::exists(dead));
    EXPECT_TRUE(fs::exists(alive));
    EXPECT_TRUE(fs::exists(otherTarget));
    writer.Abandon();
}

TEST(AtomicFile, EveryFailedStepReportsAndKeepsTheOldFile) {
    Dir dir;
    const fs::path target = dir.path / "Config.xml";
    for (const auto step : {platform::ReplaceStep::kCreate, platform::ReplaceStep::kWrite,
                            platform::ReplaceStep::kSync, platform::ReplaceStep::kRename}) {
        std::ofstream(target) << "old";
        platform::InjectReplaceFault(step);
        platform::AtomicFileWriter writer;
        const bool done = writer.Open(target.string()) && writer.Write("new", 3) && writer.Commit();
        platform::InjectReplaceFault(platform::ReplaceStep::kNone);
        EXPECT_FALSE(done);
        EXPECT_EQ(writer.FailedStep(), step);
        EXPECT_EQ(writer.ErrorText(), "Input/output error");
        EXPECT_EQ(testsupport::ReadFile(target), "old");
        EXPECT_EQ(Entries(dir.path), 1u);
    }
}

}  // namespace
