// Whether a process of this machine still runs.
#pragma once

namespace platform {

bool ProcessAlive(long pid);
long CurrentProcessId();

}  // namespace platform
