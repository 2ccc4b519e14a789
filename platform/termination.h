// Requests to end the program from outside (SIGTERM, SIGINT and SIGHUP; on Windows Ctrl+C, the console
// being closed, logoff, shutdown and the end of the session), turned into a call that closes the
// program the normal way, so its exit path runs.
#pragma once

#include <functional>

namespace platform {

// Holds termination requests back for the program's own handling. Call it first in main, before
// any thread starts, so that every thread of the process inherits it.
void HoldTerminationRequests();

// From now on a termination request calls closeAndWait, on a thread of its own; a request that
// came while held is handled now. closeAndWait closes the program and returns once its exit path
// has run (the system may end the process when it returns). With no function registered (an
// empty one), a request ends the process at once, as it would without any handling; so does a
// second request while the first is being handled. A later call replaces the function.
void OnTerminationRequest(std::function<void()> closeAndWait);

}  // namespace platform
