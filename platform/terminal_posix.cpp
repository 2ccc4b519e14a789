#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "platform/terminal.h"

namespace platform {

bool StandardOutputIsLiveTerminal() {
    const char* term = ::getenv("TERM");
    return ::isatty(STDOUT_FILENO) == 1 && term != nullptr && ::strcmp(term, "dumb") != 0;
}

}  // namespace platform
