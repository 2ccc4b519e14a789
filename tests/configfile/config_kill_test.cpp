// A saving process killed at any moment never leaves a broken parameter file behind.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include "config_test_support.h"
#include "configfile/config_document.h"
#include "configfile/config_save.h"

extern char** environ;

namespace {

using namespace configtest;

constexpr int kKills = 100;
// Savers run side by side, each on a file of its own, so that their starts and flushes overlap.
constexpr int kSavers = 5;

std::size_t TempFilesLeft(const fs::path& dir) {
    std::size_t n = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        n += name.rfind(".Config.xml.", 0) == 0 ? 1 : 0;
    }
    return n;
}

struct KillCounts {
    int killed = 0;
    int heldOld = 0;
    int heldNew = 0;
};

// Starts the saving program on the target in dir `rounds` times and kills it at a random moment
// each time; after each kill the file holds one of the two documents whole.
void KillSavers(const TempDir& dir, int rounds, unsigned seed, const configfile::ConfigValues& oldValues,
                const configfile::ConfigValues& newValues, KillCounts* counts) {
    const std::string target = dir / "Config.xml";
    std::mt19937 random(seed);
    for (int round = 0; round < rounds; ++round) {
        int out[2];
        // Close-on-exec, so that a saver started meanwhile by another thread does not hold this one's
        // pipe open.
        ASSERT_EQ(::pipe2(out, O_CLOEXEC), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        std::string program = SAVE_LOOP_EXE;
        std::string dirArg = dir.path().string();
        char* argv[] = {program.data(), const_cast<char*>(target.c_str()), dirArg.data(), nullptr};
        pid_t pid = -1;
        ASSERT_EQ(posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        // Three rounds in four the kill falls after the first complete save, somewhere in the
        // following saves; the others kill the process while it starts or saves for the first time.
        if (random() % 4 != 0) {
            char ready = 0;
            ASSERT_EQ(::read(out[0], &ready, 1), 1) << "the saver ended before its first save";
        }
        // Up to about two saves long: the kill falls into a save of either document.
        ::usleep(std::uniform_int_distribution<useconds_t>(0, 16000)(random));
        ::kill(pid, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ::close(out[0]);
        counts->killed += WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL ? 1 : 0;

        configfile::ConfigValues values;
        ASSERT_EQ(configfile::ReadConfigFile(target, &values), configfile::ConfigReadOutcome::kRead)
            << "round " << round << ", seed " << seed;
        const bool isOld = SameParameters(values, oldValues);
        const bool isNew = SameParameters(values, newValues);
        ASSERT_TRUE(isOld || isNew) << "round " << round << ", seed " << seed;
        counts->heldOld += isOld ? 1 : 0;
        counts->heldNew += isNew ? 1 : 0;
    }
}

TEST(ConfigSaveFault, KilledSaverLeavesOldOrNewFile) {
    const configfile::ConfigValues oldValues = KillTestValues(false);
    const configfile::ConfigValues newValues = KillTestValues(true);
    const std::string oldDocument = configfile::WriteConfigDocument(oldValues);
    ASSERT_GT(oldDocument.size(), 3 * configfile::kCopyChunkBytes);
    std::vector<std::unique_ptr<TempDir>> dirs;
    for (int i = 0; i < kSavers; ++i) {
        dirs.push_back(std::make_unique<TempDir>());
        ASSERT_EQ(configfile::SaveDocumentThroughScratch(oldDocument, *dirs.back() / "Config.xml",
                                                         *dirs.back() / "CompoundFile.cmp")
                      .outcome,
                  configfile::ConfigSaveOutcome::kSaved);
    }

    const unsigned seed = std::random_device{}();
    std::vector<KillCounts> counts(kSavers);
    std::vector<std::thread> threads;
    for (int i = 0; i < kSavers; ++i) {
        threads.emplace_back(KillSavers, std::cref(*dirs[i]), kKills / kSavers, seed + i,
                             std::cref(oldValues), std::cref(newValues), &counts[i]);
    }
    for (auto& t : threads) {
        t.join();
    }
    KillCounts all;
    for (const auto& c : counts) {
        all.killed += c.killed;
        all.heldOld += c.heldOld;
        all.heldNew += c.heldNew;
    }
    std::printf("%d saving processes killed: file held the old values %d times, the new values %d times\n",
                all.killed, all.heldOld, all.heldNew);
    RecordProperty("killed", all.killed);
    EXPECT_EQ(all.killed, kKills);
    EXPECT_GT(all.heldOld, 0);
    EXPECT_GT(all.heldNew, 0);
    for (const auto& dir : dirs) {
        // Killed savers leave at most their own temporary file; the next save clears them away.
        EXPECT_LE(TempFilesLeft(dir->path()), 1u);
        ASSERT_EQ(configfile::SaveDocumentThroughScratch(oldDocument, *dir / "Config.xml",
                                                         *dir / "CompoundFile.cmp")
                      .outcome,
                  configfile::ConfigSaveOutcome::kSaved);
        EXPECT_EQ(TempFilesLeft(dir->path()), 0u);
    }
}

}  // namespace
