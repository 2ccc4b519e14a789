// Whether the exclusive claim on a terminal is stale.
//
// A terminal's exclusive flag (TIOCEXCL) belongs to the terminal, not to the process that set
// it: it lasts until someone clears it or the terminal is closed everywhere. A pseudo-terminal
// stays open as long as its provider (the program holding its master side, a simulator say)
// runs, so a program killed while it held such a port leaves the flag behind, and every later
// open is refused as busy although nobody holds the port.
#pragma once

#include <string>

namespace platform {

// True when the terminal node is a pseudo-terminal whose provider runs, and no process other
// than the calling one and its providers has it open: an exclusive flag on it was left by a
// process that has ended. The caller holds the terminal's lock (flock) itself, so no other
// process holds that either. False whenever this cannot be established: another process has
// the terminal open, the process table cannot be read, the node is no pseudo-terminal, or the
// system drops such claims by itself when a process ends (Windows).
bool ExclusiveClaimIsStale(const std::string& node);

}  // namespace platform
