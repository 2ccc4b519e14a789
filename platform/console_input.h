// Line input from the standard input of a console program.
#pragma once

#include <functional>
#include <string>

namespace platform {

// Reads one line (without its line break) from standard input. Gives up and returns false when
// `stop` becomes true while waiting, or at the end of input with nothing read.
bool ReadConsoleLine(std::string& line, const std::function<bool()>& stop);

}  // namespace platform
