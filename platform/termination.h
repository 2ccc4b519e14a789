// Requests to end the program from outside (SIGTERM and SIGINT; on Windows Ctrl+C, the console
// being closed, logoff, shutdown and the end of the session), turned into a call that closes the
// program the normal way, so its exit path runs.
#pragma once

#include <functional>

namespace platform {

// Holds termination requests back until OnTerminationRequest is called. Call it first in main,
// before any thread starts, so that every thread of the process inherits it.
void HoldTerminationRequests();

// From now on the first termination request calls closeAndWait once, on a thread of its own;
// a request that came while held is handled now. closeAndWait closes the program and returns
// once its exit path has run (the system may end the process when it returns). A second
// request ends the process at once.
void OnTerminationRequest(std::function<void()> closeAndWait);

}  // namespace platform
