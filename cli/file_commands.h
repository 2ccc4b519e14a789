// marlinq-cli convert: parameter files through the headless main window, no module needed.
#pragma once

#include <ostream>

#include "cli/commands.h"

namespace marlinq::cli {

// `convert FILE --out FILE2`: loads FILE into the window as Import does and saves the shown
// parameters to FILE2 as Save does ("-", a terminal or a FIFO is written through). Exit 0 when
// both worked, 1 when either failed ("cannot load FILE: REASON", "cannot write FILE2: REASON"),
// 2 on bad arguments.
int RunConvert(const Args& args, std::ostream& out, std::ostream& err);

}  // namespace marlinq::cli
