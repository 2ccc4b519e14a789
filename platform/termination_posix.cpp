// Termination requests on POSIX: SIGTERM and SIGINT are blocked in every thread and taken by a
// thread of their own with sigwait, so the program's own code runs in an ordinary thread.
#include <pthread.h>
#include <signal.h>

#include <cstdlib>
#include <thread>
#include <utility>

#include "platform/termination.h"

namespace platform {

namespace {

sigset_t TerminationSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    return set;
}

}  // namespace

void HoldTerminationRequests() {
    const sigset_t set = TerminationSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

void OnTerminationRequest(std::function<void()> closeAndWait) {
    HoldTerminationRequests();  // in case main did not: this thread and those it starts
    std::thread([closeAndWait = std::move(closeAndWait)] {
        const sigset_t set = TerminationSignals();
        int signal = 0;
        if (sigwait(&set, &signal) != 0) {
            return;
        }
        // A second request while the window closes (a stuck exit path, an impatient user)
        // ends the process at once, as the signal would have without this handler.
        std::thread([set] {
            int again = 0;
            if (sigwait(&set, &again) == 0) {
                std::_Exit(128 + again);
            }
        }).detach();
        closeAndWait();
    }).detach();
}

}  // namespace platform
