// The marlinq program, offscreen, closes its window the normal way on SIGTERM, SIGINT or SIGHUP
// (the terminal it was started from was closed).
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

#include "tests/support/poll.h"
#include "tests/support/run_process.h"

namespace {

// True once the process holds SIGTERM, SIGINT and SIGHUP back for its own handling.
bool HoldsTerminationSignals(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("SigBlk:", 0) == 0) {
            const unsigned long long mask = std::stoull(line.substr(7), nullptr, 16);
            const unsigned long long wanted =
                (1ull << (SIGTERM - 1)) | (1ull << (SIGINT - 1)) | (1ull << (SIGHUP - 1));
            return (mask & wanted) == wanted;
        }
    }
    return false;
}

}  // namespace

TEST(MarlinqProgram, TerminationSignalsCloseTheWindowAndTheProgramEndsNormally) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // One program per signal, side by side, so that their starts overlap.
    const int signals[] = {SIGTERM, SIGINT, SIGHUP};
    std::vector<std::unique_ptr<testsupport::ChildProcess>> programs;
    for (std::size_t i = 0; i < std::size(signals); ++i) {
        programs.push_back(
            std::make_unique<testsupport::ChildProcess>(MARLINQ_EXE, std::vector<std::string>{}));
    }
    for (std::size_t i = 0; i < programs.size(); ++i) {
        SCOPED_TRACE(signals[i]);
        // Bounded wait for the program to take the signals over; an old build never does, and
        // is then signalled anyway.
        testsupport::PollUntil([&] { return HoldsTerminationSignals(programs[i]->Pid()); });
        ASSERT_EQ(::kill(programs[i]->Pid(), signals[i]), 0);
    }
    for (std::size_t i = 0; i < programs.size(); ++i) {
        SCOPED_TRACE(signals[i]);
        const auto end = programs[i]->Wait();
        // Ending by itself with 0 means the window was closed and destroyed, and the program
        // returned from its run: the exit path that saves the configuration ran.
        EXPECT_EQ(end.signal, 0) << "killed by the signal: the window was never closed";
        EXPECT_EQ(end.exitCode, 0) << end.err;
    }
}
