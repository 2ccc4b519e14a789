#include <errno.h>
#include <signal.h>
#include <unistd.h>

#include "platform/process_alive.h"

namespace platform {

bool ProcessAlive(long pid) {
    if (pid <= 0) {
        return false;
    }
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

long CurrentProcessId() {
    return static_cast<long>(::getpid());
}

}  // namespace platform
