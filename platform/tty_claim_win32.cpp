// Windows ends a process's claim on a COM port with the process: no claim outlives its owner.
#include "platform/tty_claim.h"

namespace platform {

bool ExclusiveClaimIsStale(const std::string&) {
    return false;
}

}  // namespace platform
