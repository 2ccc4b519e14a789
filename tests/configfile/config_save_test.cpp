// Saving through the scratch container: byte-exact copies, the container left behind, failures.
#include <gtest/gtest.h>

#include <pthread.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <new>
#include <string>
#include <vector>

#include "config_test_support.h"
#include "configfile/config_save.h"
#include "configfile/scratch_container.h"

namespace {

using namespace configtest;
using configfile::ConfigSaveOutcome;

// Bytes that differ at every position, so a chunk copied twice, skipped or shifted shows.
std::string Pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    }
    return bytes;
}

TEST(ConfigSave, ChunkBoundarySizesArriveByteForByte) {
    TempDir dir;
    for (const std::size_t size :
         {std::size_t{0}, std::size_t{1}, std::size_t{1023}, std::size_t{1024}, std::size_t{1025},
          std::size_t{2048}, std::size_t{3072}, std::size_t{5000}}) {
        const std::string target = dir / "Config.xml";
        const std::string bytes = Pattern(size);
        const auto result = configfile::SaveDocumentThroughScratch(bytes, target, dir / "CompoundFile.cmp");
        ASSERT_EQ(result.outcome, ConfigSaveOutcome::kSaved) << size;
        EXPECT_EQ(ReadBytes(target), bytes) << size;
        // The container stays in place and holds the same bytes in its stream.
        configfile::ScratchContainer scratch;
        ASSERT_TRUE(scratch.Open(dir / "CompoundFile.cmp", configfile::kScratchStreamName));
        EXPECT_EQ(scratch.Size(), size);
        std::string stream(size, '\0');
        EXPECT_EQ(scratch.Read(stream.data(), size + 10), size);
        EXPECT_EQ(stream, bytes);
        EXPECT_FALSE(scratch.Open(dir / "CompoundFile.cmp", "OtherStream"));
    }
}

TEST(ConfigSave, ScratchContainerGoesToTheCurrentDirectoryByDefault) {
    TempDir dir;
    const fs::path before = fs::current_path();
    fs::current_path(dir.path());
    const auto result = configfile::SaveDocumentThroughScratch("<system/>\n", dir / "out.xml");
    fs::current_path(before);
    EXPECT_EQ(result.outcome, ConfigSaveOutcome::kSaved);
    EXPECT_TRUE(fs::exists(dir.path() / "CompoundFile.cmp"));
    EXPECT_EQ(ReadBytes(dir.path() / "out.xml"), "<system/>\n");
}

TEST(ConfigSave, ScratchThatCannotBeCreatedFailsBeforeTheTargetIsTouched) {
    TempDir dir;
    const std::string target = dir / "Config.xml";
    WriteBytes(target, "old");
    const auto result =
        configfile::SaveDocumentThroughScratch("new", target, dir / "missing/CompoundFile.cmp");
    EXPECT_EQ(result.outcome, ConfigSaveOutcome::kScratchFailed);
    EXPECT_EQ(ReadBytes(target), "old");
}

TEST(ConfigSave, TargetFailuresKeepTheOldFileAndLeaveNoTemporaryFile) {
    TempDir dir;
    const std::string target = dir / "Config.xml";
    const std::string scratch = dir / "CompoundFile.cmp";
    struct Case {
        platform::ReplaceStep step;
        ConfigSaveOutcome outcome;
    };
    for (const Case c : {Case{platform::ReplaceStep::kCreate, ConfigSaveOutcome::kTargetOpenFailed},
                         Case{platform::ReplaceStep::kWrite, ConfigSaveOutcome::kTargetWriteFailed},
                         Case{platform::ReplaceStep::kSync, ConfigSaveOutcome::kTargetWriteFailed},
                         Case{platform::ReplaceStep::kRename, ConfigSaveOutcome::kTargetWriteFailed}}) {
        WriteBytes(target, "old settings");
        platform::InjectReplaceFault(c.step);
        const auto result = configfile::SaveDocumentThroughScratch(Pattern(3000), target, scratch);
        platform::InjectReplaceFault(platform::ReplaceStep::kNone);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.failedStep, c.step);
        EXPECT_FALSE(result.errorText.empty());
        EXPECT_EQ(ReadBytes(target), "old settings");
        std::size_t entries = 0;
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir.path())) {
            ++entries;
        }
        EXPECT_EQ(entries, 2u) << "only the target and the container remain";
    }
    // A failed flush of the directory: the new content is in place, but the save is reported as
    // failed because it may not survive a power cut.
    platform::InjectReplaceFault(platform::ReplaceStep::kSyncDirectory);
    const auto result = configfile::SaveDocumentThroughScratch("new", target, scratch);
    platform::InjectReplaceFault(platform::ReplaceStep::kNone);
    EXPECT_EQ(result.outcome, ConfigSaveOutcome::kTargetWriteFailed);
    EXPECT_EQ(result.failedStep, platform::ReplaceStep::kSyncDirectory);
}

TEST(ConfigSave, UnwritableDirectoryAndFullDiskAreFailures) {
    TempDir dir;
    const std::string scratch = dir / "CompoundFile.cmp";
    EXPECT_EQ(configfile::SaveDocumentThroughScratch("x", dir / "no/such/dir/Config.xml", scratch).outcome,
              ConfigSaveOutcome::kTargetOpenFailed);
    EXPECT_EQ(configfile::SaveDocumentThroughScratch("x", dir.path().string() + "/", scratch).outcome,
              ConfigSaveOutcome::kTargetRefused);
    if (::geteuid() != 0) {  // root writes anywhere
        const fs::path locked = dir.path() / "locked";
        fs::create_directories(locked);
        WriteBytes(locked / "Config.xml", "old");
        fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_EQ(
            configfile::SaveDocumentThroughScratch("x", (locked / "Config.xml").string(), scratch).outcome,
            ConfigSaveOutcome::kTargetOpenFailed);
        fs::permissions(locked, fs::perms::owner_all);
        EXPECT_EQ(ReadBytes(locked / "Config.xml"), "old");
    }
}

TEST(ConfigSave, ReplacementKeepsPermissionsAndFollowsALink) {
    TempDir dir;
    const std::string target = dir / "Config.xml";
    WriteBytes(target, "old");
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_EQ(configfile::SaveDocumentThroughScratch("new", target, dir / "c.cmp").outcome,
              ConfigSaveOutcome::kSaved);
    struct stat st = {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(ReadBytes(target), "new");
    const std::string link = dir / "link.xml";
    fs::create_symlink(target, link);
    ASSERT_EQ(configfile::SaveDocumentThroughScratch("via link", link, dir / "c.cmp").outcome,
              ConfigSaveOutcome::kSaved);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(target), "via link");
}

// Two programs saving in one directory at once share the scratch container: they take turns with
// it, and each target gets its own document, never the other's or a mix.
TEST(ConfigSave, ConcurrentSavesThroughOneScratchContainerNeverMixTheirDocuments) {
    TempDir dir;
    const std::string scratch = dir / "CompoundFile.cmp";
    pid_t children[2] = {};
    for (int who = 0; who < 2; ++who) {
        children[who] = ::fork();
        if (children[who] == 0) {
            const std::string target = dir / ("target" + std::to_string(who) + ".xml");
            // Documents of their own, spanning several copy chunks.
            const std::string document = std::string(5000, static_cast<char>('a' + who)) + "\n";
            for (int round = 0; round < 100; ++round) {
                if (configfile::SaveDocumentThroughScratch(document, target, scratch).outcome !=
                        ConfigSaveOutcome::kSaved ||
                    ReadBytes(target) != document) {
                    ::_exit(1);
                }
            }
            ::_exit(0);
        }
        ASSERT_GT(children[who], 0);
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << "a save got a document that was not its own";
    }
}

// The children of the race below: each saves once per round, all of them released together by a
// barrier they share, and notes the first round in which its save failed or got a foreign document.
constexpr int kRaceProcesses = 8;
struct FirstSaveRace {
    pthread_barrier_t start;
    int failedRound[kRaceProcesses];
};

// The first saves in a directory race to make the container: none of them may cut the one
// another has just made and is copying from. Eight processes start together, many times over,
// each time in a directory without a container.
TEST(ConfigSave, FirstSavesInADirectoryWithoutAContainerNeverCutEachOther) {
    constexpr int kProcesses = kRaceProcesses;
    constexpr int kRounds = 40;
    TempDir dir;
    for (int round = 0; round < kRounds; ++round) {
        const std::string folder = dir / ("round" + std::to_string(round));
        ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    }
    void* const shared =
        ::mmap(nullptr, sizeof(FirstSaveRace), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(shared, MAP_FAILED);
    auto* race = new (shared) FirstSaveRace{};
    pthread_barrierattr_t attr;
    ASSERT_EQ(::pthread_barrierattr_init(&attr), 0);
    ASSERT_EQ(::pthread_barrierattr_setpshared(&attr, PTHREAD_PROCESS_SHARED), 0);
    ASSERT_EQ(::pthread_barrier_init(&race->start, &attr, kProcesses), 0);
    ::pthread_barrierattr_destroy(&attr);
    for (int& failed : race->failedRound) {
        failed = -1;
    }

    std::vector<pid_t> children;
    for (int who = 0; who < kProcesses; ++who) {
        const pid_t child = ::fork();
        if (child == 0) {
            try {
                const std::string document = std::string(3000, static_cast<char>('a' + who)) + "\n";
                for (int round = 0; round < kRounds; ++round) {
                    // Every child takes part in every round, failed or not, so that none waits alone.
                    ::pthread_barrier_wait(&race->start);
                    const std::string folder = dir / ("round" + std::to_string(round));
                    const std::string target = folder + "/target" + std::to_string(who) + ".xml";
                    const bool own =
                        configfile::SaveDocumentThroughScratch(document, target, folder + "/CompoundFile.cmp")
                                .outcome == ConfigSaveOutcome::kSaved &&
                        ReadBytes(target) == document;
                    if (!own && race->failedRound[who] < 0) {
                        race->failedRound[who] = round;
                    }
                }
            } catch (...) {
                ::_exit(1);
            }
            ::_exit(0);
        }
        ASSERT_GT(child, 0);
        children.push_back(child);
    }
    // A child that dies leaves the others waiting at the barrier: they are ended at once.
    bool allEnded = true;
    std::vector<pid_t> left = children;
    while (!left.empty()) {
        int status = 0;
        const pid_t ended = ::waitpid(-1, &status, 0);
        ASSERT_GT(ended, 0);
        if (std::erase(left, ended) == 0) {
            continue;  // not one of this race's
        }
        if (!(WIFEXITED(status) && WEXITSTATUS(status) == 0) && allEnded) {
            allEnded = false;
            for (const pid_t child : left) {
                ::kill(child, SIGKILL);
            }
        }
    }
    EXPECT_TRUE(allEnded) << "a saving process died";
    for (int who = 0; who < kProcesses; ++who) {
        EXPECT_EQ(race->failedRound[who], -1)
            << "process " << who << ", round " << race->failedRound[who]
            << ": a first save failed or got a document that was not its own";
    }
    ::pthread_barrier_destroy(&race->start);
    ::munmap(shared, sizeof(FirstSaveRace));
}

}  // namespace
