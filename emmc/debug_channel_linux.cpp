#include <syslog.h>

#include "debug_channel.h"

namespace tarnwick {

// The host program's syslog identity is kept: the library never calls openlog().
void WriteDebugLine(const char* line) {
    syslog(LOG_USER | LOG_DEBUG, "%s", line);
}

}  // namespace tarnwick
