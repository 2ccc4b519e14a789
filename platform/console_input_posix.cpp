#include <poll.h>
#include <unistd.h>

#include "platform/console_input.h"

namespace platform {

bool ReadConsoleLine(std::string& line, const std::function<bool()>& stop) {
    line.clear();
    for (;;) {
        pollfd fd{STDIN_FILENO, POLLIN, 0};
        const int ready = poll(&fd, 1, 100);  // look at `stop` ten times a second while idle
        if (stop && stop()) {
            return false;
        }
        if (ready <= 0) {
            continue;
        }
        char c = 0;
        const ssize_t n = read(STDIN_FILENO, &c, 1);
        if (n <= 0) {
            return !line.empty();
        }
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            return true;
        }
        line += c;
    }
}

}  // namespace platform
