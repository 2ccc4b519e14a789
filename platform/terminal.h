// Whether standard output is a terminal that takes the escape sequences of a live display
// (cursor up, clear to the end of the screen).
#pragma once

namespace platform {

bool StandardOutputIsLiveTerminal();

}  // namespace platform
