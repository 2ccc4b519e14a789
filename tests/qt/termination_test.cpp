// The marlinq program, offscreen, closes its window the normal way on SIGTERM, SIGINT or SIGHUP
// (the terminal it was started from was closed).
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

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
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        testsupport::ChildProcess marlinq(MARLINQ_EXE, {});
        // Bounded wait for the program to take the signals over; an old build never does, and
        // is then signalled anyway.
        testsupport::PollUntil([&] { return HoldsTerminationSignals(marlinq.Pid()); });
        ASSERT_EQ(::kill(marlinq.Pid(), signal), 0);
        const auto end = marlinq.Wait();
        // Ending by itself with 0 means the window was closed and destroyed, and the program
        // returned from its run: the exit path that saves the configuration ran.
        EXPECT_EQ(end.signal, 0) << "killed by the signal: the window was never closed";
        EXPECT_EQ(end.exitCode, 0) << end.err;
    }
}
