// Termination requests on POSIX: SIGTERM, SIGINT and SIGHUP (the terminal was closed) are blocked
// in every thread and taken by one thread of their own with sigwait, so the program's own code runs
// in an ordinary thread.
#include <pthread.h>
#include <signal.h>

#include <cstdlib>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/termination.h"

namespace platform {

namespace {

std::mutex g_mutex;
std::function<void()> g_closeAndWait;
bool g_handling = false;  // a request is being handled

sigset_t TerminationSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}

void TakeRequests() {
    const sigset_t set = TerminationSignals();
    for (;;) {
        int signal = 0;
        if (sigwait(&set, &signal) != 0) {
            continue;
        }
        std::function<void()> close;
        {
            std::lock_guard<std::mutex> lock(g_mutex);
            if (!g_closeAndWait || g_handling) {
                std::_Exit(128 + signal);  // what the signal itself would have done
            }
            g_handling = true;
            close = g_closeAndWait;
        }
        // On a thread of its own, so that a second request still ends the process at once.
        std::thread(close).detach();
    }
}

}  // namespace

void HoldTerminationRequests() {
    const sigset_t set = TerminationSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

void OnTerminationRequest(std::function<void()> closeAndWait) {
    {
        // Registered before the taking thread starts, so that a request held back until now
        // finds it.
        std::lock_guard<std::mutex> lock(g_mutex);
        g_closeAndWait = std::move(closeAndWait);
    }
    static std::once_flag started;
    std::call_once(started, [] {
        HoldTerminationRequests();  // in case main did not: this thread and those it starts
        std::thread(TakeRequests).detach();
    });
}

}  // namespace platform
