// A console takes the escape sequences once virtual terminal processing is on (Windows 10 and
// later); an older console, a file or a pipe gets plain lines.
#include <windows.h>

#include "platform/terminal.h"

namespace platform {

bool StandardOutputIsLiveTerminal() {
    const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (out == INVALID_HANDLE_VALUE || out == nullptr || !::GetConsoleMode(out, &mode)) {
        return false;
    }
    return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
           ::SetConsoleMode(out, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

}  // namespace platform
