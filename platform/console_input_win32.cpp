#include <iostream>

#include "platform/console_input.h"

namespace platform {

bool ReadConsoleLine(std::string& line, const std::function<bool()>& stop) {
    // The console read blocks; `stop` is looked at before each line.
    line.clear();
    if (stop && stop()) {
        return false;
    }
    if (!std::getline(std::cin, line)) {
        return false;
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return true;
}

}  // namespace platform
